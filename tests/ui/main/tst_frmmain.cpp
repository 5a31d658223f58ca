// The main window: its controls, start-up state and Clear, the type and mounting rules, the
// invalidation table, the compute command with its faults, the record commands end to end; and its
// companions: the program's window set, the shaft schematic (drawn into a paint engine that records
// every call), printing the window with everything restored, window placement and the single copy.

#include "records/recordfile.h"
#include "support/workedexample.h"
#include "ui/bearings/frmediter.h"
#include "ui/browser/frmview.h"
#include "ui/combiner/frmcombiner.h"
#include "ui/common/widgetprompter.h"
#include "ui/common/windowlayer.h"
#include "ui/main/frmmain.h"
#include "ui/main/helpwindow.h"
#include "ui/main/programwindows.h"
#include "ui/main/schematic.h"
#include "ui/main/singleinstance.h"
#include "ui/main/windowprinter.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>
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

using namespace Qt::StringLiterals;

namespace {

// The worked example as typed; the angle a (180) and both pressure angles (20) are the defaults.
// The shaft number in lower case on purpose.
const char *const WorkedExample[] = { "txtParameter_0=wx-1", "txtParameter_1=30/20",
    "txtParameter_2=1000", "txtParameter_3=300", "txtGear_0=80", "txtGear_1=200", "txtGear_2=10",
    "txtGear_4=90", "txtGear_5=120", "txtGear_6=12", "txtBearingA_0=30210", "txtBearingA_1=0.37",
    "txtBearingA_2=1.6", "txtBearingA_4=150", "txtBearingB_0=30210", "txtBearingB_1=0.37",
    "txtBearingB_2=1.6", "txtBearingB_4=150" };
const QString LifeA = u"A轴承:658.7 万小时"_s;

// A caption: a button's or label's text, a frame's or menu's title, a window's title.
QString text(const QObject *o)
{
    for (const char *property : { "text", "title", "windowTitle" })
        if (const QVariant v = o->property(property); v.isValid())
            return v.toString();
    return QString();
}

// What a user can see: texts, enabled and checked states, selections, menu entries.
QStringList visibleState(QWidget *window)
{
    QStringList out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const auto *box = qobject_cast<QLineEdit *>(w);
        const auto *combo = qobject_cast<QComboBox *>(w);
        const auto *button = qobject_cast<QAbstractButton *>(w);
        out << w->objectName() + (w->isEnabled() ? u" on" : u" off")
                + (box          ? box->text()
                        : combo ? QString::number(combo->currentIndex())
                                : text(w))
                + (button && button->isChecked() ? u" checked" : u"");
    }
    for (QAction *a : window->findChildren<QAction *>())
        out << a->objectName() + (a->isEnabled() ? u" on" : u" off");
    out.sort();
    return out;
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

struct Drawn
{
    QLineF line; // a line; for a label its top-left corner twice
    QString text; // empty for a line, "<fill>" for anything else (a path, a polygon, a picture)
    QPen pen;
    QFont font;
};

// A paint device of 390 x 280 at 96 dpi that records every line and text.
struct Recorder : QPaintEngine, QPaintDevice
{
    QList<Drawn> drawn;
    Recorder()
        : QPaintEngine(AllFeatures)
    {
    }
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
    void fill() { drawn.append({ {}, u"<fill>"_s, {}, {} }); }
    QPaintEngine *paintEngine() const override { return const_cast<Recorder *>(this); }
    int metric(PaintDeviceMetric m) const override
    {
        return m == PdmWidth                       ? 390
            : m == PdmHeight                       ? 280
            : m == PdmDepth                        ? 32
            : m == PdmDevicePixelRatioScaled       ? int(devicePixelRatioFScale())
            : m >= PdmDpiX && m <= PdmPhysicalDpiY ? 96
                                                   : 1;
    }
};

QList<Drawn> record(const QRectF &area)
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

QString accessibleName(QWidget *w)
{
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

bool activate(QWidget *w)
{
    w->activateWindow(); // the platform's focus window, which another window may hold
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
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
    void activateMain() { QVERIFY(activate(m_window.get())); }

    // Types the worked example: A's type by arrow key (its rule selects face-to-face mounting),
    // the directions by Space ("左" for gear 1, "右" for gear 2); optionally computes it.
    void typeWorkedExample(bool compute = false, const char *modelA = "30210")
    {
        QTest::keyClick(combo("cboTypeA"), Qt::Key_Down);
        for (const char *f : WorkedExample) {
            const QString field = QString::fromLatin1(f);
            QTest::keyClicks(get(field.section(u'=', 0, 0)), field.section(u'=', 1));
        }
        QTest::keyClick(option("optGear1_0"), Qt::Key_Space);
        QTest::keyClick(option("optGear2_1"), Qt::Key_Space);
        box("txtBearingA_0")->setText(QString::fromLatin1(modelA));
        if (compute)
            m_window->cmdCompute_Click();
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

    // clang-format off
    void controls_data()
    {
        // "key=value" separated by "|": text (caption or title), tip, max (characters a box
        // takes), base (a box's colour), hl (1: drawn in the highlight colour), at (x,y,w,h in
        // pixels of 96 dpi, 15 twips each), key (shortcut), face (drawn as an empty text field),
        // name (for screen readers).
        QTest::addColumn<QString>("props");
        const auto row = [](const char *name, const char *props) { QTest::newRow(name) << QString::fromUtf8(props); };
        row("frmMain", "text=Tolvenar");
        row("MnuOperation", "text=操 作(&O)");
        row("txtParameter_0", "tip=填完回车自动查找|max=15|base=#c0ffff");
        row("txtParameter_1", "tip=功率不同时P1/P2|base=#c0ffc0");
        row("txtParameter_4", "tip=|base=#c0ffc0");
        row("txtGear_0", "tip=齿轮跨距(mm)|base=#c0ffc0");
        row("txtGear_5", "tip=分度圆(mm)");
        row("txtGear_2", "tip=螺旋角");
        row("txtGear_7", "tip=压力角");
        row("txtBearingA_0", "tip=例如SKF23052|max=12|base=#c0ffff");
        row("txtBearingB_0", "max=12|base=#c0ffff");
        row("txtBearingA_2", "tip=NSK:Y3=Y1");
        row("txtBearingB_4", "tip=额定动负荷|base=#c0ffc0");
        row("cboTypeA", "tip=在列表中选择|face=1|name=A 轴承类型");
        row("cboTypeB", "face=1|name=B 轴承类型");
        row("Frame1_0", "text=1轮轴向力|name=1轮轴向力");
        row("Frame1_1", "name=2轮轴向力");
        row("chkWeight", "text=考虑轴向自重影响 G=|tip=默认A端朝下");
        row("txtWeight", "tip=单位:Kg|face=1");
        row("lblParameter_1", "text=功率(P)|hl=1");
        row("lblParameter_2", "hl=1");
        row("lblParameter_4", "hl=1");
        row("lblParameter_5", "text=夹角(a)|hl=0");
        row("lblGear_0", "text=L1|hl=1");
        row("lblGear_1", "hl=1");
        row("lblGear_7", "text=L2|hl=0");
        row("lblGear_6", "text=d2|hl=0");
        row("optGear1_1", "text=右");
        row("optGear2_0", "text=左");
        row("optGear2_1", "text=右");
        row("lblBearingA_4", "text=Cr|hl=1");
        row("lblBearingB_4", "hl=1");
        row("lblBearingB_1", "hl=0");
        row("fraResult", "text=计算结果|hl=1");
        row("cmdView", "text=查  找|at=555,224,77,26");
        row("cmdCompute", "text=计  算|at=555,264,77,26");
        row("cmdSaveResult", "text=保存结果|at=555,304,77,26");
        row("cmdSaveParameter", "text=保存参数|at=555,344,77,26");
        row("cmdClear", "text=清  除|at=555,384,77,26");
        row("cmdExit", "text=退 出>>|at=555,432,77,26");
        row("mnuCompute", "text=计   算|key=F5");
        row("mnuToolsEditer", "text=数据管理器|key=Ctrl+E");
        row("mnuExplain", "text=帮   助     F1|key="); // F1 is the window's, not the entry's
    }
    // clang-format on
    void controls()
    {
        QFETCH(QString, props);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QObject *o = name == m_window->objectName() ? m_window.get() : get<QObject>(name);
        auto *w = qobject_cast<QWidget *>(o);
        const QColor highlight
            = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
        for (const QString &prop : props.split(u'|')) {
            const QString key = prop.section(u'=', 0, 0), value = prop.section(u'=', 1);
            if (key == u"text")
                QCOMPARE(text(o), value);
            else if (key == u"tip")
                QCOMPARE(w ? w->toolTip() : qobject_cast<QAction *>(o)->toolTip(), value);
            else if (key == u"base")
                QCOMPARE(w->palette().color(QPalette::Base).name(), value);
            else if (key == u"hl")
                QCOMPARE(w->palette().color(QPalette::WindowText) == highlight, value == u"1");
            else if (key == u"name") // what screen readers call it
                QCOMPARE(accessibleName(w), value);
            else if (key == u"key")
                QCOMPARE(qobject_cast<QAction *>(o)->shortcut().toString(), value);
            else if (key == u"at")
                QCOMPARE(w->geometry(),
                    QRect(value.section(u',', 0, 0).toInt(), value.section(u',', 1, 1).toInt(),
                        value.section(u',', 2, 2).toInt(), value.section(u',', 3, 3).toInt()));
            else if (key == u"max") { // typed: the box refuses what goes beyond
                auto *box = qobject_cast<QLineEdit *>(w);
                QTest::keyClicks(box, u"ABCDEFGHIJKLMNOPQRST"_s);
                QCOMPARE(box->text(), u"ABCDEFGHIJKLMNOPQRST"_s.left(value.toInt()));
            } else { // the face of an empty text field, not the window's grey, also switched off
                const QImage face = w->grab().toImage();
                const QColor c = face.pixelColor(face.width() - 24, face.height() / 2);
                const QColor base = QApplication::palette().color(QPalette::Base);
                QVERIFY2(std::max({ std::abs(c.red() - base.red()),
                             std::abs(c.green() - base.green()), std::abs(c.blue() - base.blue()) })
                        <= 8,
                    qPrintable(c.name()));
            }
        }
    }

    // The Tab order, the first control holding the focus when the window opens.
    void tabOrder()
    {
        activateMain();
        QWidget *first = QApplication::focusWidget();
        QCOMPARE(first->objectName(), u"cmdView"_s);
        QStringList order;
        QWidget *w = first;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
                order << w->objectName()
                             .replace(u"txtParameter_"_s, u"P"_s)
                             .replace(u"txtGear_"_s, u"G"_s)
                             .replace(u"txtBearing"_s, QString());
            w = w->nextInFocusChain();
        } while (w != first);
        QCOMPARE(order.join(u' '),
            QStringLiteral(
                "cmdView P0 P1 P2 P3 P4 G0 G1 G2 G3 G4 G5 G6 G7 A_0 cboTypeA A_1 A_2 A_3 "
                "A_4 B_0 cboTypeB B_1 B_2 B_3 B_4 cmdCompute cmdSaveResult "
                "cmdSaveParameter cmdClear cmdExit chkWeight txtWeight optAssembleA "
                "optAssembleB optGear1_0 optGear1_1 optGear2_1 optGear2_0"));
    }

    // The start-up state; F5 computes; after an edit the buttons are off but the menu entries
    // still run their commands; both Clear commands bring back the start-up state.
    void startComputeClear()
    {
        QCOMPARE(u"%1 %2 %3 %4 %5 %6%7 %8 %9"_s
                     .arg(box("txtParameter_4")->text(), box("txtGear_3")->text(),
                         box("txtGear_7")->text(), caption("lblResultA"), caption("lblResultB"))
                     .arg(box("txtWeight")->isEnabled())
                     .arg(combo("cboTypeA")->currentIndex())
                     .arg(m_window->input().Fa1Dir)
                     .arg(m_window->input().Fa2Dir)
                + saveCommands(),
            u"180 20 20 A轴承 B轴承 00 -1 -100000"_s);
        const QStringList startUp = visibleState(m_window.get());

        typeWorkedExample();
        activateMain();
        QTest::keyClick(m_window.get(), Qt::Key_F5);
        QCOMPARE(m_prompter.texts(), QStringList());
        QCOMPARE(caption("lblResultA") + caption("lblResultB"), LifeA + u"B轴承:696.2 万小时"_s);
        QCOMPARE(saveCommands(), u"11111"_s);
        // A life caption is selected with the mouse and copied with Ctrl+C.
        auto *life = get<QLabel>(u"lblResultA"_s);
        const int y = life->fontMetrics().height() / 2;
        QTest::mousePress(life, Qt::LeftButton, {}, QPoint(1, y));
        QTest::mouseMove(life, QPoint(life->width() - 1, y));
        QTest::mouseRelease(life, Qt::LeftButton, {}, QPoint(life->width() - 1, y));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(life, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text() + life->selectedText() + life->text(),
            LifeA + LifeA + LifeA);
        QTest::keyClicks(box("txtBearingA_4"), u"1"_s);
        QCOMPARE(saveCommands(), u"00111"_s);
        for (const char *a : { "mnuSaveResult", "mnuSaveParameter", "Test" })
            get<QAction>(QString::fromLatin1(a))->trigger();
        QCOMPARE(m_prompter.dialogs.size(), 2); // both report dialogs, cancelled
        QCOMPARE(m_prompter.texts(), QStringList { u"参数已保存,快用工具\\数据管理器完善. "_s });

        QTest::keyClick(get<QCheckBox>(u"chkWeight"_s), Qt::Key_Space);
        QTest::keyClicks(box("txtWeight"), u"25"_s);
        combo("cboTypeA")->setCurrentIndex(2); // B becomes 3, optAssembleB selected
        box("txtGear_7")->setText(u"25"_s);
        get<QAction>(u"mnuClear"_s)->trigger();
        QCOMPARE(visibleState(m_window.get()), startUp);
        typeWorkedExample(true);
        QTest::keyClick(get<QPushButton>(u"cmdClear"_s), Qt::Key_Space);
        QCOMPARE(visibleState(m_window.get()), startUp);
    }

    // clang-format off
    void bearingType_data()
    {
        // Afterwards: B's type, the mounting captions and which is selected (A, B), then A's and
        // B's e, Y1, Y2: open and kept (1) or off and emptied (0).
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("after");
        QTest::newRow("0 调心滚子轴承") << 0 << u"0 A 轴承游动/B 轴承游动 00 111111"_s;
        QTest::newRow("1 单列圆锥轴承") << 1 << u"1 面对面安装/背对背安装 10 110110"_s;
        QTest::newRow("2 配对圆锥轴承") << 2 << u"3 A 轴承游动/B 轴承游动 01 110000"_s;
        QTest::newRow("3 圆柱滚子轴承") << 3 << u"2 A 轴承游动/B 轴承游动 10 000110"_s;
        QTest::newRow("4 角接触球轴承") << 4 << u"4 面对面安装/背对背安装 10 000000"_s;
    }
    // clang-format on
    void bearingType()
    {
        QFETCH(int, code);
        QFETCH(QString, after);
        const auto field = [this](const char *kind, QChar side, int i) {
            return get<QWidget>(u"%1%2_%3"_s.arg(QLatin1String(kind)).arg(side).arg(i));
        };
        // From another type with text in every factor box, so every rule has work to do.
        combo("cboTypeA")->setCurrentIndex((code + 1) % 5);
        for (QChar side : { u'A', u'B' })
            for (int i = 1; i <= 3; ++i)
                static_cast<QLineEdit *>(field("txtBearing", side, i))->setText(u"9"_s);
        combo("cboTypeA")->setCurrentIndex(code);
        QString s = u"%1 %2/%3 %4%5 "_s.arg(combo("cboTypeB")->currentIndex())
                        .arg(option("optAssembleA")->text(), option("optAssembleB")->text())
                        .arg(option("optAssembleA")->isChecked())
                        .arg(option("optAssembleB")->isChecked());
        for (QChar side : { u'A', u'B' })
            for (int i = 1; i <= 3; ++i) {
                auto *f = static_cast<QLineEdit *>(field("txtBearing", side, i));
                const bool on = f->isEnabled();
                s += on != field("lblBearing", side, i)->isEnabled() ? u'?'
                    : on ? (f->text() == u"9" ? u'1' : u'?')
                         : (f->text().isEmpty() ? u'0' : u'?');
            }
        QCOMPARE(s, after);
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
        const auto row = [](const QString &name, const QString &step, const char *buttons, const char *check = "") {
            QTest::newRow(qPrintable(name)) << step << QString::fromLatin1(buttons) << QString::fromLatin1(check);
        };
        row(u"shaft number typed"_s, u"type:txtParameter_0:7"_s, "11");
        row(u"power typed"_s, u"type:txtParameter_1:0"_s, "00");
        for (int i = 1; i <= 4; ++i)
            row(u"txtParameter(%1) set"_s.arg(i), u"set:txtParameter_%1:5"_s.arg(i), "00");
        for (int i = 0; i <= 7; ++i)
            row(u"txtGear(%1) set"_s.arg(i), u"set:txtGear_%1:5"_s.arg(i), "01");
        row(u"gear typed"_s, u"type:txtGear_2:1"_s, "01");
        for (const char *side : { "A", "B" })
            for (int i = 0; i <= 4; ++i)
                row(u"txtBearing%1(%2) set"_s.arg(QLatin1String(side)).arg(i),
                    u"set:txtBearing%1_%2:5"_s.arg(QLatin1String(side)).arg(i), "00");
        row(u"optAssembleB chosen"_s, u"press:optAssembleB"_s, "00");
        row(u"optAssembleA pressed again"_s, u"press:optAssembleA"_s, "11");
        row(u"optGear1(1) chosen"_s, u"press:optGear1_1"_s, "00");
        row(u"optGear2(0) chosen"_s, u"press:optGear2_0"_s, "00");
        row(u"chkWeight ticked"_s, u"press:chkWeight"_s, "00");
        row(u"weight set"_s, u"set:txtWeight:12"_s, "11");
        row(u"chkWeight unticked keeps the weight"_s,
            u"press:chkWeight;set:txtWeight:12;press:chkWeight"_s, "00", "txtWeight=12");
        row(u"cboTypeB 1 to 2 empties nothing"_s, u"pick:cboTypeB:2"_s, "11");
        row(u"cboTypeA 1 to 4 empties B's e"_s, u"pick:cboTypeA:4"_s, "00", "txtBearingB_1=");
        row(u"leave shaft number: upper case"_s, u"leave:txtParameter_0"_s, "11", "txtParameter_0=WX-1");
        row(u"leave model A in lower case"_s, u"leave:txtBearingA_0"_s, "00", "txtBearingA_0=30210J");
        row(u"leave model B in upper case"_s, u"leave:txtBearingB_0"_s, "11", "txtBearingB_0=30210");
        row(u"leave model B in lower case"_s,
            u"set:txtBearingB_0:30210k;leave:txtBearingB_0"_s, "00", "txtBearingB_0=30210K");
    }
    // clang-format on
    void invalidation()
    {
        QFETCH(QString, step);
        QFETCH(QString, buttons);
        QFETCH(QString, check);
        typeWorkedExample(true, "30210j");
        QCOMPARE(saveCommands(), u"11111"_s);
        for (const QString &one : step.split(u';'))
            doStep(one);
        if (QTest::currentTestFailed())
            return;
        // The menu entries keep the state of the last computation.
        QCOMPARE(saveCommands(), buttons + u"111"_s);
        if (!check.isEmpty())
            QCOMPARE(get(check.section(u'=', 0, 0))->text(), check.section(u'=', 1));
        if (step.contains(u"txtWeight")) // switched off, the number kept
            QVERIFY(!box("txtWeight")->isEnabled());
    }

    void keyFieldKeptWhenFocusLeavesWindow_data()
    {
        QTest::addColumn<QString>("away");
        for (const char *away : { "print question cancelled", "message box",
                 "another window of the program", "another program" })
            QTest::newRow(away) << QString::fromLatin1(away);
    }
    // The focus leaving the window is no move between fields: a model typed in lower case stays,
    // and so do the save commands and the results.
    void keyFieldKeptWhenFocusLeavesWindow()
    {
        QFETCH(QString, away);
        typeWorkedExample(true, "30210j");
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
        if (away.startsWith(u"print")) {
            WindowPrintOptions none;
            none.printer = QPrinterInfo();
            QVERIFY(!printWindow(m_window.get(), boxes, none));
        } else if (away.startsWith(u"message")) {
            boxes.inform(u"Tolvenar"_s);
        } else if (away.endsWith(u"of the program")) {
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

    // clang-format off
    void faults_data()
    {
        QTest::addColumn<QStringList>("changes"); // NAME=TEXT of a box, NAME=off an option, NAME=INDEX a type
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // afterwards; F5 is pressed in model A holding 30210j
        const auto row = [](const char *name, const char *change, const QString &message, const char *focus) {
            QTest::newRow(name) << QString::fromLatin1(change).split(u',') << message << QString::fromLatin1(focus);
        };
        row("empty shaft number", "txtParameter_0=", u"编号不能为空字符串  "_s, "txtParameter_0");
        row("n left at 0", "txtParameter_2=0", u"P, n, L, L1, d1, Cr等不能为零  "_s, "txtParameter_2");
        row("gear 2 helix without direction", "optGear2_1=off", u"选择轴向力方向   "_s, "optGear2_0");
        row("model B empty", "txtBearingB_0=", u"轴承型号不能为空字符串  "_s, "txtBearingB_0");
        row("weight 40000 kg, unticked", "txtWeight=40000", u"数值溢出  "_s, "txtBearingA_0");
        row("B cylindrical under tapered A: Y1B empty", "cboTypeB=3", u"除数为零  "_s, "txtBearingA_0");
    }
    // clang-format on
    void faults()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        typeWorkedExample(false, "30210j");
        for (const QString &change : changes) {
            const QString target = change.section(u'=', 0, 0), value = change.section(u'=', 1);
            if (auto *o = m_window->findChild<QRadioButton *>(target))
                o->setChecked(false);
            else if (auto *c = m_window->findChild<QComboBox *>(target))
                c->setCurrentIndex(value.toInt());
            else
                get(target)->setText(value);
        }
        activateMain();
        box("txtBearingA_0")->setFocus();
        QTest::keyClick(m_window.get(), Qt::Key_F5);
        QCOMPARE(m_prompter.texts(), QStringList { message });
        QVERIFY(Fixture::isFailureBox(m_prompter.shown.first()));
        QCOMPARE(caption("lblResultA") + saveCommands(), u"A轴承00000"_s);
        // The focus goes where the user has to act; no field is edited on the way.
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(box("txtBearingA_0")->text(), u"30210j"_s);
        // A later move between fields upper-cases as ever.
        box("txtBearingA_0")->setFocus();
        QTest::keyClick(box("txtBearingA_0"), Qt::Key_Tab);
        QCOMPARE(box("txtBearingA_0")->text(), u"30210J"_s);
    }

    // A stopped run keeps the captions and command states; the fields gathered before the fault
    // take their new values, the later ones keep theirs.
    void stoppedRunKeepsCaptions()
    {
        typeWorkedExample(true);
        box("txtParameter_2")->setText(u"1500"_s);
        box("txtParameter_3")->setText(u"40000"_s);
        box("txtGear_0")->setText(u"81"_s);
        m_window->cmdCompute_Click();
        QCOMPARE(m_prompter.texts(), QStringList { u"数值溢出  "_s });
        QCOMPARE(caption("lblResultA") + saveCommands(), LifeA + u"00111"_s);
        QCOMPARE(m_window->input().n, 1500.0f);
        QCOMPARE(m_window->input().L1, std::int16_t(80));
    }

    // Compute, save under a number, Clear, type the number in lower case and press Enter: every
    // field, option and type comes back, and computes to the same lives. A number in use is
    // replaced only on 是; the number is selected for retyping.
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
        box("txtParameter_0")->setText(u"WX-1"_s);
        get<QCheckBox>(u"chkWeight"_s)->setChecked(true);
        box("txtWeight")->setText(u"12"_s);
        m_window->cmdCompute_Click();
        get<QPushButton>(u"cmdSaveParameter"_s)->click();
        QCOMPARE(m_prompter.texts(), QStringList { u"参数已保存,快用工具\\数据管理器完善. "_s });
        QCOMPARE(QFile(RecordFiles::gearPath()).size(), 116);
        QCOMPARE(QFile(RecordFiles::bearingPath()).size(), 48);
        const QStringList saved = fields();

        m_window->cmdClear_Click();
        box("txtParameter_0")->setText(u"wx-1"_s); // looked up in upper case
        QTest::keyClick(box("txtParameter_0"), Qt::Key_Return);
        // B's Y2 comes back as "0" in its switched-off box: B's type was already set by A's rule,
        // so selecting it again runs no rule.
        QCOMPARE(fields(),
            QStringList(saved).replaceInStrings(u"txtBearingB_3 off"_s, u"txtBearingB_3 off0"_s));
        m_window->cmdCompute_Click();
        QCOMPARE(caption("lblResultA"), LifeA);

        box("txtParameter_1")->setText(u"40"_s);
        m_prompter.clear();
        m_prompter.answers = { Prompter::No };
        m_window->saveParameters();
        QCOMPARE(m_prompter.texts(), QStringList { u"编号 WX-1 已经用过。是否替换？"_s });
        QCOMPARE(box("txtParameter_0")->selectedText(), u"WX-1"_s); // for retyping
        QCOMPARE(QFile(RecordFiles::gearPath()).size(), 116);
    }

    // The program's windows: each opened by its command, one copy each, every one a named window
    // on the screen with named controls; the schematic redrawn on every activation of the main
    // window; the exit command closes them all, and the help window goes with the main window.
    void programWindows()
    {
        m_window.reset();
        QPointer<HelpWindow> help;
        {
            ProgramWindows windows(m_prompter);
            frmMain &main = windows.main();
            windows.showMain();
            auto *picA = qobject_cast<QLabel *>(main.drawingArea());
            QWidget other;
            other.show();
            QList<QWidget *> first;
            const char *const commands[2][4] = { { "cmdView", "Ctrl+E", "mnuToolsCombiner", "F1" },
                { "mnuView", "Ctrl+E", "mnuToolsCombiner", "mnuExplain" } };
            for (int pass = 0; pass < 2; ++pass) {
                for (const char *command : commands[pass]) {
                    QVERIFY2(activate(&other), command);
                    picA->setPicture(QPicture());
                    QVERIFY(activate(&main));
                    QVERIFY2(!picA->picture().isNull(), command); // redrawn on activation
                    const QString c = QString::fromLatin1(command);
                    if (auto *button = main.findChild<QPushButton *>(c))
                        button->click();
                    else if (auto *action = main.findChild<QAction *>(c))
                        action->trigger();
                    else
                        QTest::keyClick(&main, c == u"F1" ? Qt::Key_F1 : Qt::Key_E,
                            c == u"F1" ? Qt::NoModifier : Qt::ControlModifier);
                }
                const QList<QWidget *> open { main.findChild<frmView *>(),
                    main.findChild<frmEditer *>(), main.findChild<frmCombiner *>(),
                    HelpWindow::current() };
                for (QWidget *w : open)
                    QVERIFY(w && w->isVisible());
                if (pass == 0)
                    first = open;
                QCOMPARE(open, first);
                for (QWidget *w : open)
                    w->setVisible(pass == 1); // the second pass shows the same copies again
            }
            help = HelpWindow::current();
            QCOMPARE(help->browser()->source(), HelpWindow::HomePage);
            QVERIFY(help->browser()->toPlainText().contains(u"Tolvenar 帮助"_s));

            // Each a window to screen readers, named by its title, on the screen; every control
            // that takes the focus named, by its caption or the label beside it.
            const QRect screen = main.screen()->availableGeometry();
            QList<QWidget *> all = first;
            all << &main;
            QStringList faults;
            for (QWidget *top : all) {
                if (QAccessible::queryAccessibleInterface(top)->role() != QAccessible::Window
                    || accessibleName(top) != top->windowTitle()
                    || !screen.contains(top->frameGeometry()))
                    faults << top->objectName();
                for (QWidget *w : top->findChildren<QWidget *>())
                    if (w->window() == top && w->focusPolicy() != Qt::NoFocus && !w->focusProxy()
                        && accessibleName(w).trimmed().isEmpty())
                        faults << top->objectName() + u'/' + w->objectName();
            }
            QCOMPARE(faults.join(u';'), QString());
            auto *target
                = main.findChild<frmCombiner *>()->findChild<QLineEdit *>(u"txtDestination"_s);
            QCOMPARE(accessibleName(
                         main.findChild<frmEditer *>()->findChild<QWidget *>(u"txtBearing_0"_s))
                    + u'/'
                    + accessibleName(
                        main.findChild<frmEditer *>()->findChild<QWidget *>(u"cboBearing"_s))
                    + u'/' + accessibleName(target),
                u"型号/类型/目标文件"_s);
            QVERIFY(!QAccessible::queryAccessibleInterface(picA)
                         ->text(QAccessible::Description)
                         .isEmpty());
            // The merger's target shows its end, the file name; the whole path is its tooltip.
            QCOMPARE(target->toolTip(), QDir::toNativeSeparators(RecordFiles::bearingPath()));
            QCOMPARE(target->cursorPosition(), target->text().size());

            main.findChild<QPushButton *>(u"cmdExit"_s)->click();
            for (QWidget *w : all) // not yet deleted: no events were processed
                QVERIFY(!w || !w->isVisible());
            QVERIFY(m_prompter.shown.isEmpty()); // closed without asking
        }
        QVERIFY(!help); // owned by the main window
    }

    // Screen readers walk a combo box into its list and, when it is editable, its text.
    void comboBoxChildren()
    {
        frmEditer editer(m_prompter);
        auto *typed = editer.findChild<QComboBox *>(u"cboBearing"_s);
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
        QCOMPARE(typeA->text(QAccessible::Value), u"调心滚子轴承"_s);
    }

    // clang-format off
    void openingPlace_data()
    {
        // A screen of 1280 x 1024 with a panel of 30 pixels at the top.
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("over"); // the main window's frame
        QTest::addColumn<QRect>("placed");
        QTest::newRow("room: centred over the main window") << QRect(0, 0, 400, 300) << QRect(100, 100, 660, 540) << QRect(230, 220, 400, 300);
        QTest::newRow("off the right: moved left") << QRect(0, 0, 400, 300) << QRect(1000, 100, 600, 400) << QRect(880, 150, 400, 300);
        QTest::newRow("off the bottom: moved up") << QRect(0, 0, 655, 490) << QRect(300, 700, 660, 540) << QRect(302, 534, 655, 490);
        QTest::newRow("above the panel: moved down") << QRect(0, 0, 400, 300) << QRect(0, 0, 400, 100) << QRect(0, 30, 400, 300);
        QTest::newRow("larger than the screen: shrunk") << QRect(0, 0, 1400, 1100) << QRect(100, 100, 660, 540) << QRect(0, 30, 1280, 994);
        QTest::newRow("no main window: centred on the screen") << QRect(0, 0, 680, 494) << QRect() << QRect(300, 280, 680, 494);
    }
    // clang-format on
    void openingPlace()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, over);
        QFETCH(QRect, placed);
        QCOMPARE(WindowLayer::openingFrame(frame, over, QRect(0, 30, 1280, 994)), placed);
        if (!QByteArray(QTest::currentDataTag()).startsWith("larger"))
            return;
        // A window larger than the screen is shrunk to it when it may be resized; a fixed one
        // keeps its size with its top-left corner on the screen.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget resizable, fixed;
        resizable.resize(screen.size() + QSize(300, 200));
        fixed.setFixedSize(screen.size() + QSize(300, 200));
        WindowLayer::placeWindow(&resizable, nullptr);
        WindowLayer::placeWindow(&fixed, nullptr);
        QCOMPARE(resizable.geometry(), screen);
        QCOMPARE(fixed.geometry(), QRect(screen.topLeft(), screen.size() + QSize(300, 200)));
    }

    // The fixed sketch: 20 lines, then 7 labels, in the foreground colour; nothing filled or
    // cleared. In an area of 390 x 280 one device unit is 10 user units: x = (xu + 500) / 10,
    // y = (1200 - yu) / 10; another area scales each axis on its own.
    void sketch()
    {
        const QList<Drawn> d = record(QRectF(0, 0, 390, 280));
        QCOMPARE(d.size(), 27);
        QPolygonF ends;
        QString labels;
        for (int i = 0; i < 27; ++i) {
            QCOMPARE(d[i].pen.color(), QColor(10, 20, 30));
            QCOMPARE(d[i].text.isEmpty(), i < 20);
            if (i < 20) {
                ends << d[i].line.p1() << d[i].line.p2();
                QVERIFY(d[i].pen.style() == Qt::SolidLine && d[i].pen.widthF() == 1.0);
            } else {
                labels += d[i].text + u' ';
                QCOMPARE(d[i].font.pointSizeF(), 12.0);
                QCOMPARE(d[i].font.families().value(0), u"SimSun"_s);
            }
        }
        // From support A's base (-80, -200) to B's (2980), from gear 2's top (600) to the
        // extension lines' ends (-1300).
        QCOMPARE(ends.boundingRect(), QRectF(42, 60, 306, 190));
        QCOMPARE(labels, u"A B L1 L2 L 1 2 "_s);
        QCOMPARE(d[0].line, QLineF(50, 120, 340, 120)); // shaft axis (0,0)-(2900,0)
        QCOMPARE(d[7].line, QLineF(130, 80, 130, 160)); // gear 1 (800,400)-(800,-400)
        QCOMPARE(d[17].line, QLineF(50, 210, 130, 210)); // L1 from A: (0,-900)-(800,-900)
        QCOMPARE(d[19].line, QLineF(250, 210, 340, 210)); // L2 from B: (2000,-900)-(2900,-900)
        // A label placed by its baseline stands one ascent below its top edge: "L2" at (2300,-600).
        QVERIFY(QLineF(d[23].line.p1(), QPointF(280, 180)).length() <= 1.0);
        // 195 x 560 at (10, 20): x scale 1/20, y scale 1/5; gear 2 (2000,600)-(2000,-600).
        QCOMPARE(record(QRectF(10, 20, 195, 560)).at(8).line,
            QLineF(10 + 2500 / 20.0, 20 + 600 / 5.0, 10 + 2500 / 20.0, 20 + 1800 / 5.0));
    }

    // clang-format off
    void printing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("pdf"); // the name chosen in the PDF dialog, empty: cancelled
        QTest::addColumn<QString>("number");   // the shaft number the page is named after
        QTest::addColumn<QString>("proposed"); // the name the PDF dialog proposes
        QTest::newRow("Cancel: nothing printed") << int(Prompter::Cancel) << QString() << u"wx-1"_s << QString();
        QTest::newRow("OK, no printer, PDF dialog cancelled, no number") << int(Prompter::Ok) << QString() << u"  "_s << u"Tolvenar.pdf"_s;
        QTest::newRow("OK, no printer, saved as PDF") << int(Prompter::Ok) << u"page"_s << u"wx-1"_s << u"wx-1.pdf"_s;
        QTest::newRow("OK, PDF in a missing folder: reported; / and : in the number, a blank kept")
            << int(Prompter::Ok) << u"no such folder/page.pdf"_s << u" a/b:c d "_s << u"a_b_c d.pdf"_s;
    }
    // clang-format on
    // The worked example printed: the window white and its buttons hidden while the question is
    // asked and the page is made; afterwards every colour, button, the picture and the focus back
    // as they were, whatever the answer.
    void printing()
    {
        QFETCH(int, answer);
        QFETCH(QString, pdf);
        QFETCH(QString, number);
        QFETCH(QString, proposed);
        typeWorkedExample(true);
        activateMain();
        auto *compute = get<QPushButton>(u"cmdCompute"_s);
        compute->setFocus();
        auto *picA = get<QLabel>(u"picA"_s);
        redrawSchematic(picA); // as on activation
        // A box coloured by a style sheet ignores its palette: it must turn white all the same.
        box("txtParameter_0")->setStyleSheet(u"background-color: rgb(192,255,255);"_s);
        const QColor ownColour = picA->palette().color(QPalette::Window);
        const QStringList before = looks(m_window.get());
        const QImage imageBefore = windowImage(m_window.get());
        QTemporaryDir dir;
        const QString file = dir.filePath(pdf.endsWith(u".pdf") ? pdf : pdf + u".pdf"); // added
        WatchingPrompter prompter;
        prompter.answers = { answer };
        if (!pdf.isEmpty())
            prompter.savePaths = { dir.filePath(pdf) };
        bool asked = false;
        prompter.whileAsking = [&] {
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
        QCOMPARE(printWindow(m_window.get(), prompter, options), pdf == u"page");
        QCOMPARE(prompter.proposed, proposed);
        QVERIFY(asked);
        QCOMPARE(prompter.texts().first(), u"确定要打印当前窗口?"_s);
        QCOMPARE(prompter.dialogs.size(), answer == Prompter::Ok ? 1 : 0);
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
        const QByteArray written = Fixture::readFile(file);
        QCOMPARE(written.left(5), pdf == u"page" ? QByteArray("%PDF-") : QByteArray("<miss"));
        const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
        if (pdf != u"page" || pdftotext.isEmpty())
            return;
        // Text and lines: only the style's small frame pieces may be bitmaps, not the window or
        // its schematic.
        auto width = QRegularExpression(QStringLiteral(R"(/Width (\d+))"))
                         .globalMatch(QString::fromLatin1(written));
        while (width.hasNext())
            QVERIFY(width.next().captured(1).toInt() < 200);
        // Where each word ends, as fractions of the page. Unscaled, the window (639 pixels at
        // 96 dpi) would fill about 80 % of an A4 page's width: the right-hand captions end beyond
        // that only when the window fills the printable width. It is 472 / 639 as high as wide,
        // so it ends about half way down. Searched or copied, characters whose glyph the fonts
        // share with a radical stay ideographs (自 not ⾃, 齿 not ⻮, 小 not ⼩). Right 0: absent.
        QProcess words;
        words.start(pdftotext, { u"-bbox"_s, file, u"-"_s });
        QVERIFY(words.waitForFinished(30000));
        const QString html = QString::fromUtf8(words.readAllStandardOutput());
        const auto size
            = QRegularExpression(QStringLiteral(R"x(<page width="([\d.]+)" height="([\d.]+)")x"))
                  .match(html);
        QVERIFY(size.hasMatch());
        QHash<QString, QPointF> ends;
        auto it = QRegularExpression(
            QStringLiteral(R"x(xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)x"))
                      .globalMatch(html);
        while (it.hasNext()) {
            const QRegularExpressionMatch w = it.next();
            ends[w.captured(3)] = QPointF(w.captured(1).toDouble() / size.captured(1).toDouble(),
                w.captured(2).toDouble() / size.captured(2).toDouble());
        }
        // clang-format off
        const struct { const char16_t *text; double right, low; } onPage[] = { { u"A轴承:658.7", 0.8, 0.2 },
            { u"B轴承:696.2", 0.8, 0.25 }, { u"背对背安装", 0.85, 0.1 }, { u"G=", 0.2, 0.55 }, { u"考虑轴向自重影响", 0.2, 0.55 },
            { u"齿轮参数", 0.05, 0.3 }, { u"万小时", 0.9, 0.25 }, { u"L1", 0.05, 0.35 }, { u"计", 0, 0 }, { u"保存结果", 0, 0 } };
        // clang-format on
        for (const auto &[text, right, low] : onPage) {
            const QPointF end = ends.value(QString::fromUtf16(text));
            QVERIFY2(right == 0 ? end.isNull() : end.x() >= right && end.y() <= low,
                qPrintable(
                    QString::fromUtf16(text) + u" ends at %1, %2"_s.arg(end.x()).arg(end.y())));
        }
    }

    // A second start says so and ends; the copy already running is not affected.
    void secondCopyIsRefused()
    {
        QTemporaryDir dir, other;
        const QString path = dir.filePath(u"tolvenar.lock"_s);
        const QString otherPath = other.filePath(u"tolvenar.lock"_s);
        ScriptedPrompter prompter;
        QVERIFY(acquireSingleInstance(prompter, path));
        QVERIFY(acquireSingleInstance(prompter, path)); // the same process asks only once
        QVERIFY(prompter.shown.isEmpty() && !SingleInstanceGuard(path).tryAcquire());
        {
            SingleInstanceGuard first(otherPath);
            QVERIFY(first.tryAcquire());
            QFile lock(otherPath); // long after the start the running copy still counts
            QVERIFY(lock.open(QIODevice::ReadWrite));
            QVERIFY(lock.setFileTime(
                QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
            lock.close();
            QVERIFY(!acquireSingleInstance(prompter, otherPath));
            QCOMPARE(prompter.texts(), QStringList { u"已有一个程序实例运行"_s });
            // The platform's default title, no icon.
            QVERIFY(prompter.shown[0].title.isEmpty()
                && prompter.shown[0].icon == Prompter::Icon::None);
            QVERIFY(first.isHeld());
        }
        QVERIFY(SingleInstanceGuard(otherPath).tryAcquire()); // freed with the guard
        releaseSingleInstance(); // the lock file goes before its folder does
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
