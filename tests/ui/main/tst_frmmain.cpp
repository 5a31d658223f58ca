// The main window: start-up state and Clear, the type and mounting rules, the invalidation table,
// the compute command with its faults, the record commands end to end (save, recall); and its
// companions: the shaft schematic against its table of lines and labels (drawn into a paint engine
// that records every call), printing the window with everything restored whatever the answer, the
// one help window, and the single running copy.

#include "records/frmcombiner.h"
#include "records/recordfile.h"
#include "support/workedexample.h"
#include "ui/bearings/frmediter.h"
#include "ui/browser/frmview.h"
#include "ui/common/windowlayer.h"
#include "ui/main/frmmain.h"
#include "ui/main/helpwindow.h"
#include "ui/main/programwindows.h"
#include "ui/main/schematic.h"
#include "ui/main/singleinstance.h"
#include "ui/main/widgetprompter.h"
#include "ui/main/windowprinter.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextItem>
#include <QTimer>

#include <functional>

namespace {

// The worked example as typed; the angle a (180) and both pressure angles (20) are the defaults.
// The shaft number in lower case on purpose.
const char *const WorkedExample[] = { "txtParameter_0=wx-1", "txtParameter_1=30/20",
    "txtParameter_2=1000", "txtParameter_3=300", "txtGear_0=80", "txtGear_1=200", "txtGear_2=10",
    "txtGear_4=90", "txtGear_5=120", "txtGear_6=12", "txtBearingA_0=30210", "txtBearingA_1=0.37",
    "txtBearingA_2=1.6", "txtBearingA_4=150", "txtBearingB_0=30210", "txtBearingB_1=0.37",
    "txtBearingB_2=1.6", "txtBearingB_4=150" };

const QString LifeA = QStringLiteral("A轴承:658.7 万小时");

// What a user can see: texts, enabled and checked states, selections, menu entries.
QStringList visibleState(QWidget *window)
{
    QStringList out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QString line = w->objectName() + (w->isEnabled() ? u" on" : u" off");
        if (auto *box = qobject_cast<QLineEdit *>(w))
            line += box->text();
        else if (auto *label = qobject_cast<QLabel *>(w))
            line += label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            line += button->text() + (button->isChecked() ? u" checked" : u"");
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            line += QString::number(combo->currentIndex());
        out.append(line);
    }
    for (QAction *a : window->findChildren<QAction *>())
        out.append(a->objectName() + (a->isEnabled() ? u" on" : u" off"));
    out.sort();
    return out;
}

struct Drawn
{
    QLineF line; // a line; for a label its top-left corner twice
    QString text; // empty for a line, "<fill>" for anything else (a path, a polygon, a picture)
    QPen pen;
    QFont font;
};

// A paint device of 390 x 280 at 96 dpi that records every line and text; anything filled counts
// as one "<fill>" entry.
struct Recorder : QPaintEngine, QPaintDevice
{
    QList<Drawn> drawn;
    Recorder() : QPaintEngine(AllFeatures) { }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override { }
    Type type() const override { return User; }
    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            drawn.append({ lines[i], {}, state->pen(), {} });
    }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QPointF topLeft(p.x(), p.y() - item.ascent());
        drawn.append({ QLineF(topLeft, topLeft), item.text(), state->pen(), item.font() });
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { fill(); }
    void drawPath(const QPainterPath &) override { fill(); }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { fill(); }
    void fill() { drawn.append({ {}, QStringLiteral("<fill>"), {}, {} }); }
    QPaintEngine *paintEngine() const override { return const_cast<Recorder *>(this); }
    int metric(PaintDeviceMetric m) const override
    {
        return m == PdmWidth ? 390 : m == PdmHeight ? 280 : m == PdmDepth ? 32
            : m == PdmDevicePixelRatioScaled ? int(devicePixelRatioFScale())
            : m >= PdmDpiX && m <= PdmPhysicalDpiY ? 96 : 1;
    }
};

// In an area of 390 x 280 one device unit is 10 user units: x = (xu + 500) / 10, y = (1200 - yu)
// / 10.
QList<Drawn> record(const QRectF &area = QRectF(0, 0, 390, 280))
{
    Recorder device;
    QPainter painter(&device);
    DrawShaftSchematic(painter, area, QColor(10, 20, 30));
    painter.end();
    return device.drawn;
}

// Runs a check while the question or the save dialog would be shown.
class WatchingPrompter : public ScriptedPrompter
{
public:
    std::function<void()> whileAsking, whileSaving;
    QString proposed; // the file name the save dialog proposed
    int message(const QString &text, const QString &title, int buttons, Icon icon, int def) override
    {
        if (whileAsking && buttons == (Ok | Cancel))
            whileAsking();
        return ScriptedPrompter::message(text, title, buttons, icon, def);
    }
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override
    {
        if (whileSaving)
            whileSaving();
        proposed = dir;
        return ScriptedPrompter::saveFileName(caption, dir, filter);
    }
};

// The colour inside a control on the page of the window (its client area).
QColor inside(const QImage &page, const QMainWindow *window, const QWidget *w)
{
    return page.pixelColor(
        w->mapTo(window->centralWidget(), QPoint(w->width() - 6, w->height() / 2)));
}

// Palettes, style sheets, visibility and enabling of every widget.
QStringList looks(QWidget *window)
{
    QStringList out;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (QWidget *w : widgets << window) {
        QString s;
        QDebug(&s) << w->objectName() << w->palette() << w->testAttribute(Qt::WA_SetPalette)
                   << w->styleSheet() << w->isHidden() << w->isEnabled();
        out << s;
    }
    return out;
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture::AppDirectory> m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmMain> m_window;

    template <class T = QLineEdit> T *get(const QString &name)
    {
        T *found = m_window->findChild<T *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    QLineEdit *box(const char *n) { return get(QString::fromLatin1(n)); }
    QComboBox *combo(const char *n) { return get<QComboBox>(QString::fromLatin1(n)); }
    QRadioButton *option(const char *n) { return get<QRadioButton>(QString::fromLatin1(n)); }
    QString caption(const char *n) { return get<QLabel>(QString::fromLatin1(n))->text(); }
    void activateMain()
    {
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    // Types the worked example: A's type by arrow key (its rule selects face-to-face mounting),
    // the directions by Space ("左" for gear 1, "右" for gear 2).
    void typeWorkedExample()
    {
        QTest::keyClick(combo("cboTypeA"), Qt::Key_Down);
        for (const char *f : WorkedExample) {
            const QString field = QString::fromLatin1(f);
            QTest::keyClicks(get(field.section(u'=', 0, 0)), field.section(u'=', 1));
        }
        QTest::keyClick(option("optGear1_0"), Qt::Key_Space);
        QTest::keyClick(option("optGear2_1"), Qt::Key_Space);
    }
    // One step of the invalidation table (see invalidation_data).
    void doStep(const QString &step)
    {
        const QStringList part = step.split(u':');
        if (part[0] == u"type")
            QTest::keyClicks(get(part[1]), part[2]);
        else if (part[0] == u"set")
            get(part[1])->setText(part[2]);
        else if (part[0] == u"press")
            QTest::keyClick(get<QAbstractButton>(part[1]), Qt::Key_Space);
        else if (part[0] == u"pick")
            get<QComboBox>(part[1])->setCurrentIndex(part[2].toInt());
        else { // Tab on to the next control
            activateMain();
            get(part[1])->setFocus();
            QTest::keyClick(get(part[1]), Qt::Key_Tab);
            QVERIFY(!get(part[1])->hasFocus());
        }
    }
    // cmdSaveResult, cmdSaveParameter, Test, mnuSaveResult, mnuSaveParameter as "1" on, "0" off.
    QString saveCommands()
    {
        QString s;
        for (const char *b : { "cmdSaveResult", "cmdSaveParameter" })
            s += get<QPushButton>(QString::fromLatin1(b))->isEnabled() ? u'1' : u'0';
        for (const char *a : { "Test", "mnuSaveResult", "mnuSaveParameter" })
            s += get<QAction>(QString::fromLatin1(a))->isEnabled() ? u'1' : u'0';
        return s;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void init()
    {
        m_dir = std::make_unique<Fixture::AppDirectory>();
        m_prompter = ScriptedPrompter();
        m_window = std::make_unique<frmMain>(m_prompter);
        m_window->show();
    }
    void cleanup() { m_window.reset(); }

    void startUpAndClear()
    {
        QCOMPARE(combo("cboTypeA")->currentIndex(), 0);
        QCOMPARE(QList<QString>({ box("txtParameter_4")->text(), box("txtGear_3")->text(),
                     box("txtGear_7")->text(), caption("lblResultA"), caption("lblResultB") }),
            QList<QString>({ QStringLiteral("180"), QStringLiteral("20"), QStringLiteral("20"),
                QStringLiteral("A轴承"), QStringLiteral("B轴承") }));
        QVERIFY(!box("txtWeight")->isEnabled());
        QCOMPARE(saveCommands(), QStringLiteral("00000"));
        QCOMPARE(m_window->input().Fa1Dir, std::int16_t(-1));
        const QStringList startUp = visibleState(m_window.get());

        typeWorkedExample();
        m_window->cmdCompute_Click();
        QCOMPARE(saveCommands(), QStringLiteral("11111"));
        QTest::keyClick(get<QCheckBox>(QStringLiteral("chkWeight")), Qt::Key_Space);
        QTest::keyClicks(box("txtWeight"), QStringLiteral("25"));
        combo("cboTypeA")->setCurrentIndex(2); // B becomes 3, optAssembleB selected
        box("txtGear_7")->setText(QStringLiteral("25"));
        get<QAction>(QStringLiteral("mnuClear"))->trigger();
        QCOMPARE(visibleState(m_window.get()), startUp);
        QTest::keyClick(get<QPushButton>(QStringLiteral("cmdClear")), Qt::Key_Space);
        QCOMPARE(visibleState(m_window.get()), startUp);
    }

    // clang-format off
    void bearingType_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("codeB"); // B's type after A's rule
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QString>("selected"); // optAssembleA, optAssembleB
        QTest::addColumn<QString>("fieldsA");  // e, Y1, Y2 open (1) or off and empty (0)
        QTest::addColumn<QString>("fieldsB");
        const QString floating = QStringLiteral("A 轴承游动/B 轴承游动");
        const QString adjusted = QStringLiteral("面对面安装/背对背安装");
        QTest::newRow("0 调心滚子轴承") << 0 << 0 << floating << "00" << "111" << "111";
        QTest::newRow("1 单列圆锥轴承") << 1 << 1 << adjusted << "10" << "110" << "110";
        QTest::newRow("2 配对圆锥轴承") << 2 << 3 << floating << "01" << "110" << "000";
        QTest::newRow("3 圆柱滚子轴承") << 3 << 2 << floating << "10" << "000" << "110";
        QTest::newRow("4 角接触球轴承") << 4 << 4 << adjusted << "10" << "000" << "000";
    }
    // clang-format on
    void bearingType()
    {
        QFETCH(int, code);
        QFETCH(int, codeB);
        QFETCH(QString, captions);
        QFETCH(QString, selected);
        QFETCH(QString, fieldsA);
        QFETCH(QString, fieldsB);
        const auto name = [](const char *side, int i) {
            return QStringLiteral("%1_%2").arg(QLatin1String(side)).arg(i);
        };
        const auto fields = [&](const char *side) {
            QString s;
            for (int i = 1; i <= 3; ++i) {
                QLineEdit *f = get(QStringLiteral("txtBearing") + name(side, i));
                const bool on = f->isEnabled();
                s += on != get<QLabel>(QStringLiteral("lblBearing") + name(side, i))->isEnabled() ? u'?'
                    : on ? (f->text() == u"9" ? u'1' : u'?') : (f->text().isEmpty() ? u'0' : u'?');
            }
            return s;
        };
        // From another type with text in every factor box, so every rule has work to do.
        combo("cboTypeA")->setCurrentIndex((code + 1) % 5);
        for (const char *side : { "A", "B" })
            for (int i = 1; i <= 3; ++i)
                get(QStringLiteral("txtBearing") + name(side, i))->setText(QStringLiteral("9"));
        combo("cboTypeA")->setCurrentIndex(code);
        QCOMPARE(combo("cboTypeB")->currentIndex(), codeB);
        QCOMPARE(option("optAssembleA")->text() + u'/' + option("optAssembleB")->text(), captions);
        QCOMPARE(QString(QChar(u'0' + option("optAssembleA")->isChecked()))
                + QChar(u'0' + option("optAssembleB")->isChecked()),
            selected);
        QCOMPARE(fields("A"), fieldsA);
        QCOMPARE(fields("B"), fieldsB);
    }

    // clang-format off
    void invalidation_data()
    {
        // "type:NAME:TEXT" typed, "set:NAME:TEXT" by the program, "press:NAME" Space on an option
        // or check box, "pick:NAME:INDEX" a type, "leave:NAME" Tab to the next control; steps
        // separated by ";".
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("buttons"); // cmdSaveResult, cmdSaveParameter afterwards
        QTest::addColumn<QString>("check");   // "NAME=TEXT" of a box afterwards
        const auto row = [](const QString &name, const QString &step, const char *buttons,
                             const char *check = "") {
            QTest::newRow(qPrintable(name)) << step << QString::fromLatin1(buttons) << QString::fromLatin1(check);
        };
        row(QStringLiteral("shaft number typed"), QStringLiteral("type:txtParameter_0:7"), "11");
        row(QStringLiteral("power typed"), QStringLiteral("type:txtParameter_1:0"), "00");
        for (int i = 1; i <= 4; ++i)
            row(QStringLiteral("txtParameter(%1) set").arg(i), QStringLiteral("set:txtParameter_%1:5").arg(i), "00");
        for (int i = 0; i <= 7; ++i)
            row(QStringLiteral("txtGear(%1) set").arg(i), QStringLiteral("set:txtGear_%1:5").arg(i), "01");
        row(QStringLiteral("gear typed"), QStringLiteral("type:txtGear_2:1"), "01");
        for (const char *side : { "A", "B" })
            for (int i = 0; i <= 4; ++i)
                row(QStringLiteral("txtBearing%1(%2) set").arg(QLatin1String(side)).arg(i),
                    QStringLiteral("set:txtBearing%1_%2:5").arg(QLatin1String(side)).arg(i), "00");
        row(QStringLiteral("optAssembleB chosen"), QStringLiteral("press:optAssembleB"), "00");
        row(QStringLiteral("optAssembleA pressed again"), QStringLiteral("press:optAssembleA"), "11");
        row(QStringLiteral("optGear1(1) chosen"), QStringLiteral("press:optGear1_1"), "00");
        row(QStringLiteral("optGear2(0) chosen"), QStringLiteral("press:optGear2_0"), "00");
        row(QStringLiteral("chkWeight ticked"), QStringLiteral("press:chkWeight"), "00");
        row(QStringLiteral("weight set"), QStringLiteral("set:txtWeight:12"), "11");
        row(QStringLiteral("cboTypeB 1 to 2 empties nothing"), QStringLiteral("pick:cboTypeB:2"), "11");
        row(QStringLiteral("cboTypeA 1 to 4 empties B's e"), QStringLiteral("pick:cboTypeA:4"), "00",
            "txtBearingB_1=");
        row(QStringLiteral("leave shaft number: upper case"), QStringLiteral("leave:txtParameter_0"),
            "11", "txtParameter_0=WX-1");
        row(QStringLiteral("leave model A in lower case"), QStringLiteral("leave:txtBearingA_0"), "00",
            "txtBearingA_0=30210J");
        row(QStringLiteral("leave model B in upper case"), QStringLiteral("leave:txtBearingB_0"), "11",
            "txtBearingB_0=30210");
        row(QStringLiteral("leave model B in lower case"),
            QStringLiteral("set:txtBearingB_0:30210k;leave:txtBearingB_0"), "00", "txtBearingB_0=30210K");
    }
    // clang-format on
    void invalidation()
    {
        QFETCH(QString, step);
        QFETCH(QString, buttons);
        QFETCH(QString, check);
        typeWorkedExample();
        box("txtBearingA_0")->setText(QStringLiteral("30210j"));
        m_window->cmdCompute_Click();
        QCOMPARE(saveCommands(), QStringLiteral("11111"));

        for (const QString &one : step.split(u';'))
            doStep(one);
        if (QTest::currentTestFailed())
            return;
        // The menu entries keep the state of the last computation.
        QCOMPARE(saveCommands(), buttons + QStringLiteral("111"));
        if (!check.isEmpty())
            QCOMPARE(get(check.section(u'=', 0, 0))->text(), check.section(u'=', 1));
    }

    // clang-format off
    void keyFieldKeptWhenFocusLeavesWindow_data()
    {
        QTest::addColumn<QString>("away");
        QTest::newRow("print question cancelled") << QStringLiteral("print");
        QTest::newRow("message box") << QStringLiteral("message");
        QTest::newRow("another window of the program") << QStringLiteral("window");
        QTest::newRow("another program") << QStringLiteral("program");
    }
    // clang-format on
    // The focus leaving the window is no move between fields: a model typed in lower case stays,
    // and so do the save commands and the results.
    void keyFieldKeptWhenFocusLeavesWindow()
    {
        QFETCH(QString, away);
        typeWorkedExample();
        box("txtBearingA_0")->setText(QStringLiteral("30210j"));
        m_window->cmdCompute_Click();
        activateMain();
        box("txtBearingA_0")->setFocus();
        const QStringList before = visibleState(m_window.get());
        WidgetPrompter boxes; // real message boxes, answered by Escape
        QTimer escape;
        connect(&escape, &QTimer::timeout, this, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                QTest::keyClick(modal, Qt::Key_Escape);
        });
        escape.start(20);
        QWidget other;
        if (away == u"print") {
            WindowPrintOptions none;
            none.printer = QPrinterInfo();
            QVERIFY(!printWindow(m_window.get(), boxes, none));
        } else if (away == u"message") {
            boxes.inform(QStringLiteral("Tolvenar"));
        } else if (away == u"window") {
            other.show();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        } else {
            QApplication::setActiveWindow(nullptr);
            QVERIFY(!QApplication::focusWidget());
        }
        activateMain();
        QVERIFY(box("txtBearingA_0")->hasFocus());
        QCOMPARE(visibleState(m_window.get()), before);
    }

    // A life caption is selected with the mouse and copied with Ctrl+C.
    void lifeCaptionCopied()
    {
        typeWorkedExample();
        m_window->cmdCompute_Click();
        activateMain();
        auto *life = get<QLabel>(QStringLiteral("lblResultA"));
        const int y = life->fontMetrics().height() / 2;
        QTest::mousePress(life, Qt::LeftButton, {}, QPoint(1, y));
        QTest::mouseMove(life, QPoint(life->width() - 1, y));
        QTest::mouseRelease(life, Qt::LeftButton, {}, QPoint(life->width() - 1, y));
        QCOMPARE(life->selectedText(), LifeA);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(life, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), LifeA);
        QCOMPARE(life->text(), LifeA);
    }

    // The type lists and the weight box (also while switched off) have the face of an empty text
    // field, not the window's grey, and keep it after printing.
    void fieldFaces()
    {
        const QColor base = QApplication::palette().color(QPalette::Base);
        ScriptedPrompter cancel;
        cancel.answers = { Prompter::Cancel };
        for (int pass = 0; pass < 2; ++pass) {
            for (const char *name : { "cboTypeA", "cboTypeB", "txtWeight" }) {
                auto *w = get<QWidget>(QString::fromLatin1(name));
                const QImage face = w->grab().toImage();
                const QColor c = face.pixelColor(face.width() - 24, face.height() / 2);
                const int off = std::max({ std::abs(c.red() - base.red()),
                    std::abs(c.green() - base.green()), std::abs(c.blue() - base.blue()) });
                QVERIFY2(off <= 8,
                    qPrintable(QStringLiteral("%1 pass %2: %3")
                                   .arg(QLatin1String(name))
                                   .arg(pass)
                                   .arg(c.name())));
            }
            printWindow(m_window.get(), cancel);
        }
    }

    // clang-format off
    void openingPlace_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("over"); // the main window's frame
        QTest::addColumn<QRect>("placed");
        QTest::newRow("room: centred over the main window")
            << QRect(0, 0, 400, 300) << QRect(100, 100, 660, 540) << QRect(230, 220, 400, 300);
        QTest::newRow("off the right: moved left")
            << QRect(0, 0, 400, 300) << QRect(1000, 100, 600, 400) << QRect(880, 150, 400, 300);
        QTest::newRow("off the bottom: moved up")
            << QRect(0, 0, 655, 490) << QRect(300, 700, 660, 540) << QRect(302, 534, 655, 490);
        QTest::newRow("above the panel: moved down")
            << QRect(0, 0, 400, 300) << QRect(0, 0, 400, 100) << QRect(0, 30, 400, 300);
        QTest::newRow("larger than the screen: shrunk, on the screen")
            << QRect(0, 0, 1400, 1100) << QRect(100, 100, 660, 540) << QRect(0, 30, 1280, 994);
        QTest::newRow("no main window: centred on the screen")
            << QRect(0, 0, 680, 494) << QRect() << QRect(300, 280, 680, 494);
    }
    // clang-format on
    void openingPlace()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, over);
        QFETCH(QRect, placed);
        // A screen of 1280 x 1024 with a panel of 30 pixels at the top.
        QCOMPARE(WindowLayer::openingFrame(frame, over, QRect(0, 30, 1280, 994)), placed);
    }

    // A window larger than the screen is shrunk to it when it may be resized; a fixed one keeps
    // its size with its top-left corner on the screen.
    void placeWindowShrinksOnlyResizable()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget resizable, fixed;
        resizable.resize(screen.size() + QSize(300, 200));
        fixed.setFixedSize(screen.size() + QSize(300, 200));
        WindowLayer::placeWindow(&resizable, nullptr);
        WindowLayer::placeWindow(&fixed, nullptr);
        QCOMPARE(resizable.geometry(), screen);
        QCOMPARE(fixed.geometry(), QRect(screen.topLeft(), screen.size() + QSize(300, 200)));
    }

    // Screen readers walk a combo box into its list and, when it is editable, its text.
    void comboBoxChildren()
    {
        frmEditer editer(m_prompter);
        auto *typed = editer.findChild<QComboBox *>(QStringLiteral("cboBearing"));
        QAccessibleInterface *editable = QAccessible::queryAccessibleInterface(typed);
        QAccessibleInterface *list = editable->child(0), *text = editable->child(1);
        QVERIFY(list && text && !editable->child(2));
        QCOMPARE(
            QList<QObject *>({ list->object(), text->object(), editable->focusChild()->object() }),
            QList<QObject *>({ typed->view(), typed->lineEdit(), typed->lineEdit() }));
        QCOMPARE(QList<int>({ editable->childCount(), editable->indexOfChild(list),
                     editable->indexOfChild(text), editable->indexOfChild(editable) }),
            QList<int>({ 2, 0, 1, -1 }));
        QAccessibleInterface *typeA = QAccessible::queryAccessibleInterface(combo("cboTypeA"));
        QCOMPARE(
            QList<int>({ typeA->childCount(), typeA->indexOfChild(text) }), QList<int>({ 1, -1 }));
        QVERIFY(!typeA->child(1) && !typeA->focusChild());
        QCOMPARE(typeA->text(QAccessible::Value), QStringLiteral("调心滚子轴承"));
    }

    // Every window is a window to screen readers, named by its title; every control that takes the
    // focus has a name; each window opens on the screen.
    void everyWindowAndControlNamed()
    {
        m_window.reset();
        ProgramWindows windows(m_prompter);
        windows.showMain();
        windows.showView();
        windows.showEditer();
        windows.showCombiner();
        showHelp(&windows.main(), QStringLiteral("/nonexistent-folder-of-tolvenar/help.chm"));
        const QRect screen = windows.main().screen()->availableGeometry();
        QStringList faults;
        for (QWidget *top : QList<QWidget *> { &windows.main(), windows.view(), windows.editer(),
                 windows.combiner(), HelpWindow::current() }) {
            QAccessibleInterface *window = QAccessible::queryAccessibleInterface(top);
            if (window->role() != QAccessible::Window
                || window->text(QAccessible::Name) != top->windowTitle())
                faults << top->objectName() + QStringLiteral(" is no window named by its title");
            if (!screen.contains(top->frameGeometry()))
                faults << top->objectName() + QStringLiteral(" off the screen");
            for (QWidget *w : top->findChildren<QWidget *>()) {
                if (w->window() != top || w->focusPolicy() == Qt::NoFocus || w->focusProxy())
                    continue;
                QAccessibleInterface *control = QAccessible::queryAccessibleInterface(w);
                if (control->text(QAccessible::Name).trimmed().isEmpty())
                    faults << top->objectName() + u'/' + w->objectName() + u' '
                            + QLatin1String(w->metaObject()->className())
                            + QStringLiteral(" unnamed");
            }
        }
        QCOMPARE(faults.join(u';'), QString());
        // What the names are: the caption or the label beside each control.
        const auto name = [](QWidget *top, const char *control) {
            auto *w = top->findChild<QWidget *>(QString::fromLatin1(control));
            return w ? QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name)
                     : QString();
        };
        QCOMPARE(QStringList({ name(&windows.main(), "Frame1_0"), name(&windows.main(), "Frame1_1"),
                     name(&windows.main(), "cboTypeA"), name(&windows.main(), "cboTypeB"),
                     name(windows.editer(), "txtBearing_0"), name(windows.editer(), "cboBearing"),
                     name(windows.combiner(), "txtDestination") }),
            QStringList({ QStringLiteral("1轮轴向力"), QStringLiteral("2轮轴向力"),
                QStringLiteral("A 轴承类型"), QStringLiteral("B 轴承类型"), QStringLiteral("型号"),
                QStringLiteral("类型"), QStringLiteral("目标文件") }));
        QVERIFY(!QAccessible::queryAccessibleInterface(windows.main().drawingArea())
                     ->text(QAccessible::Description)
                     .isEmpty());
        // The merger's target shows its end, the file name; the whole path is its tooltip.
        auto *target = windows.combiner()->findChild<QLineEdit *>(QStringLiteral("txtDestination"));
        QCOMPARE(target->toolTip(), QDir::toNativeSeparators(RecordFiles::bearingPath()));
        QCOMPARE(target->cursorPosition(), target->text().size());
    }

    // The worked example typed and computed by F5; after an edit the buttons are off but the
    // menu entries still run their commands.
    void computeAndMenuEntries()
    {
        typeWorkedExample();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window.get(), Qt::Key_F5);
        QCOMPARE(m_prompter.texts(), QStringList());
        QCOMPARE(caption("lblResultA"), LifeA);
        QCOMPARE(caption("lblResultB"), QStringLiteral("B轴承:696.2 万小时"));
        QCOMPARE(saveCommands(), QStringLiteral("11111"));
        QTest::keyClicks(box("txtBearingA_4"), QStringLiteral("1"));
        QCOMPARE(saveCommands(), QStringLiteral("00111"));
        QSignalSpy result(m_window.get(), &frmMain::saveResultRequested);
        QSignalSpy parameter(m_window.get(), &frmMain::saveParameterRequested);
        QSignalSpy detailed(m_window.get(), &frmMain::detailedDataRequested);
        for (const char *a : { "mnuSaveResult", "mnuSaveParameter", "Test" })
            get<QAction>(QString::fromLatin1(a))->trigger();
        QCOMPARE(QList<qsizetype>({ result.count(), parameter.count(), detailed.count() }),
            QList<qsizetype>({ 1, 1, 1 }));
    }

    // clang-format off
    void faults_data()
    {
        QTest::addColumn<QStringList>("changes"); // NAME=TEXT of a box, NAME=off an option, NAME=INDEX a type
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // afterwards; F5 is pressed in model A holding 30210j
        const auto row = [](const char *name, const char *change, const QString &message, const char *focus) {
            QTest::newRow(name) << QString::fromLatin1(change).split(u',') << message << QString::fromLatin1(focus);
        };
        row("empty shaft number", "txtParameter_0=", QStringLiteral("编号不能为空字符串  "), "txtParameter_0");
        row("n left at 0", "txtParameter_2=0", QStringLiteral("P, n, L, L1, d1, Cr等不能为零  "), "txtParameter_2");
        row("gear 2 helix without direction", "optGear2_1=off", QStringLiteral("选择轴向力方向   "), "optGear2_0");
        row("model B empty", "txtBearingB_0=", QStringLiteral("轴承型号不能为空字符串  "), "txtBearingB_0");
        row("weight 40000 kg, unticked", "txtWeight=40000", QStringLiteral("数值溢出  "), "txtBearingA_0");
        row("B cylindrical under tapered A: Y1B empty", "cboTypeB=3", QStringLiteral("除数为零  "), "txtBearingA_0");
    }
    // clang-format on
    void faults()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        typeWorkedExample();
        for (const QString &change : changes) {
            const QString target = change.section(u'=', 0, 0), value = change.section(u'=', 1);
            if (auto *o = m_window->findChild<QRadioButton *>(target))
                o->setChecked(false);
            else if (auto *c = m_window->findChild<QComboBox *>(target))
                c->setCurrentIndex(value.toInt());
            else
                get(target)->setText(value);
        }
        box("txtBearingA_0")->setText(QStringLiteral("30210j"));
        activateMain();
        box("txtBearingA_0")->setFocus();
        QTest::keyClick(m_window.get(), Qt::Key_F5);
        QCOMPARE(m_prompter.texts(), QStringList { message });
        QVERIFY(Fixture::isFailureBox(m_prompter.shown.first()));
        QCOMPARE(caption("lblResultA"), QStringLiteral("A轴承"));
        QCOMPARE(saveCommands(), QStringLiteral("00000"));
        // The focus goes where the user has to act; no field is edited on the way.
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(box("txtBearingA_0")->text(), QStringLiteral("30210j"));
        // A later move between fields upper-cases as ever.
        box("txtBearingA_0")->setFocus();
        QTest::keyClick(box("txtBearingA_0"), Qt::Key_Tab);
        QCOMPARE(box("txtBearingA_0")->text(), QStringLiteral("30210J"));
    }

    // A stopped run keeps the captions and command states; the fields gathered before the fault
    // take their new values, the later ones keep theirs.
    void stoppedRunKeepsCaptions()
    {
        typeWorkedExample();
        m_window->cmdCompute_Click();
        box("txtParameter_2")->setText(QStringLiteral("1500"));
        box("txtParameter_3")->setText(QStringLiteral("40000"));
        box("txtGear_0")->setText(QStringLiteral("81"));
        m_window->cmdCompute_Click();
        QCOMPARE(m_prompter.texts(), QStringList { QStringLiteral("数值溢出  ") });
        QCOMPARE(caption("lblResultA"), LifeA);
        QCOMPARE(saveCommands(), QStringLiteral("00111"));
        QCOMPARE(m_window->input().n, 1500.0f);
        QCOMPARE(m_window->input().L1, std::int16_t(80));
    }

    // Compute, save under a number, Clear, type the number in lower case and press Enter: every
    // field, option and type comes back, and computes to the same lives.
    void saveClearRecall()
    {
        // The commands the recall invalidates and the life captions Clear empties aside.
        const auto fields = [this] {
            QStringList s = visibleState(m_window.get());
            s.removeIf([](const QString &l) {
                return l.contains(u"Save") || l.startsWith(u"Test") || l.startsWith(u"lblResult");
            });
            return s;
        };
        typeWorkedExample();
        box("txtParameter_0")->setText(QStringLiteral("WX-1"));
        get<QCheckBox>(QStringLiteral("chkWeight"))->setChecked(true);
        box("txtWeight")->setText(QStringLiteral("12"));
        m_window->cmdCompute_Click();
        get<QPushButton>(QStringLiteral("cmdSaveParameter"))->click();
        QCOMPARE(m_prompter.texts(),
            QStringList { QStringLiteral("参数已保存,快用工具\\数据管理器完善. ") });
        QCOMPARE(QFile(RecordFiles::gearPath()).size(), 116);
        QCOMPARE(QFile(RecordFiles::bearingPath()).size(), 48);
        const QStringList saved = fields();

        m_window->cmdClear_Click();
        box("txtParameter_0")->setText(QStringLiteral("wx-1")); // looked up in upper case
        QTest::keyClick(box("txtParameter_0"), Qt::Key_Return);
        // B's Y2 comes back as "0" in its switched-off box: B's type was already set by A's rule,
        // so selecting it again runs no rule.
        QCOMPARE(fields(),
            QStringList(saved).replaceInStrings(
                QStringLiteral("txtBearingB_3 off"), QStringLiteral("txtBearingB_3 off0")));
        m_window->cmdCompute_Click();
        QCOMPARE(caption("lblResultA"), LifeA);
    }

    void replaceQuestionAndUnknownNumber()
    {
        typeWorkedExample();
        box("txtParameter_0")->setText(QStringLiteral("WX-1"));
        m_window->cmdCompute_Click();
        m_window->SaveParameters();
        box("txtParameter_1")->setText(QStringLiteral("40"));
        m_prompter.clear();
        m_prompter.answers = { Prompter::No };
        m_window->SaveParameters();
        QCOMPARE(
            m_prompter.texts(), QStringList { QStringLiteral("编号 WX-1 已经用过。是否替换？") });
        QCOMPARE(box("txtParameter_0")->selectedText(), QStringLiteral("WX-1")); // for retyping
        QCOMPARE(QFile(RecordFiles::gearPath()).size(), 116);

        box("txtParameter_0")->setText(QStringLiteral("NOPE"));
        QTest::keyClick(box("txtParameter_0"), Qt::Key_Return);
        QCOMPARE(box("txtParameter_1")->text(), QStringLiteral("40")); // nothing changes
        QCOMPARE(box("txtParameter_0")->text(), QStringLiteral("NOPE"));
    }

    // clang-format off
    void sketch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLineF>("at");
        const auto line = [](const char *name, qreal x1, qreal y1, qreal x2, qreal y2) {
            QTest::newRow(name) << QString() << QLineF(x1, y1, x2, y2);
        };
        const auto label = [](const char *name, const char *text, qreal x, qreal y) {
            QTest::newRow(name) << QString::fromLatin1(text) << QLineF(x, y, x, y);
        };
        line("01 shaft axis (0,0)-(2900,0)", 50, 120, 340, 120);
        line("02 support A left (0,0)-(-80,-200)", 50, 120, 42, 140);
        line("03 support A right (0,0)-(80,-200)", 50, 120, 58, 140);
        line("04 support A base (-80,-200)-(80,-200)", 42, 140, 58, 140);
        line("05 support B left (2900,0)-(2820,-200)", 340, 120, 332, 140);
        line("06 support B right (2900,0)-(2980,-200)", 340, 120, 348, 140);
        line("07 support B base (2820,-200)-(2980,-200)", 332, 140, 348, 140);
        line("08 gear 1 (800,400)-(800,-400)", 130, 80, 130, 160);
        line("09 gear 2 (2000,600)-(2000,-600)", 250, 60, 250, 180);
        line("10 gear 1 top bar (740,400)-(880,400)", 124, 80, 138, 80);
        line("11 gear 1 bottom bar (740,-400)-(880,-400)", 124, 160, 138, 160);
        line("12 gear 2 top bar (1920,600)-(2100,600)", 242, 60, 260, 60);
        line("13 gear 2 bottom bar (1920,-600)-(2100,-600)", 242, 180, 260, 180);
        line("14 extension at A (0,-300)-(0,-1300)", 50, 150, 50, 250);
        line("15 extension at B (2900,-300)-(2900,-1300)", 340, 150, 340, 250);
        line("16 dimension L (0,-1200)-(2900,-1200)", 50, 240, 340, 240);
        line("17 extension at gear 1 (800,-500)-(800,-1000)", 130, 170, 130, 220);
        line("18 dimension L1 (0,-900)-(800,-900)", 50, 210, 130, 210);
        line("19 extension at gear 2 (2000,-700)-(2000,-1000)", 250, 190, 250, 220);
        line("20 dimension L2 (2000,-900)-(2900,-900)", 250, 210, 340, 210);
        label("21 A at (-50,300)", "A", 45, 90);
        label("22 B at (2850,300)", "B", 335, 90);
        label("23 L1 at (300,-600)", "L1", 80, 180);
        label("24 L2 at (2300,-600)", "L2", 280, 180);
        label("25 L at (1400,-900)", "L", 190, 210);
        label("26 1 at (750,700)", "1", 125, 50);
        label("27 2 at (1950,900)", "2", 245, 30);
    }
    // clang-format on
    void sketch()
    {
        QFETCH(QString, text);
        QFETCH(QLineF, at);
        const QList<Drawn> drawn = record();
        QCOMPARE(drawn.size(), 27); // the sketch fills or clears nothing
        const Drawn &d = drawn.at(QString::fromLatin1(QTest::currentDataTag()).left(2).toInt() - 1);
        QCOMPARE(d.text, text);
        // Lines exactly; a label placed by its baseline stands one ascent below its top edge.
        const qreal off
            = QLineF(d.line.p1(), at.p1()).length() + QLineF(d.line.p2(), at.p2()).length();
        QVERIFY2(
            off <= (text.isEmpty() ? 1e-9 : 1.0), qPrintable(QStringLiteral("off by %1").arg(off)));
        QCOMPARE(d.pen.color(), QColor(10, 20, 30));
        if (text.isEmpty()) {
            QCOMPARE(d.pen.style(), Qt::SolidLine);
            QCOMPARE(d.pen.widthF(), 1.0);
        } else {
            QCOMPARE(d.font.pointSizeF(), 12.0);
            QCOMPARE(d.font.families().value(0), QStringLiteral("SimSun"));
        }
    }

    void wholeArea()
    {
        // 195 x 560 at (10, 20): x scale 1/20, y scale 1/5, no aspect ratio kept.
        QCOMPARE(record(QRectF(10, 20, 195, 560)).at(8).line,
            QLineF(10 + 2500 / 20.0, 20 + 600 / 5.0, 10 + 2500 / 20.0, 20 + 1800 / 5.0));
    }

    // clang-format off
    void printingRestoresEverything_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("pdf"); // the name chosen in the PDF dialog, empty: cancelled
        QTest::addColumn<bool>("printed");
        QTest::addColumn<QString>("number");   // the shaft number the page is named after
        QTest::addColumn<QString>("proposed"); // the name the PDF dialog proposes
        QTest::newRow("Cancel: nothing printed") << int(Prompter::Cancel) << QString() << false
            << QStringLiteral("wx-1") << QString();
        QTest::newRow("OK, no printer, PDF dialog cancelled, no number") << int(Prompter::Ok) << QString() << false
            << QStringLiteral("  ") << QStringLiteral("Tolvenar.pdf");
        QTest::newRow("OK, no printer, saved as PDF") << int(Prompter::Ok) << QStringLiteral("page.pdf") << true
            << QStringLiteral("wx-1") << QStringLiteral("wx-1.pdf");
        QTest::newRow("OK, PDF in a missing folder: reported; / and : in the number, a blank kept")
            << int(Prompter::Ok) << QStringLiteral("no such folder/page.pdf") << false
            << QStringLiteral(" a/b:c d ") << QStringLiteral("a_b_c d.pdf");
    }
    // clang-format on
    void printingRestoresEverything()
    {
        QFETCH(int, answer);
        QFETCH(QString, pdf);
        QFETCH(bool, printed);
        QFETCH(QString, number);
        QFETCH(QString, proposed);
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        auto *compute = get<QPushButton>(QStringLiteral("cmdCompute"));
        compute->setFocus();
        auto *picA = get<QLabel>(QStringLiteral("picA"));
        redrawSchematic(picA); // as on activation
        // A box coloured by a style sheet ignores its palette: it must turn white all the same.
        box("txtParameter_0")->setStyleSheet(QStringLiteral("background-color: rgb(192,255,255);"));
        const QColor ownColour = picA->palette().color(QPalette::Window);
        const QStringList before = looks(m_window.get());
        const QImage imageBefore = windowImage(m_window.get());
        QTemporaryDir dir;
        WatchingPrompter prompter;
        prompter.answers = { answer };
        if (!pdf.isEmpty())
            prompter.savePaths = { dir.filePath(pdf) };
        bool asked = false;
        prompter.whileAsking = [&] { // white, the buttons hidden
            asked = true;
            const QImage page = windowImage(m_window.get());
            for (QWidget *w : QList<QWidget *> { picA, box("txtParameter_0"), box("txtParameter_1"),
                     box("txtBearingA_0"), compute })
                QVERIFY2(inside(page, m_window.get(), w) == QColor(Qt::white),
                    qPrintable(w->objectName()));
        };
        QImage page;
        prompter.whileSaving = [&] { page = windowImage(m_window.get()); };
        QList<QColor> redrawn;
        WindowPrintOptions options;
        options.redrawPicture = [&] { // as the program does it
            redrawn << picA->palette().color(QPalette::Window);
            redrawSchematic(picA);
        };
        options.printer = QPrinterInfo(); // none: a PDF file instead
        options.documentName = number;
        QCOMPARE(printWindow(m_window.get(), prompter, options), printed);
        QCOMPARE(prompter.proposed, proposed);

        QVERIFY(asked);
        QCOMPARE(prompter.texts().first(), QStringLiteral("确定要打印当前窗口?"));
        QCOMPARE(prompter.dialogs.size(), answer == Prompter::Ok ? 1 : 0);
        QCOMPARE(Fixture::readFile(dir.filePath(pdf)).left(5),
            printed ? QByteArray("%PDF-") : QByteArray("<miss"));
        if (answer == Prompter::Ok)
            QCOMPARE(inside(page, m_window.get(), compute), QColor(Qt::white));
        QCOMPARE(prompter.shown.size(), pdf.contains(u'/') ? 2 : 1);
        if (pdf.contains(u'/')) // the failure box names the file
            QVERIFY(Fixture::isFailureBox(prompter.shown.at(1))
                && prompter.shown.at(1).text.startsWith(dir.filePath(pdf)));
        QCOMPARE(redrawn, (QList<QColor> { Qt::white, ownColour }));
        QCOMPARE(looks(m_window.get()), before);
        QVERIFY(windowImage(m_window.get()) == imageBefore);
        QCOMPARE(QApplication::focusWidget(), compute);
    }

    // clang-format off
    void printedPdf_data()
    {
        // Unscaled, the window (639 pixels at 96 dpi) would fill about 80 % of the width of an A4
        // page: the right-hand captions end beyond that only when the window fills the printable
        // width. The window is 472 / 639 as high as wide, so it ends about half way down.
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("right"); // where on the page the text ends at least; 0: absent
        QTest::addColumn<double>("low");   // how far down the page it ends at most
        QTest::newRow("life of A, right") << QStringLiteral("A轴承:658.7") << 0.8 << 0.2;
        QTest::newRow("life of B, right") << QStringLiteral("B轴承:696.2") << 0.8 << 0.25;
        QTest::newRow("mounting, top right") << QStringLiteral("背对背安装") << 0.85 << 0.1;
        QTest::newRow("weight, bottom left") << QStringLiteral("G=") << 0.2 << 0.55;
        // Searched or copied, characters whose glyph the fonts share with a radical stay ideographs.
        QTest::newRow("自, not the radical ⾃") << QStringLiteral("考虑轴向自重影响") << 0.2 << 0.55;
        QTest::newRow("齿, not the radical ⻮") << QStringLiteral("齿轮参数") << 0.05 << 0.3;
        QTest::newRow("小, not the radical ⼩") << QStringLiteral("万小时") << 0.9 << 0.25;
        QTest::newRow("digit after a letter: L1 of gear 1") << QStringLiteral("L1") << 0.05 << 0.35;
        QTest::newRow("no button: 计  算") << QStringLiteral("计") << 0.0 << 0.0;
        QTest::newRow("no button: 保存结果") << QStringLiteral("保存结果") << 0.0 << 0.0;
    }
    // clang-format on
    // The worked example printed into a PDF file: the whole client area, as text and lines, as
    // wide as the page.
    void printedPdf()
    {
        QFETCH(QString, text);
        QFETCH(double, right);
        QFETCH(double, low);
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        typeWorkedExample();
        m_window->cmdCompute_Click();
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        prompter.answers = { Prompter::Ok };
        prompter.savePaths = { dir.filePath(QStringLiteral("page")) }; // ".pdf" is added
        WindowPrintOptions options;
        options.printer = QPrinterInfo();
        options.redrawPicture = [this] { redrawSchematic(get<QLabel>(QStringLiteral("picA"))); };
        QVERIFY(printWindow(m_window.get(), prompter, options));
        const QByteArray pdf = Fixture::readFile(dir.filePath(QStringLiteral("page.pdf")));
        // Text and lines: only the style's small frame pieces may be bitmaps, not the window or
        // its schematic.
        QRegularExpressionMatchIterator width
            = QRegularExpression(QStringLiteral(R"(/Width (\d+))"))
                  .globalMatch(QString::fromLatin1(pdf));
        while (width.hasNext())
            QVERIFY(width.next().captured(1).toInt() < 200);

        // Every word with its box, as fractions of the page.
        QProcess words;
        words.start(pdftotext,
            { QStringLiteral("-bbox"), dir.filePath(QStringLiteral("page.pdf")),
                QStringLiteral("-") });
        QVERIFY(words.waitForFinished(30000));
        const QString html = QString::fromUtf8(words.readAllStandardOutput());
        const QRegularExpressionMatch page
            = QRegularExpression(QStringLiteral(R"x(<page width="([\d.]+)" height="([\d.]+)")x"))
                  .match(html);
        QVERIFY(page.hasMatch());
        double foundRight = 0, foundLow = 0;
        QRegularExpressionMatchIterator it = QRegularExpression(
            QStringLiteral(
                R"x(<word xMin="[\d.]+" yMin="[\d.]+" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)x"))
                                                 .globalMatch(html);
        while (it.hasNext()) {
            const QRegularExpressionMatch w = it.next();
            if (w.captured(3) == text) {
                foundRight = w.captured(1).toDouble() / page.captured(1).toDouble();
                foundLow = w.captured(2).toDouble() / page.captured(2).toDouble();
            }
        }
        QVERIFY2(right == 0 ? foundRight == 0 : foundRight >= right && foundLow <= low,
            qPrintable(QStringLiteral("ends at %1, %2 of the page").arg(foundRight).arg(foundLow)));
    }

    void oneHelpWindowOwnedByTheMainWindow()
    {
        const QString missing = QStringLiteral("/nonexistent-folder-of-tolvenar/help.chm");
        showHelp(m_window.get(), missing);
        QPointer<HelpWindow> help = HelpWindow::current();
        QVERIFY(help && help->isVisible() && help->isWindow());
        QCOMPARE(help->browser()->source(), HelpWindow::HomePage);
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Tolvenar 帮助")));
        showHelp(m_window.get(), missing);
        QCOMPARE(HelpWindow::current(), help.data());
        m_window.reset();
        QVERIFY(!help);
    }

    void secondCopyIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tolvenar.lock"));
        ScriptedPrompter prompter;
        QVERIFY(acquireSingleInstance(prompter, path));
        QVERIFY(acquireSingleInstance(prompter, path)); // the same process asks only once
        QVERIFY(prompter.shown.isEmpty());
        {
            SingleInstanceGuard first(path);
            QVERIFY(!first.tryAcquire());
        }
        QTemporaryDir other;
        const QString otherPath = other.filePath(QStringLiteral("tolvenar.lock"));
        {
            SingleInstanceGuard first(otherPath);
            QVERIFY(first.tryAcquire());
            QFile lock(otherPath); // long after the start the running copy still counts
            QVERIFY(lock.open(QIODevice::ReadWrite));
            QVERIFY(lock.setFileTime(
                QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
            lock.close();
            QVERIFY(!acquireSingleInstance(prompter, otherPath));
            QCOMPARE(prompter.shown.size(), 1);
            QCOMPARE(prompter.shown.at(0).text, QStringLiteral("已有一个程序实例运行"));
            QVERIFY(prompter.shown.at(0).title.isEmpty()); // the platform's default title
            QCOMPARE(prompter.shown.at(0).icon, Prompter::Icon::None);
            QVERIFY(first.isHeld()); // the copy already running is not affected
        }
        SingleInstanceGuard next(otherPath); // freed with the guard
        QVERIFY(next.tryAcquire());
        releaseSingleInstance(); // the lock file goes before its folder does
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
