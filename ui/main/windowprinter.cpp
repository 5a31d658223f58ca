#include "ui/main/windowprinter.h"

#include "calc/prompter.h"

#include <QFileInfo>
#include <QList>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <QPicture>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace {

// The look of one control before the window was turned white.
struct SavedLook
{
    QPointer<QWidget> widget;
    QPalette palette;
    bool ownPalette = false;
    QString styleSheet;
};

struct SavedButton
{
    QPointer<QWidget> button;
    bool hidden = false;
};

// The same colours, every one of them set explicitly, so none is taken from the parent.
QPalette pinned(const QPalette &palette)
{
    QPalette out;
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        const auto group = static_cast<QPalette::ColorGroup>(g);
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = static_cast<QPalette::ColorRole>(r);
            if (role == QPalette::NoRole)
                continue;
            out.setBrush(group, role, palette.brush(group, role));
        }
    }
    return out;
}

// Turns a window white and hides its command buttons for as long as it lives; the destructor puts
// back every palette, style sheet and button exactly as they were, whatever happened meanwhile.
class WhiteWindow
{
public:
    WhiteWindow(QWidget *window, std::function<void()> redrawPicture)
        : m_redrawPicture(std::move(redrawPicture))
    {
        QList<QWidget *> controls { window };
        QList<QWidget *> menuBars;
        const QList<QWidget *> children = window->findChildren<QWidget *>();
        for (QWidget *w : children) {
            // Other windows (a secondary window parented to this one, a menu) are not part of
            // the page; menu bars keep their look.
            if (w->window() != window || qobject_cast<QMenu *>(w))
                continue;
            if (qobject_cast<QMenuBar *>(w))
                menuBars.append(w);
            else
                controls.append(w);
        }
        for (QWidget *w : std::as_const(menuBars))
            m_looks.append(
                { w, w->palette(), w->testAttribute(Qt::WA_SetPalette), w->styleSheet() });

        for (QWidget *w : std::as_const(controls)) {
            m_looks.append(
                { w, w->palette(), w->testAttribute(Qt::WA_SetPalette), w->styleSheet() });
            if (qobject_cast<QPushButton *>(w))
                m_buttons.append({ w, w->isHidden() });
        }

        for (QWidget *w : std::as_const(controls)) {
            if (!w->styleSheet().isEmpty()) {
                // A control coloured by its own style sheet ignores its palette.
                w->setStyleSheet(QStringLiteral("background-color: white;"));
                continue;
            }
            QPalette white = w->palette();
            for (QPalette::ColorRole role :
                { QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase })
                white.setColor(role, Qt::white);
            w->setPalette(white);
        }
        // A menu bar would take the white of the window it belongs to: it keeps its own colours.
        // Their looks were saved first.
        for (qsizetype i = 0; i < menuBars.size(); ++i)
            menuBars.at(i)->setPalette(pinned(m_looks.at(i).palette));
        // Hiding the button that has the focus would pass the focus on to the next control, whose
        // focus handling (upper-casing a key field) would then change the form: the focus is
        // taken off the button instead and given back afterwards.
        QWidget *focus = window->focusWidget();
        for (const SavedButton &b : std::as_const(m_buttons)) {
            if (focus && (focus == b.button || b.button->isAncestorOf(focus))) {
                m_focus = focus;
                focus->clearFocus();
            }
        }
        for (const SavedButton &b : std::as_const(m_buttons))
            b.button->hide();
        if (m_redrawPicture)
            m_redrawPicture();
    }

    ~WhiteWindow()
    {
        for (const SavedLook &look : std::as_const(m_looks)) {
            QWidget *w = look.widget;
            if (!w)
                continue;
            if (w->styleSheet() != look.styleSheet)
                w->setStyleSheet(look.styleSheet);
            if (!look.styleSheet.isEmpty())
                continue; // the sheet gives the colours back
            if (look.ownPalette) {
                w->setPalette(look.palette);
            } else {
                w->setPalette(QPalette());
                w->setAttribute(Qt::WA_SetPalette, false);
            }
        }
        for (const SavedButton &b : std::as_const(m_buttons)) {
            if (b.button)
                b.button->setHidden(b.hidden);
        }
        if (m_focus && m_focus->isVisible() && m_focus->isEnabled())
            m_focus->setFocus(Qt::OtherFocusReason);
        if (m_redrawPicture)
            m_redrawPicture();
    }

    WhiteWindow(const WhiteWindow &) = delete;
    WhiteWindow &operator=(const WhiteWindow &) = delete;

private:
    std::function<void()> m_redrawPicture;
    QList<SavedLook> m_looks;
    QList<SavedButton> m_buttons;
    QPointer<QWidget> m_focus; // the button that had the focus
};

// The name proposed for the PDF file: the shaft number, characters that no file name may hold on
// one of the usual systems replaced by "_"; without a number "Tolvenar".
QString fileNameOf(const QString &name)
{
    QString out = name.trimmed();
    for (QChar &c : out) {
        if (c < u' ' || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    return out.isEmpty() ? QStringLiteral("Tolvenar") : out;
}

// The page: the client area painted as vector drawing (text stays text, lines stay lines), as
// wide as the printable area with its aspect kept, shrunk further only when it would be taller
// than the page, in the top-left corner of the printable area.
bool paintPage(QPrinter &printer, QWidget *client)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect area = painter.viewport();
    const QSize size = client->size();
    if (size.isEmpty())
        return painter.end();
    // Rendered straight onto a printer, a widget comes out as one bitmap; recorded into a picture
    // first, it keeps its drawing commands.
    QPicture picture;
    QPainter recorder(&picture);
    client->render(
        &recorder, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    recorder.end();
    // A picture plays back at the resolution of the device it is drawn on: its own resolution
    // (the screen's) is divided out.
    const qreal scale
        = std::min(qreal(area.width()) / size.width(), qreal(area.height()) / size.height())
        * picture.logicalDpiX() / printer.logicalDpiX();
    painter.scale(scale, scale);
    painter.drawPicture(0, 0, picture);
    return painter.end();
}

} // namespace

QWidget *printedArea(QWidget *window)
{
    if (auto *main = qobject_cast<QMainWindow *>(window); main && main->centralWidget())
        return main->centralWidget();
    return window;
}

QImage windowImage(QWidget *window)
{
    return printedArea(window)->grab().toImage();
}

bool printWindow(QWidget *window, Prompter &prompter, const WindowPrintOptions &options)
{
    if (!window)
        return false;
    WhiteWindow white(window, options.redrawPicture);

    const int answer
        = prompter.message(QStringLiteral("确定要打印当前窗口?"), QStringLiteral("Tolvenar"),
            Prompter::Ok | Prompter::Cancel, Prompter::Icon::Information, Prompter::Ok);
    if (answer != Prompter::Ok)
        return false;

    const QPrinterInfo info = options.printer ? *options.printer : QPrinterInfo::defaultPrinter();
    QString target;
    std::optional<QPrinter> printer;
    if (info.isNull()) {
        // No printer installed: the same page can go into a PDF file.
        target = prompter.saveFileName(QStringLiteral("没有可用的打印机 - 将窗口保存为 PDF 文件"),
            fileNameOf(options.documentName) + QStringLiteral(".pdf"),
            QStringLiteral("PDF 文件 (*.pdf)"));
        if (target.isEmpty())
            return false;
        if (QFileInfo(target).suffix().isEmpty())
            target += QStringLiteral(".pdf");
        printer.emplace(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(target);
    } else {
        target = info.printerName();
        printer.emplace(info, QPrinter::HighResolution);
    }
    printer->setDocName(QStringLiteral("Tolvenar"));

    const bool toPdf = info.isNull();
    if (!paintPage(*printer, printedArea(window)) || printer->printerState() == QPrinter::Error
        || (toPdf && QFileInfo(target).size() == 0)) {
        prompter.inform(target
            + (toPdf ? QStringLiteral(": 无法写入 PDF 文件") : QStringLiteral(": 打印失败")));
        return false;
    }
    return true;
}
