#pragma once

// Printing a window (the main window's "打印窗口"). For a clean page the window is turned white and
// its command buttons are hidden while the user is asked and the page is made; afterwards every
// colour and every button is put back exactly as it was, whatever the answer. The window is painted
// onto the page as vector drawing, so the page (or the PDF file) stays sharp at any zoom and its
// text can be searched and copied.

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

    // The file name the PDF save dialog proposes, without ".pdf" (the shaft number); characters
    // no file name may hold become "_", and an empty name proposes "Tolvenar.pdf".
    QString documentName;
};

// The print command: whiten, hide buttons, ask "确定要打印当前窗口?" (OK / Cancel, information
// icon, title "Tolvenar"), on OK paint the window's client area (printedArea) onto one page, then
// restore. A failure is reported through prompter.inform. Returns true when a page was printed or
// saved.
bool printWindow(QWidget *window, Prompter &prompter, const WindowPrintOptions &options = {});

// What printWindow puts on the page: the window's client area (for a QMainWindow its central
// widget, without menu bar and status bar).
QWidget *printedArea(QWidget *window);

// The printed area as it is shown on the screen, as an image.
QImage windowImage(QWidget *window);
