#include "ui/main/windowprinter.h"

#include "ui/common/prompter.h"

#include <QFile>
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
#include <utility>

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
    // The CJK fonts' shaping draws digits with glyphs of their own (the 1 of "L1"), glyphs that the
    // PDF's text layer cannot name: while the page is recorded, text is drawn unshaped, straight
    // from the fonts' character maps. The client's own font comes back afterwards.
    const QFont ownFont = client->font();
    const bool hadOwnFont = client->testAttribute(Qt::WA_SetFont);
    QFont unshaped;
    unshaped.setStyleStrategy(QFont::PreferNoShaping);
    client->setFont(unshaped);
    QPicture picture;
    QPainter recorder(&picture);
    client->render(
        &recorder, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    recorder.end();
    client->setFont(hadOwnFont ? ownFont : QFont());
    client->setAttribute(Qt::WA_SetFont, hadOwnFont);
    // A picture plays back at the resolution of the device it is drawn on: its own resolution
    // (the screen's) is divided out.
    const qreal scale
        = std::min(qreal(area.width()) / size.width(), qreal(area.height()) / size.height())
        * picture.logicalDpiX() / printer.logicalDpiX();
    painter.scale(scale, scale);
    painter.drawPicture(0, 0, picture);
    return painter.end();
}

// The ideograph drawn with the same glyph as a radical of the CJK Radicals Supplement, as the
// Chinese fonts pair them (that block has no Unicode decompositions; the Kangxi radicals have).
constexpr std::pair<char16_t, char16_t> SupplementRadicals[]
    = { { 0x2E82, 0x4E5B }, { 0x2E83, 0x4E5A }, { 0x2E85, 0x4EBB }, { 0x2E89, 0x5202 },
          { 0x2E8E, 0x5140 }, { 0x2E8F, 0x5C23 }, { 0x2E90, 0x5C22 }, { 0x2E92, 0x5DF3 },
          { 0x2E93, 0x5E7A }, { 0x2E94, 0x5F51 }, { 0x2E95, 0x5F50 }, { 0x2E96, 0x5FC4 },
          { 0x2E98, 0x624C }, { 0x2E99, 0x6535 }, { 0x2E9B, 0x65E1 }, { 0x2E9E, 0x6B7A },
          { 0x2E9F, 0x6BCD }, { 0x2EA0, 0x6C11 }, { 0x2EA1, 0x6C35 }, { 0x2EA3, 0x706C },
          { 0x2EA4, 0x722B }, { 0x2EA6, 0x4E2C }, { 0x2EA8, 0x72AD }, { 0x2EAB, 0x7F52 },
          { 0x2EAD, 0x793B }, { 0x2EAF, 0x7CF9 }, { 0x2EB0, 0x7E9F }, { 0x2EB1, 0x7F53 },
          { 0x2EB2, 0x7F52 }, { 0x2EB9, 0x8002 }, { 0x2EBA, 0x8080 }, { 0x2EBE, 0x8279 },
          { 0x2EC1, 0x864E }, { 0x2EC2, 0x8864 }, { 0x2EC3, 0x8980 }, { 0x2EC5, 0x89C1 },
          { 0x2EC6, 0x89D2 }, { 0x2EC8, 0x8BA0 }, { 0x2EC9, 0x8D1D }, { 0x2ECB, 0x8F66 },
          { 0x2ECC, 0x8FB6 }, { 0x2ED0, 0x9485 }, { 0x2ED1, 0x9577 }, { 0x2ED2, 0x9578 },
          { 0x2ED3, 0x957F }, { 0x2ED4, 0x95E8 }, { 0x2ED6, 0x961D }, { 0x2ED8, 0x9752 },
          { 0x2ED9, 0x97E6 }, { 0x2EDA, 0x9875 }, { 0x2EDB, 0x98CE }, { 0x2EDC, 0x98DE },
          { 0x2EDD, 0x98DF }, { 0x2EDF, 0x98E0 }, { 0x2EE0, 0x9963 }, { 0x2EE2, 0x9A6C },
          { 0x2EE3, 0x9AA8 }, { 0x2EE4, 0x9B3C }, { 0x2EE5, 0x9C7C }, { 0x2EE6, 0x9E1F },
          { 0x2EE7, 0x5364 }, { 0x2EE8, 0x9EA6 }, { 0x2EE9, 0x9EC4 }, { 0x2EEA, 0x9EFE },
          { 0x2EEB, 0x6589 }, { 0x2EEC, 0x9F50 }, { 0x2EEE, 0x9F7F }, { 0x2EEF, 0x7ADC },
          { 0x2EF0, 0x9F99 }, { 0x2EF1, 0x9F9C }, { 0x2EF2, 0x4E80 }, { 0x2EF3, 0x9F9F } };

char16_t ideographOf(char16_t radical)
{
    if (radical == 0x2F3E) // ⼾: the Chinese fonts draw 户 with it, the decomposition is 戶
        return 0x6237;
    if (radical >= 0x2F00 && radical <= 0x2FD5) {
        const QString d = QChar(radical).decomposition();
        return d.size() == 1 ? d.at(0).unicode() : radical;
    }
    for (const auto &[r, ideograph] : SupplementRadicals) {
        if (r == radical)
            return ideograph;
    }
    return radical;
}

// Qt's PDF writer names each glyph in a font's text map (ToUnicode) by the lowest code point the
// font draws with it. The CJK fonts draw many radicals and their ideographs with one glyph (⽅
// U+2F45 and 方, ⻮ U+2EEE and 齿), so text searched or copied from the page came out in radicals.
// The text maps are written uncompressed and a 4-digit code replaced by another keeps every offset
// of the file: the radicals are turned back into ideographs in place. Returns false when the file
// could not be rewritten.
bool mapRadicalsToIdeographs(const QString &pdfPath)
{
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray pdf = file.readAll();
    bool changed = false;
    // Qt writes each map as bfrange lines: "<first> <last> [<value> ...]" names one value per
    // code, "<first> <last> <value>" a run of consecutive values, in which a radical stands
    // alone only when the run is one code long.
    const QByteArray begin("beginbfrange"), finish("endbfrange");
    qsizetype at = 0;
    while ((at = pdf.indexOf(begin, at)) >= 0) {
        const qsizetype end = pdf.indexOf(finish, at);
        if (end < 0)
            break;
        qsizetype line = pdf.indexOf('\n', at) + 1;
        while (line > 0 && line < end) {
            const qsizetype lineEnd = std::min(pdf.indexOf('\n', line), end);
            const QByteArray text = pdf.mid(line, lineEnd - line);
            const bool single = text.contains('[') || text.left(6) == text.mid(7, 6);
            int token = 0;
            for (qsizetype i = line; single && i + 5 < lineEnd; ++i) {
                if (pdf.at(i) != '<' || pdf.at(i + 5) != '>' || token++ < 2)
                    continue;
                bool ok = false;
                const auto code = char16_t(pdf.mid(i + 1, 4).toUInt(&ok, 16));
                const char16_t ideograph = ok ? ideographOf(code) : code;
                if (ideograph != code) {
                    pdf.replace(i + 1, 4, QByteArray::number(ideograph, 16).toUpper());
                    changed = true;
                }
            }
            line = lineEnd + 1;
        }
        at = end;
    }
    if (!changed)
        return true;
    return file.seek(0) && file.write(pdf) == pdf.size() && file.flush();
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
        || (toPdf && (QFileInfo(target).size() == 0 || !mapRadicalsToIdeographs(target)))) {
        prompter.inform(target
            + (toPdf ? QStringLiteral(": 无法写入 PDF 文件") : QStringLiteral(": 打印失败")));
        return false;
    }
    return true;
}
