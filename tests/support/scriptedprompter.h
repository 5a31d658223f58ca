#pragma once

// A Prompter for tests: records every message and dialog, answers from queues filled beforehand.
// When a queue is empty a message box answers its default button and a dialog is cancelled.

#include "records/saveparameters.h"
#include "ui/common/prompter.h"
#include "ui/common/widgetprompter.h"

class ScriptedPrompter : public Prompter
{
public:
    struct Shown
    {
        QString text, title;
        int buttons = 0;
        Icon icon = Icon::None;
        int defaultButton = 0;
    };

    QList<int> answers;
    QStringList savePaths, openPaths;
    QList<Shown> shown; // every message box, in order
    QStringList dialogs; // captions of the file dialogs shown, in order

    int message(const QString &text, const QString &title, int buttons, Icon icon,
        int defaultButton) override
    {
        shown.append({ text, title, buttons, icon, defaultButton });
        return answers.isEmpty() ? defaultButton : answers.takeFirst();
    }
    QString saveFileName(const QString &caption, const QString &, const QString &) override
    {
        dialogs.append(caption);
        return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
    }
    QString openFileName(const QString &caption, const QString &, const QString &) override
    {
        dialogs.append(caption);
        return openPaths.isEmpty() ? QString() : openPaths.takeFirst();
    }
    QStringList texts() const
    {
        QStringList out;
        for (const Shown &s : shown)
            out << s.text;
        return out;
    }
    // A save talks through the scripted boxes as the window's saves do through real ones.
    operator SaveTalk() { return saveTalk(*this); }
    void clear()
    {
        shown.clear();
        dialogs.clear();
    }
};
