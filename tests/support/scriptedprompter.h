#pragma once

// A Prompter for tests: records every message and dialog, answers from queues filled beforehand.

#include "calc/prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

class ScriptedPrompter : public Prompter
{
public:
    struct Shown
    {
        QString text;
        QString title;
        int buttons = 0;
        Icon icon = Icon::None;
        int defaultButton = 0;
    };

    int message(const QString &text, const QString &title, int buttons, Icon icon,
                int defaultButton) override;
    QString saveFileName(const QString &caption, const QString &directory,
                         const QString &filter) override;
    QString openFileName(const QString &caption, const QString &directory,
                         const QString &filter) override;

    // Answers used in order; when a queue is empty a message box answers its default button and a
    // dialog is cancelled.
    QList<int> answers;
    QStringList savePaths;
    QStringList openPaths;

    QList<Shown> shown;       // every message box, in order
    QStringList dialogs;      // captions of the file dialogs shown, in order

    QStringList texts() const;
    void clear() { shown.clear(); dialogs.clear(); }
};
