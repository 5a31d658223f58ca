#pragma once

// Printing a picture of a window (the main window's "打印窗口"). For a clean page the window is
// turned white and its command buttons are hidden while the user is asked and the page is made;
// afterwards every colour and every button is put back exactly as it was, whatever the answer.

#include <QImage>
#include <QPrinterInfo>
#include <QString>

#include <functional>
#include <optional>

class Prompter;
class QWidget;

struct WindowPrintOptions
{
    // Redraws the window's persistent picture (the shaft schematic) on the current background of
    // its drawing area; called once the window is white and once its colours are back.
    std::function<void()> redrawPicture;

    // The printer to use; unset means the default printer of the system. A null printer (none
    // installed) makes the command offer saving the page as a PDF file.
    std::optional<QPrinterInfo> printer;
};

// The print command: whiten, hide buttons, ask "确定要打印当前窗口?" (OK / Cancel, information
// icon, title "Tolvenar"), on OK print the window's picture, then restore. A failure is reported
// through prompter.inform. Returns true when a page was printed or saved.
bool printWindow(QWidget *window, Prompter &prompter, const WindowPrintOptions &options = {});

// The picture that printWindow sends to the printer: the window's client area as it is shown
// (for a QMainWindow its central widget, without menu bar and status bar).
QImage windowImage(QWidget *window);
