#include "support/scriptedprompter.h"

int ScriptedPrompter::message(const QString &text, const QString &title, int buttons, Icon icon,
                              int defaultButton)
{
    shown.append({text, title, buttons, icon, defaultButton});
    return answers.isEmpty() ? defaultButton : answers.takeFirst();
}

QString ScriptedPrompter::saveFileName(const QString &caption, const QString &, const QString &)
{
    dialogs.append(caption);
    return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
}

QString ScriptedPrompter::openFileName(const QString &caption, const QString &, const QString &)
{
    dialogs.append(caption);
    return openPaths.isEmpty() ? QString() : openPaths.takeFirst();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out.append(s.text);
    return out;
}
