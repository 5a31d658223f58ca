#pragma once

// Message boxes and file dialogs, seen from the code that needs them. The windows use the
// QMessageBox/QFileDialog implementation (ui/common/widgetprompter.h); the tests script answers.

#include <QString>

class Prompter
{
public:
    enum class Icon { None, Information, Question, Warning, Critical };
    enum Button { Ok = 0x1, Cancel = 0x2, Yes = 0x4, No = 0x8 };

    virtual ~Prompter() = default;

    // A modal message box; returns the button pressed (one of Button). An empty title means the
    // platform's default title.
    virtual int message(const QString &text, const QString &title, int buttons = Ok,
        Icon icon = Icon::Information, int defaultButton = Ok)
        = 0;

    // A save dialog; returns the chosen path, or an empty string when the user cancelled.
    virtual QString saveFileName(
        const QString &caption, const QString &directory, const QString &filter)
        = 0;

    // An open dialog; returns the chosen path, or an empty string when the user cancelled.
    virtual QString openFileName(
        const QString &caption, const QString &directory, const QString &filter)
        = 0;

    // The usual failure box of the program: OK button, information icon, title "Tolvenar".
    void inform(const QString &text) { message(text, QStringLiteral("Tolvenar")); }
};
