#pragma once

// A Prompter for tests: records every box and dialog; answers from queues, else a box's default.

#include "records/saveparameters.h"
#include "ui/common/prompter.h"
#include "ui/common/widgetprompter.h"

class ScriptedPrompter : public Prompter
{
    using S = const QString &;
    QStringList m_texts;
    QString dialog(S caption, S name, S filter, QStringList &paths)
    {
        dialogs << caption + u'|' + name + u'|' + filter;
        whileShown();
        return paths.isEmpty() ? QString() : paths.takeFirst(); // empty: cancelled
    }

public:
    struct Shown
    {
        QString text, title;
        Icon icon = Icon::None;
        int buttons = 0, defaultButton = 0;
    };
    QList<int> answers;
    QStringList savePaths, openPaths;
    QList<Shown> shown; // every message box, in order
    QStringList dialogs; // "caption|proposed name or folder|filter" of each file dialog, in order
    std::function<void()> whileShown = [] {}; // runs while each box or dialog is shown

    int message(S text, S title, int buttons, Icon icon, int defaultButton) override
    {
        shown.append({ text, title, icon, buttons, defaultButton });
        m_texts << text;
        whileShown();
        return answers.isEmpty() ? defaultButton : answers.takeFirst();
    }
    QString saveFileName(S caption, S name, S filter) override
    {
        return dialog(caption, name, filter, savePaths);
    }
    QString openFileName(S caption, S dir, S filter) override
    {
        return dialog(caption, dir, filter, openPaths);
    }
    QStringList texts() const { return m_texts; } // the boxes' texts, in order
    operator SaveTalk() { return saveTalk(*this); } // saves talk through the scripted boxes
};
