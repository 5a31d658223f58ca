// The main window: its controls, start-up state and Clear, the type and mounting rules, the
// invalidation table, the compute command with its faults, the record commands end to end; and its
// companions: start-up, the program's window set, the shaft schematic, printing the window with
// everything restored, window placement.

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
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

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

// Runs a check while the print question or the save dialog is shown.
class WatchingPrompter : public ScriptedPrompter
{
public:
    std::function<void()> whilePrompted;
    QString proposed; // the file name the save dialog proposed
    int message(const QString &text, const QString &title, int buttons, Icon icon, int def) override
    {
        if (buttons == (Ok | Cancel))
            whilePrompted();
        return ScriptedPrompter::message(text, title, buttons, icon, def);
    }
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override
    {
        whilePrompted();
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
        doSteps(u"press:optGear1_0;press:optGear2_1"_s);
        box("txtBearingA_0")->setText(QString::fromLatin1(modelA));
        if (compute)
            m_window->cmdCompute_Click();
    }
    // Steps separated by ";": "type:NAME:TEXT" typed, "set:NAME:TEXT" by the program,
    // "press:NAME" Space on an option or check box, "off:NAME" an option cleared, "pick:NAME:INDEX"
    // a type, "leave:NAME" Tab on to the next control, "compute" the compute command, "f5" F5.
    void doSteps(const QString &steps)
    {
        for (const QString &step : steps.split(u';')) {
            const QStringList part = step.split(u':');
            if (part[0] == u"type")
                QTest::keyClicks(get(part[1]), part[2]);
            else if (part[0] == u"set")
                get(part[1])->setText(part[2]);
            else if (part[0] == u"press")
                QTest::keyClick(get<QAbstractButton>(part[1]), Qt::Key_Space);
            else if (part[0] == u"off")
                get<QAbstractButton>(part[1])->setChecked(false);
            else if (part[0] == u"compute")
                m_window->cmdCompute_Click();
            else if (part[0] == u"f5") { // pressed in model A
                activateMain();
                box("txtBearingA_0")->setFocus();
                QTest::keyClick(m_window.get(), Qt::Key_F5);
            } else if (part[0] == u"pick")
                get<QComboBox>(part[1])->setCurrentIndex(part[2].toInt());
            else {
                activateMain();
                get(part[1])->setFocus();
                QTest::keyClick(get(part[1]), Qt::Key_Tab);
                QVERIFY(!get(part[1])->hasFocus());
            }
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
        // "key=value|...": text (caption or title), tip, max (characters a box takes), base (a
        // box's colour), hl (1: highlight colour), key (shortcut), face (an empty text field's),
        // name (for screen readers), px (font size in pixels: 11.25 pt is 15, 12 pt 16).
        QTest::addColumn<QString>("props");
        const auto row = [](const char *name, const char *props) { QTest::newRow(name) << QString::fromUtf8(props); };
        row("frmMain", "text=Tolvenar");
        row("MnuOperation", "text=操 作(&O)");
        row("txtParameter_0", "tip=填完回车自动查找|max=15|base=#c0ffff");
        row("txtParameter_1", "tip=功率不同时P1/P2|base=#c0ffc0");
        row("txtGear_1", "name=d1");
        row("txtGear_5", "name=d2");
        row("txtBearingA_0", "tip=例如SKF23052|max=12|base=#c0ffff");
        row("txtBearingA_2", "tip=NSK:Y3=Y1");
        row("txtBearingB_4", "base=#c0ffc0");
        row("cboTypeA", "tip=在列表中选择|face=1|name=A 轴承类型");
        row("Frame1_1", "text=2轮轴向力|name=2轮轴向力");
        row("chkWeight", "text=考虑轴向自重影响 G=|tip=默认A端朝下");
        row("txtWeight", "tip=单位:Kg|face=1");
        row("lblParameter_1", "text=功率(P)|hl=1");
        row("lblParameter_2", "hl=1|px=15");
        row("lblParameter_7", "text=rpm|px=16");
        row("lblParameter_5", "text=夹角(a)|hl=0");
        row("lblGear_0", "text=L1|hl=1");
        row("lblGear_7", "text=L2|hl=0");
        row("lblBearingA_4", "text=Cr|hl=1");
        row("fraResult", "text=计算结果|hl=1");
        row("cmdView", "text=查  找");
        row("cmdCompute", "text=计  算");
        row("cmdSaveResult", "text=保存结果");
        row("cmdSaveParameter", "text=保存参数");
        row("cmdClear", "text=清  除");
        row("cmdExit", "text=退 出>>");
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
        const QPalette app = QApplication::palette();
        for (const QString &prop : props.split(u'|')) {
            const QString key = prop.section(u'=', 0, 0), value = prop.section(u'=', 1);
            if (key == u"text")
                QCOMPARE(text(o), value);
            else if (key == u"tip")
                QCOMPARE(w->toolTip(), value);
            else if (key == u"base")
                QCOMPARE(w->palette().color(QPalette::Base).name(), value);
            else if (key == u"hl")
                QCOMPARE(w->palette().color(QPalette::WindowText)
                        == app.color(QPalette::Active, QPalette::Highlight),
                    value == u"1");
            else if (key == u"name") // what screen readers call it
                QCOMPARE(accessibleName(w), value);
            else if (key == u"px")
                QCOMPARE(w->font().pixelSize(), value.toInt());
            else if (key == u"key")
                QCOMPARE(qobject_cast<QAction *>(o)->shortcut().toString(), value);
            else if (key == u"max") { // typed: the box refuses what goes beyond
                QTest::keyClicks(w, u"ABCDEFGHIJKLMNOPQRST"_s);
                QCOMPARE(text(w), u"ABCDEFGHIJKLMNOPQRST"_s.left(value.toInt()));
            } else { // the face of an empty text field, not the window's grey, also switched off
                const QImage face = w->grab().toImage();
                const QColor c = face.pixelColor(face.width() - 24, face.height() / 2);
                const QColor base = app.color(QPalette::Base);
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
        QWidget *first = QApplication::focusWidget(), *w = first;
        QStringList order;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
                order << w->objectName()
                             .replace(u"txtParameter_"_s, u"P"_s)
                             .replace(u"txtGear_"_s, u"G"_s)
                             .replace(u"txtBearing"_s, QString());
            w = w->nextInFocusChain();
        } while (w != first);
        QCOMPARE(order.join(u' '),
            u"cmdView P0 P1 P2 P3 P4 G0 G1 G2 G3 G4 G5 G6 G7 A_0 cboTypeA A_1 A_2 A_3 A_4 B_0 "
            "cboTypeB B_1 B_2 B_3 B_4 cmdCompute cmdSaveResult cmdSaveParameter cmdClear cmdExit "
            "chkWeight txtWeight optAssembleA optAssembleB optGear1_0 optGear1_1 optGear2_1 optGear2_0"_s);
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
        doSteps(u"f5"_s);
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
        QCOMPARE(QGuiApplication::clipboard()->text() + life->selectedText(), LifeA + LifeA);
        QTest::keyClicks(box("txtBearingA_4"), u"1"_s);
        QCOMPARE(saveCommands(), u"00111"_s);
        for (const char *a : { "mnuSaveResult", "mnuSaveParameter", "Test" })
            get<QAction>(QString::fromLatin1(a))->trigger();
        QCOMPARE(m_prompter.dialogs.size(), 2); // both report dialogs, cancelled
        QCOMPARE(m_prompter.texts(), QStringList { u"参数已保存,快用工具\\数据管理器完善. "_s });

        doSteps(u"press:chkWeight;type:txtWeight:25;pick:cboTypeA:2;set:txtGear_7:25"_s);
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
        auto *a = get<QRadioButton>(u"optAssembleA"_s), *b = get<QRadioButton>(u"optAssembleB"_s);
        QString s = u"%1 %2/%3 %4%5 "_s.arg(combo("cboTypeB")->currentIndex())
                        .arg(a->text(), b->text())
                        .arg(a->isChecked())
                        .arg(b->isChecked());
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
        QTest::addColumn<QString>("steps"); // see doSteps
        QTest::addColumn<QString>("buttons"); // cmdSaveResult, cmdSaveParameter afterwards
        // Afterwards, ";"-separated "NAME=TEXT": a box's or caption's text, "focus" the control
        // holding the focus, "message" the failure box shown (none if not named).
        QTest::addColumn<QString>("check");
        const auto row = [](const QString &name, const QString &step, const char *buttons, const char *check = "") {
            QTest::newRow(qPrintable(name)) << step << QString::fromLatin1(buttons) << QString::fromUtf8(check);
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
                row(u"txtBearing%1(%2) set"_s.arg(QLatin1String(side)).arg(i), u"set:txtBearing%1_%2:5"_s.arg(QLatin1String(side)).arg(i), "00");
        row(u"optAssembleB chosen"_s, u"press:optAssembleB"_s, "00");
        row(u"optAssembleA pressed again"_s, u"press:optAssembleA"_s, "11");
        row(u"optGear1(1) chosen"_s, u"press:optGear1_1"_s, "00");
        row(u"optGear2(0) chosen"_s, u"press:optGear2_0"_s, "00");
        row(u"chkWeight ticked"_s, u"press:chkWeight"_s, "00");
        row(u"weight set"_s, u"set:txtWeight:12"_s, "11");
        row(u"chkWeight unticked keeps the weight, switched off"_s, u"press:chkWeight;set:txtWeight:12;press:chkWeight"_s, "00", "txtWeight=12");
        row(u"cboTypeB 1 to 2 empties nothing"_s, u"pick:cboTypeB:2"_s, "11");
        row(u"cboTypeA 1 to 4 empties B's e"_s, u"pick:cboTypeA:4"_s, "00", "txtBearingB_1=");
        row(u"leave shaft number: upper case"_s, u"leave:txtParameter_0"_s, "11", "txtParameter_0=WX-1");
        row(u"leave model A in lower case"_s, u"leave:txtBearingA_0"_s, "00", "txtBearingA_0=30210J");
        row(u"leave model B in upper case"_s, u"leave:txtBearingB_0"_s, "11", "txtBearingB_0=30210");
        row(u"leave model B in lower case"_s, u"set:txtBearingB_0:30210k;leave:txtBearingB_0"_s, "00", "txtBearingB_0=30210K");
        // A stopped run shows why, puts the focus where the user has to act, edits no field and
        // keeps the captions of the last computation; a later move upper-cases as ever.
        row(u"F5, n left at 0"_s, u"set:txtParameter_2:0;f5"_s, "00", "message=P, n, L, L1, d1, Cr等不能为零  ;focus=txtParameter_2;txtBearingA_0=30210j");
        row(u"F5, gear 2 helix without direction"_s, u"off:optGear2_1;f5"_s, "11", "message=选择轴向力方向   ;focus=optGear2_0");
        row(u"F5, weight 40000 kg, unticked"_s, u"set:txtWeight:40000;f5"_s, "11", "message=数值溢出  ;focus=txtBearingA_0");
        row(u"F5, B cylindrical under tapered A: Y1B emptied"_s, u"pick:cboTypeB:3;f5"_s, "00", "message=除数为零  ;focus=txtBearingA_0");
        row(u"F5, span 40000"_s, u"set:txtParameter_3:40000;f5;leave:txtBearingA_0"_s, "00",
            "message=数值溢出  ;lblResultA=A轴承:658.7 万小时;txtBearingA_0=30210J");
    }
    // clang-format on
    void invalidation()
    {
        QFETCH(QString, steps);
        QFETCH(QString, buttons);
        QFETCH(QString, check);
        typeWorkedExample(true, "30210j");
        QCOMPARE(saveCommands(), u"11111"_s);
        doSteps(steps);
        if (QTest::currentTestFailed())
            return;
        // The menu entries keep the state of the last computation.
        QCOMPARE(saveCommands(), buttons + u"111"_s);
        QString message;
        for (const QString &c : check.split(u';', Qt::SkipEmptyParts)) {
            const QString name = c.section(u'=', 0, 0), value = c.section(u'=', 1);
            if (name == u"message")
                message = value;
            else
                QCOMPARE(name == u"focus" ? QApplication::focusWidget()->objectName()
                                          : text(get<QObject>(name)),
                    value);
        }
        QCOMPARE(m_prompter.texts().join(u'|'), message);
        for (const ScriptedPrompter::Shown &shown : m_prompter.shown)
            QVERIFY(Fixture::isFailureBox(shown));
        if (steps.contains(u"txtWeight"))
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

    // Compute, save under a number, Clear, type the number in lower case and press Enter: every
    // field, option and type comes back, and computes to the same lives. A number in use is
    // replaced only on 是; the number is selected for retyping. Enter in the model boxes recalls
    // the catalogue's factors.
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
        doSteps(u"set:txtParameter_0:WX-1;press:chkWeight;set:txtWeight:12"_s);
        m_window->cmdCompute_Click();
        get<QPushButton>(u"cmdSaveParameter"_s)->click();
        QCOMPARE(m_prompter.texts(), QStringList { u"参数已保存,快用工具\\数据管理器完善. "_s });
        QCOMPARE(QFile(RecordFiles::gearPath()).size() + QFile(RecordFiles::bearingPath()).size(),
            116 + 48);
        const QStringList saved = fields();

        m_window->cmdClear_Click();
        box("txtParameter_0")->setText(u"wx-1"_s); // looked up in upper case
        QSignalSpy reachedBox(box("txtParameter_0"), &QLineEdit::returnPressed);
        QTest::keyClick(box("txtParameter_0"), Qt::Key_Return);
        QCOMPARE(reachedBox.count(), 0); // the key is swallowed
        // B's Y2 comes back as "0" in its switched-off box: B's type was already set by A's rule,
        // so selecting it again runs no rule.
        QCOMPARE(fields(),
            QStringList(saved).replaceInStrings(u"txtBearingB_3 off"_s, u"txtBearingB_3 off0"_s));
        m_window->cmdCompute_Click();
        QCOMPARE(caption("lblResultA"), LifeA);

        doSteps(u"set:txtBearingA_1:;set:txtBearingB_0:30210;set:txtBearingB_2:"_s);
        QTest::keyClick(box("txtBearingA_0"), Qt::Key_Enter);
        QTest::keyClick(box("txtBearingB_0"), Qt::Key_Return); // equal models: A's texts copied
        QCOMPARE(box("txtBearingA_1")->text() + u'/' + box("txtBearingB_2")->text(), u"0.37/1.6"_s);

        box("txtParameter_1")->setText(u"40"_s);
        m_prompter.clear();
        m_prompter.answers = { Prompter::No };
        get<QPushButton>(u"cmdSaveParameter"_s)->setEnabled(true);
        get<QPushButton>(u"cmdSaveParameter"_s)->click();
        QCOMPARE(m_prompter.texts(), QStringList { u"编号 WX-1 已经用过。是否替换？"_s });
        QCOMPARE(box("txtParameter_0")->selectedText(), u"WX-1"_s); // for retyping
        QCOMPARE(QFile(RecordFiles::gearPath()).size(), 116);
    }

    // Start-up: a second copy says so (no icon, the platform's title) and ends before any window
    // opens, however old the running copy's lock file; the lock goes with its guard, and the
    // program's own copy asks only once.
    void startUp()
    {
        m_window.reset();
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tolvenar.lock"_s);
        QTranslator qtTexts;
        {
            SingleInstanceGuard running(path);
            QVERIFY(running.tryAcquire());
            QFile lock(path);
            QVERIFY(lock.open(QIODevice::ReadWrite)
                && lock.setFileTime(
                    QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
            lock.close();
            QVERIFY(!startProgram(m_prompter, qtTexts, path));
            QCOMPARE(m_prompter.texts(), QStringList { u"已有一个程序实例运行"_s });
            QVERIFY(m_prompter.shown[0].title.isEmpty()
                && m_prompter.shown[0].icon == Prompter::Icon::None);
            for (QWidget *w : QApplication::topLevelWidgets())
                QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        }
        const std::unique_ptr<ProgramWindows> windows = startProgram(m_prompter, qtTexts, path);
        QVERIFY(windows && windows->main().isVisible());
        QVERIFY(acquireSingleInstance(m_prompter, path) && !SingleInstanceGuard(path).tryAcquire());
        QCOMPARE(m_prompter.shown.size(), 1);
        releaseSingleInstance(); // the lock file goes before its folder does
        QVERIFY(!QFile::exists(path));
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
            QVERIFY(!QAccessible::queryAccessibleInterface(picA)
                         ->text(QAccessible::Description)
                         .isEmpty());

            main.findChild<QPushButton *>(u"cmdExit"_s)->click();
            for (QWidget *w : all) // not yet deleted: no events were processed
                QVERIFY(!w || !w->isVisible());
            QVERIFY(m_prompter.shown.isEmpty()); // closed without asking
        }
        QVERIFY(!help); // owned by the main window
    }

    // To screen readers an option button is a radio button that pressing selects; a type list
    // holds its list, an editable one (the data manager's) also its text, which has the focus.
    void accessibleRoles()
    {
        frmEditer editer(m_prompter);
        auto *typed = editer.findChild<QComboBox *>(u"cboBearing"_s);
        QAccessibleInterface *e = QAccessible::queryAccessibleInterface(typed);
        QCOMPARE(QList<QObject *>(
                     { e->child(0)->object(), e->child(1)->object(), e->focusChild()->object() }),
            QList<QObject *>({ typed->view(), typed->lineEdit(), typed->lineEdit() }));
        QCOMPARE(QList<int>({ e->childCount(), e->indexOfChild(e->child(1)), e->indexOfChild(e) }),
            QList<int>({ 2, 1, -1 }));
        QAccessibleInterface *typeA = QAccessible::queryAccessibleInterface(combo("cboTypeA"));
        QVERIFY(typeA->childCount() == 1 && !typeA->child(1) && !typeA->focusChild());
        QAccessibleInterface *o
            = QAccessible::queryAccessibleInterface(get<QRadioButton>(u"optGear1_1"_s));
        QCOMPARE(o->role(), QAccessible::RadioButton);
        QCOMPARE(o->text(QAccessible::Name), u"右"_s);
        o->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(o->state().checkable && o->state().checked);
        QCOMPARE(QAccessible::queryAccessibleInterface(combo("cboTypeA"))->text(QAccessible::Value),
            u"调心滚子轴承"_s);
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

    // The fixed sketch in the foreground colour, nothing filled: in an area of 390 x 280 one pixel
    // is 10 user units, x = (xu + 500) / 10, y = (1200 - yu) / 10. With labels one pixel high the
    // drawing spans from support A's base (-80, -200) to B's (2980), from label 2's top (900) to
    // the extension lines' ends (-1300); another area scales each axis on its own (1/20, 1/5).
    // After the extent, the colour on gear 1 (800, 0 ... 400) or on gear 2 (2000, -600 ... 600).
    void sketch()
    {
        QFont tiny = Schematic::font();
        tiny.setPixelSize(1);
        QStringList seen;
        for (const QRect area : { QRect(0, 0, 390, 280), QRect(10, 20, 195, 560) }) {
            QImage image(400, 600, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            DrawShaftSchematic(painter, area, QColor(10, 20, 30), tiny);
            painter.end();
            QRect drawn;
            for (int i = 0; i < 400 * 600; ++i)
                if (image.pixelColor(i % 400, i / 400) != Qt::white)
                    drawn |= QRect(i % 400, i / 400, 1, 1);
            const QPoint gear = area.width() == 390 ? QPoint(130, 100) : QPoint(135, 200);
            seen << u"%1,%2 %3x%4 "_s.arg(drawn.x())
                        .arg(drawn.y())
                        .arg(drawn.width())
                        .arg(drawn.height())
                    + image.pixelColor(gear).name();
        }
        QCOMPARE(seen.join(u'|'), u"42,30 307x221 #0a141e|31,80 154x441 #0a141e"_s);
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
    // asked and the page is made; afterwards it looks as before and the focus is back, whatever the
    // answer. Without a printer the page goes to a PDF file, drawn as text and lines.
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
        const QImage before = windowImage(m_window.get());
        QTemporaryDir dir;
        const QString file = dir.filePath(pdf.endsWith(u".pdf") ? pdf : pdf + u".pdf"); // added
        WatchingPrompter prompter;
        prompter.answers = { answer };
        if (!pdf.isEmpty())
            prompter.savePaths = { dir.filePath(pdf) };
        int prompted = 0;
        prompter.whilePrompted = [&] {
            ++prompted;
            const QImage page = windowImage(m_window.get());
            for (QWidget *w :
                QList<QWidget *> { picA, box("txtParameter_0"), box("txtBearingA_0"), compute })
                QVERIFY2(inside(page, m_window.get(), w) == QColor(Qt::white),
                    qPrintable(w->objectName()));
        };
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
        QCOMPARE(prompted, answer == Prompter::Ok ? 2 : 1);
        QCOMPARE(prompter.texts().first(), u"确定要打印当前窗口?"_s);
        QCOMPARE(prompter.shown.size(), pdf.contains(u'/') ? 2 : 1);
        if (pdf.contains(u'/')) // the failure box names the file
            QVERIFY(Fixture::isFailureBox(prompter.shown.at(1))
                && prompter.shown.at(1).text.startsWith(dir.filePath(pdf)));
        QCOMPARE(redrawn, (QList<QColor> { Qt::white, ownColour }));
        QVERIFY(windowImage(m_window.get()) == before);
        QCOMPARE(QApplication::focusWidget(), compute);
        const QByteArray written = Fixture::readFile(file);
        QCOMPARE(written.left(5), pdf == u"page" ? QByteArray("%PDF-") : QByteArray("<miss"));
        const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
        if (pdf != u"page" || pdftotext.isEmpty())
            return;
        // Only the style's small frame pieces may be bitmaps, not the window or its schematic.
        auto width
            = QRegularExpression(u"/Width (\\d+)"_s).globalMatch(QString::fromLatin1(written));
        while (width.hasNext())
            QVERIFY(width.next().captured(1).toInt() < 200);
        // The text searchable, with ideographs (not radicals), and as wide as the printable area:
        // unscaled, the window would fill about 80 % of an A4 page's width. No button is printed.
        QProcess words;
        words.start(pdftotext, { u"-bbox"_s, file, u"-"_s });
        QVERIFY(words.waitForFinished(30000));
        const QString html = QString::fromUtf8(words.readAllStandardOutput());
        const double pageWidth
            = QRegularExpression(u"<page width=\"([\\d.]+)\""_s).match(html).captured(1).toDouble();
        const auto end = [&](const QString &word) {
            const auto m = QRegularExpression(
                u"xMax=\"([\\d.]+)\"[^>]*>"_s + QRegularExpression::escape(word) + u"</word>"_s)
                               .match(html);
            return m.hasMatch() ? m.captured(1).toDouble() / pageWidth : 0.0;
        };
        QVERIFY(end(u"A轴承:658.7"_s) >= 0.8 && end(u"背对背安装"_s) >= 0.85
            && end(u"考虑轴向自重影响"_s) >= 0.2);
        QVERIFY(end(u"万小时"_s) >= 0.9 && end(u"齿轮参数"_s) > 0 && end(u"保存结果"_s) == 0);
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
