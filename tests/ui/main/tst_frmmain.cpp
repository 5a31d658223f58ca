// The main window end to end, start-up, the window set, placement, printing, help and About.

#include "support/windows.h"
#include "support/workedexample.h"
#include "ui/common/windowlayer.h"
#include "ui/main/aboutdialog.h"
#include "ui/main/helpwindow.h"
#include "ui/main/programwindows.h"
#include "ui/main/qttranslation.h"
#include "ui/main/schematic.h"
#include "ui/main/windowprinter.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

// The worked example (a and the pressure angles default), the number in lower case, gear 1 "左".
const QString WorkedExample
    = u"set:cboTypeA:1;set:txtParameter_0:wx-1;set:txtParameter_1:30/20;set:txtParameter_2:1000;"
      "set:txtParameter_3:300;set:txtGear_0:80;set:txtGear_1:200;set:txtGear_2:10;set:txtGear_4:90;"
      "set:txtGear_5:120;set:txtGear_6:12;set:txtBearingA_1:0.37;set:txtBearingA_2:1.6;"
      "set:txtBearingA_4:150;set:txtBearingB_0:30210;set:txtBearingB_1:0.37;set:txtBearingB_2:1.6;"
      "set:txtBearingB_4:150;press:optGear1_0;press:optGear2_1;set:txtBearingA_0:"_s;
const QString Factors
    = u"txtBearingA_1 txtBearingA_2 txtBearingA_3 txtBearingB_1 txtBearingB_2 txtBearingB_3"_s;
const QString LifeA = u"A轴承:658.7 万小时"_s, LifeB = u"B轴承:696.2 万小时"_s;

// A control or menu entry as seen: the last of these it has, "*" if selected, "~" if switched off.
QString look(const QObject *o)
{
    QString seen;
    for (const char *name : { "windowTitle", "text", "title", "currentIndex" })
        if (const QVariant value = o->property(name); value.isValid())
            seen = value.toString();
    return seen + (o->property("checked").toBool() ? u"*" : u"")
        + (o->property("enabled").toBool() ? u"" : u"~");
}

// What a user can see of a window: every named control and menu entry.
QStringList visibleState(QWidget *window)
{
    QStringList out;
    for (QObject *o : window->findChildren<QObject *>(QRegularExpression(u"^(?!qt_)."_s)))
        out << o->objectName() + u'=' + look(o);
    out.sort();
    return out;
}

const auto accessible = [](QObject *o) { return QAccessible::queryAccessibleInterface(o); };
using Fixture::activate;

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture::AppDirectory> m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmMain> m_window;

    template <class T = QLineEdit> T *get(const QString &n) { return m_window->findChild<T *>(n); }
    QLineEdit *box(const char *n) { return get(QString::fromLatin1(n)); }
    void activateMain() { QVERIFY(activate(m_window.get())); }
    // The looks of the controls named, "|"-separated.
    QString looks(const QString &names)
    {
        QStringList out;
        for (const QString &name : names.split(u' '))
            out << look(get<QObject>(name));
        return out.join(u'|');
    }
    // cmdSaveResult, cmdSaveParameter, Test, mnuSaveResult, mnuSaveParameter: "1" on, "0" off.
    QString saveCommands()
    {
        return looks(u"cmdSaveResult cmdSaveParameter Test mnuSaveResult mnuSaveParameter"_s)
            .replace(QRegularExpression(u"[^|]*~"_s), u"0"_s)
            .replace(QRegularExpression(u"[^|0]+"_s), u"1"_s)
            .remove(u'|');
    }

    // Steps by ";": "type:NAME:TEXT", "set:NAME:VALUE" (text, type, check), "press:NAME" Space,
    // "leave:NAME" Tab, "f5" in model A, "away:print|box|window|program" focus out and back.
    void doSteps(const QString &steps)
    {
        for (const QString &step : steps.split(u';')) {
            const QStringList part = step.split(u':');
            QWidget *w = part[0] == u"f5" || part[0] == u"away" ? box("txtBearingA_0")
                                                                : get<QWidget>(part[1]);
            if (part[0] == u"type")
                QTest::keyClicks(w, part[2]);
            else if (part[0] == u"set") // a type's index, an option's check or a text
                w->setProperty(w->inherits("QComboBox") ? "currentIndex"
                        : w->inherits("QLineEdit")      ? "text"
                                                        : "checked",
                    part[2]);
            else if (part[0] == u"press")
                QTest::keyClick(w, Qt::Key_Space);
            else {
                activateMain();
                w->setFocus();
                WidgetPrompter boxes; // real message boxes, answered by Escape
                QTimer::singleShot(50, [] {
                    if (QWidget *modal = QApplication::activeModalWidget())
                        QTest::keyClick(modal, Qt::Key_Escape);
                });
                QWidget other;
                if (part[0] != u"away")
                    QTest::keyClick(w, part[0] == u"f5" ? Qt::Key_F5 : Qt::Key_Tab);
                else if (part[1] == u"print")
                    QVERIFY(!printWindow(m_window.get(), boxes, { {}, QPrinterInfo(), {} }));
                else if (part[1] == u"box")
                    boxes.inform(u"Tolvenar"_s);
                else if (part[1] == u"window")
                    QVERIFY(activate(&other));
                else
                    QApplication::setActiveWindow(nullptr);
                activateMain();
                QVERIFY(part[0] != u"leave" || !w->hasFocus());
            }
        }
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
        // "key=value|...": a property (text also a title), name (screen readers), base (a box's colour),
        // hl (1: highlight colour), px (11.25 pt is 15, 12 pt 16), face (1: an empty field's).
        QTest::addColumn<QString>("props");
        const auto row = [](const char *name, const char *props) { QTest::newRow(name) << QString::fromUtf8(props); };
        row("frmMain", "text=Tolvenar");
        row("txtParameter_0", "toolTip=填完回车自动查找|maxLength=15|base=#c0ffff|name=编 号");
        row("txtParameter_1", "toolTip=功率不同时P1/P2|base=#c0ffc0|name=功率(P)");
        row("txtParameter_2", "name=转速(n)");
        row("txtGear_1", "name=d1");
        row("txtGear_5", "name=d2");
        row("txtBearingA_0", "toolTip=例如SKF23052|maxLength=12|base=#c0ffff");
        row("txtBearingA_2", "toolTip=NSK:Y3=Y1");
        row("txtBearingB_4", "base=#c0ffc0");
        row("cboTypeA", "toolTip=在列表中选择|face=1|name=A 轴承类型");
        row("Frame1_1", "text=2轮轴向力|name=2轮轴向力");
        row("chkWeight", "text=考虑轴向自重影响 G=|toolTip=默认A端朝下");
        row("txtWeight", "toolTip=单位:Kg|face=1");
        row("lblParameter_1", "text=功率(P)|hl=1");
        row("lblParameter_2", "hl=1|px=15");
        row("lblParameter_4", "text=跨距(L)|px=15");
        row("lblParameter_7", "text=rpm|px=16");
        row("lblParameter_5", "text=夹角(a)|hl=0");
        row("txtParameter_4", "name=夹角(a)");
        row("lblParameter_10", "text=度|px=16|hl=0");
        row("lblGear_6", "text=d2|hl=0");
        row("lblGear_0", "text=L1|hl=1");
        row("lblGear_7", "text=L2|hl=0");
        row("lblBearingA_4", "text=Cr|hl=1");
        row("fraResult", "text=计算结果|hl=1");
        row("mnuCompute", "text=计   算|shortcut=F5");
        row("mnuToolsEditer", "text=数据管理器|shortcut=Ctrl+E");
        row("mnuExplain", "text=帮   助     F1|shortcut="); // F1 is the window's, not the entry's
    }
    void invalidation_data()
    {
        QTest::addColumn<QString>("steps"); // see doSteps
        // Save buttons after (menu entries stay on), ";NAMES=LOOKS", ";focus=", ";message=" shown.
        QTest::addColumn<QString>("check");
        const auto row = [](const QString &name, const QString &step, const char *buttons, const QString &check = {}) { QTest::newRow(qPrintable(name)) << step << QString::fromLatin1(buttons) + u"111"_s + check; };
        row(u"shaft number typed"_s, u"type:txtParameter_0:7"_s, "11");
        row(u"power typed"_s, u"type:txtParameter_1:0"_s, "00");
        for (const auto &[group, first, last, buttons] : { std::tuple("txtParameter", 1, 4, "00"), { "txtGear", 0, 7, "01" }, { "txtBearingA", 0, 4, "00" }, { "txtBearingB", 0, 4, "00" } })
            for (int i = first; i <= last; ++i)
                row(u"%1(%2) set"_s.arg(QLatin1String(group)).arg(i), u"set:%1_%2:5"_s.arg(QLatin1String(group)).arg(i), buttons);
        row(u"gear typed"_s, u"type:txtGear_2:1"_s, "01");
        row(u"optAssembleB chosen"_s, u"press:optAssembleB"_s, "00");
        row(u"optAssembleA pressed again"_s, u"press:optAssembleA"_s, "11");
        row(u"optGear1(1) chosen"_s, u"press:optGear1_1"_s, "00");
        row(u"optGear2(0) chosen"_s, u"press:optGear2_0"_s, "00");
        row(u"chkWeight ticked"_s, u"press:chkWeight"_s, "00");
        row(u"weight set, switched off"_s, u"set:txtWeight:12"_s, "11", u";txtWeight=12~"_s);
        row(u"chkWeight unticked keeps the weight, switched off"_s, u"press:chkWeight;set:txtWeight:12;press:chkWeight"_s, "00", u";txtWeight=12~"_s);
        row(u"cboTypeB 1 to 2 empties nothing"_s, u"set:cboTypeB:2"_s, "11");
        row(u"leave shaft number: upper case"_s, u"leave:txtParameter_0"_s, "11", u";txtParameter_0=WX-1"_s);
        row(u"leave model A in lower case"_s, u"leave:txtBearingA_0"_s, "00", u";txtBearingA_0=30210J"_s);
        row(u"leave model B in upper case"_s, u"leave:txtBearingB_0"_s, "11", u";txtBearingB_0=30210"_s);
        row(u"leave model B in lower case"_s, u"set:txtBearingB_0:30210k;leave:txtBearingB_0"_s, "00", u";txtBearingB_0=30210K"_s);
        // After A's type: B's type, the mountings, the factors kept or switched off and emptied.
        const QString y2 = u"set:txtBearingA_3:9;set:txtBearingB_3:9;"_s, types = u";cboTypeB optAssembleA optAssembleB "_s + Factors + u'=';
        row(u"A 0 调心滚子轴承"_s, y2 + u"set:cboTypeA:0"_s, "00", types + u"0|A 轴承游动|B 轴承游动|0.37|1.6|9|0.37|1.6|9"_s);
        row(u"A 1 单列圆锥轴承"_s, u"set:cboTypeA:0;"_s + y2 + u"set:cboTypeA:1"_s, "00", types + u"1|面对面安装*|背对背安装|0.37|1.6|~|0.37|1.6|~"_s);
        row(u"A 2 配对圆锥轴承"_s, y2 + u"set:cboTypeA:2"_s, "00", types + u"3|A 轴承游动|B 轴承游动*|0.37|1.6|~|~|~|~"_s);
        row(u"A 3 圆柱滚子轴承"_s, y2 + u"set:cboTypeA:3"_s, "00", types + u"2|A 轴承游动*|B 轴承游动|~|~|~|0.37|1.6|~"_s);
        row(u"A 4 角接触球轴承"_s, y2 + u"set:cboTypeA:4"_s, "00", types + u"4|面对面安装*|背对背安装|~|~|~|~|~|~"_s);
        // The focus leaving the window is no move between fields.
        for (const char *how : { "print", "box", "window", "program" })
            row(u"focus away: "_s + QLatin1String(how), u"away:"_s + QLatin1String(how), "11", u";focus=txtBearingA_0;txtBearingA_0=30210j"_s);
        // A stopped run says why, focuses where to act, edits nothing, keeps the last lives.
        row(u"F5, n left at 0"_s, u"set:txtParameter_2:0;f5"_s, "00", u";message=P, n, L, L1, d1, Cr等不能为零  ;focus=txtParameter_2;txtBearingA_0=30210j"_s);
        row(u"F5, gear 2 helix without direction"_s, u"set:optGear2_1:0;f5"_s, "11", u";message=选择轴向力方向   ;focus=optGear2_0"_s);
        row(u"F5, weight 40000 kg, unticked"_s, u"set:txtWeight:40000;f5"_s, "11", u";message=数值溢出  ;focus=txtBearingA_0;txtWeight=40000~"_s);
        row(u"F5, B cylindrical under tapered A: Y1B emptied"_s, u"set:cboTypeB:3;f5"_s, "00", u";message=除数为零  ;focus=txtBearingA_0"_s);
        row(u"F5, span 40000"_s, u"set:txtParameter_3:40000;f5;leave:txtBearingA_0"_s, "00", u";message=数值溢出  ;lblResultA=A轴承:658.7 万小时;txtBearingA_0=30210J"_s);
    }
    // clang-format on
    void controls()
    {
        QFETCH(QString, props);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QObject *o = name == u"frmMain" ? m_window.get() : get<QObject>(name);
        auto *w = qobject_cast<QWidget *>(o);
        const QPalette app = QApplication::palette();
        const auto face = [&] { // an empty field's, not the window's grey
            const QImage i = w->grab().toImage();
            const QRgb c = i.pixel(i.width() - 24, i.height() / 2);
            return qAbs(qGray(c) - qGray(app.color(QPalette::Base).rgb())) <= 8;
        };
        const auto seen = [&](const QString &key) {
            return key == u"name" ? accessible(o)->text(QAccessible::Name)
                : key == u"base"  ? w->palette().color(QPalette::Base).name()
                : key == u"px"    ? QString::number(w->font().pixelSize())
                : key == u"hl"    ? QString::number(
                         w->palette().color(QPalette::WindowText) == app.color(QPalette::Highlight))
                : key == u"face" ? QString::number(face())
                : key == u"text" ? look(o)
                                 : o->property(qPrintable(key)).toString();
        };
        QStringList got;
        for (const QString &prop : props.split(u'|'))
            got << prop.section(u'=', 0, 0) + u'=' + seen(prop.section(u'=', 0, 0));
        QCOMPARE(got.join(u'|'), props);
    }

    // The Tab order; the first control holds the focus when the window opens.
    void tabOrder()
    {
        activateMain();
        QStringList order;
        const QRegularExpression prefix(u"^txt(Bearing|(.)\\w+_)"_s); // P0 G0 A_0
        QWidget *w = QApplication::focusWidget();
        do
            if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
                order << w->objectName().replace(prefix, u"\\2"_s);
        while ((w = w->nextInFocusChain()) != QApplication::focusWidget());
        QCOMPARE(order.join(u' '),
            u"cmdView P0 P1 P2 P3 P4 G0 G1 G2 G3 G4 G5 G6 G7 A_0 cboTypeA A_1 A_2 A_3 A_4 B_0 "
            "cboTypeB B_1 B_2 B_3 B_4 cmdCompute cmdSaveResult cmdSaveParameter cmdClear cmdExit "
            "chkWeight txtWeight optAssembleA optAssembleB optGear1_0 optGear1_1 optGear2_1 "
            "optGear2_0"_s);
    }

    // Start-up state, F5, edits switch off the buttons not the menu entries, both Clears; a saved
    // number and Enter recall every field; Enter recalls a model's factors; 否 keeps a used number.
    void startComputeSaveRecall()
    {
        QCOMPARE(
            looks(u"txtParameter_4 txtGear_3 txtGear_7 lblResultA lblResultB txtWeight cboTypeA "
                  "MnuOperation cmdView cmdCompute cmdClear cmdExit optGear1_0 optGear1_1 "
                  "optGear2_0 optGear2_1"_s)
                + saveCommands(),
            u"180|20|20|A轴承|B轴承|~|0|操 作(&O)|查  找|计  算|清  除|退 出>>|左|右|左|右00000"_s);
        const QStringList startUp = visibleState(m_window.get());
        doSteps(WorkedExample + u"30210;set:txtParameter_0:WX-1;f5"_s);
        QCOMPARE(looks(u"lblResultA lblResultB"_s) + saveCommands() + m_prompter.texts().join(u'|'),
            LifeA + u'|' + LifeB + u"11111"_s);
        // A life caption can be selected with the mouse and copied with Ctrl+C.
        QVERIFY(get<QLabel>(u"lblResultA"_s)->textInteractionFlags() & Qt::TextSelectableByMouse);
        doSteps(u"press:chkWeight;type:txtWeight:12"_s); // results and shaft unsaved
        for (const char *a : { "mnuSaveResult", "mnuSaveParameter", "Test" })
            get<QAction>(QString::fromLatin1(a))->trigger();
        QCOMPARE(QString::number(m_prompter.dialogs.size()) + m_prompter.texts().join(u'|'),
            u"2参数已保存,快用工具\\数据管理器完善. "_s);
        // The commands the recall invalidates and the life captions Clear empties aside.
        const QRegularExpression fields(u"^(?!lblResult|Test=|\\w*Save)"_s);
        const QStringList saved = visibleState(m_window.get()).filter(fields);
        get<QAction>(u"mnuClear"_s)->trigger();
        QCOMPARE(visibleState(m_window.get()), startUp);
        box("txtParameter_0")->setText(u"wx-1"_s); // looked up in upper case
        QSignalSpy reachedBox(box("txtParameter_0"), &QLineEdit::returnPressed);
        QTest::keyClick(box("txtParameter_0"), Qt::Key_Return);
        QCOMPARE(reachedBox.count(), 0); // the key is swallowed
        // B's Y2 comes back as "0" in its switched-off box (its type set again runs no rule).
        QCOMPARE(visibleState(m_window.get()).filter(fields),
            QStringList(saved).replaceInStrings(u"txtBearingB_3=~"_s, u"txtBearingB_3=0~"_s));
        m_window->cmdCompute_Click();
        QCOMPARE(looks(u"lblResultA"_s), LifeA);
        doSteps(u"set:txtBearingA_1:;set:txtBearingB_0:30210;set:txtBearingB_2:"_s);
        QTest::keyClick(box("txtBearingA_0"), Qt::Key_Enter);
        QTest::keyClick(box("txtBearingB_0"), Qt::Key_Return); // equal models: A's texts copied
        QCOMPARE(looks(u"txtBearingA_1 txtBearingB_2"_s), u"0.37|1.6"_s);
        m_prompter.answers = { Prompter::No };
        m_window->saveParameters();
        QCOMPARE(box("txtParameter_0")->selectedText(), u"WX-1"_s); // for retyping
        QTest::keyClick(get<QPushButton>(u"cmdClear"_s), Qt::Key_Space);
        QCOMPARE(visibleState(m_window.get()), startUp);
        // From the browser: a number recalled, the focus in its box; a bearing copied, type last.
        m_window->recallShaftNumber(u"WX-1"_s);
        m_window->copyBearing(u'B', u"6208"_s, u"0.3"_s, u"2"_s, u"3"_s, u"29.5"_s, 0);
        QCOMPARE(looks(u"txtParameter_1 txtBearingA_0 txtBearingB_0 txtBearingB_3 cboTypeB"_s)
                + m_window->focusWidget()->objectName(),
            u"30/20|30210|6208|3|0txtParameter_0"_s);
    }

    void invalidation()
    {
        QFETCH(QString, steps);
        QFETCH(QString, check);
        doSteps(WorkedExample + u"30210j"_s);
        m_window->cmdCompute_Click();
        doSteps(steps);
        if (QTest::currentTestFailed())
            return;
        QString seen = saveCommands();
        for (const QString &c : check.split(u';').mid(1)) {
            const QString name = c.section(u'=', 0, 0);
            seen += u';' + name + u'='
                + (name == u"message"      ? m_prompter.texts().join(u'|')
                        : name == u"focus" ? QApplication::focusWidget()->objectName()
                                           : looks(name));
        }
        QCOMPARE(seen, check);
        const auto offs = [](QString s) { return s.remove(QRegularExpression(u"[^|~]"_s)); };
        QCOMPARE(offs(looks(QString(Factors).replace(u"txt"_s, u"lbl"_s))),
            offs(looks(Factors))); // labels too
        QVERIFY(m_prompter.shown.size() == check.count(u";message=")
            && (m_prompter.shown.isEmpty() || Fixture::isFailureBox(m_prompter.shown[0])));
    }

    // A second copy says so (no icon, the platform's title) and ends, however old the lock. Each
    // window opens by its command, one copy each, named, on the screen, with named controls.
    void program()
    {
        m_window.reset();
        const QString lockPath = m_dir->filePath(u"tolvenar.lock"_s);
        QTranslator qtTexts;
        {
            SingleInstanceGuard running(lockPath);
            QFile lock(lockPath);
            QVERIFY(running.tryAcquire() && lock.open(QIODevice::ReadWrite)
                && lock.setFileTime(
                    QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
            QVERIFY(!startProgram(m_prompter, qtTexts, lockPath));
            for (QWidget *w : QApplication::topLevelWidgets())
                QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        }
        {
            const auto windows = startProgram(m_prompter, qtTexts, lockPath); // asks only once
            QVERIFY(windows && acquireSingleInstance(m_prompter, lockPath)
                && !SingleInstanceGuard(lockPath).tryAcquire());
            const ScriptedPrompter::Shown s = m_prompter.shown.value(0);
            QCOMPARE(s.text + s.title + QString::number(int(s.icon)), u"已有一个程序实例运行0"_s);
            frmMain &main = windows->main();
            auto *picA = qobject_cast<QLabel *>(main.drawingArea());
            QWidget other;
            QMap<QString, QWidget *> opened;
            for (const QString &c :
                u"cmdView=frmView mnuView=frmView Ctrl+E=frmEditer Ctrl+E=frmEditer "
                "mnuToolsCombiner=frmCombiner mnuToolsCombiner=frmCombiner F1=frmHelp "
                "mnuExplain=frmHelp"_s.split(u' ')) {
                const QString command = c.section(u'=', 0, 0), name = c.section(u'=', 1);
                QVERIFY(activate(&other));
                picA->setPicture(QPicture());
                QVERIFY2(activate(&main) && !picA->picture().isNull(), qPrintable(c)); // redrawn
                if (QObject *o = main.findChild<QObject *>(command))
                    QMetaObject::invokeMethod(o, o->inherits("QAction") ? "trigger" : "click");
                else
                    QTest::keySequence(&main, QKeySequence(command));
                QWidget *w = main.findChild<QWidget *>(name);
                QVERIFY2(w && w->isVisible() && opened.value(name, w) == w, qPrintable(c));
                (opened[name] = w)->hide(); // the next command shows the same copy again
            }
            const QList<QWidget *> all = opened.values() << &main;
            for (QWidget *w : all)
                w->show();
            QCOMPARE(HelpWindow::current()->browser()->source(), HelpWindow::HomePage);
            // Each a window to screen readers, named by its title; every focusable control named;
            // no control off its frame or over another.
            QStringList faults;
            for (QWidget *top : all) {
                for (const QString &clash : Fixture::layoutClashes(top))
                    faults << top->objectName() + u':' + clash;
                if (accessible(top)->role() != QAccessible::Window
                    || !main.screen()->availableGeometry().contains(top->frameGeometry())
                    || accessible(top)->text(QAccessible::Name) != top->windowTitle())
                    faults << top->objectName();
                for (QWidget *w : top->findChildren<QWidget *>())
                    if (w->window() == top && w->focusPolicy() != Qt::NoFocus && !w->focusProxy()
                        && accessible(w)->text(QAccessible::Name).trimmed().isEmpty())
                        faults << top->objectName() + u'/' + w->objectName();
            }
            QCOMPARE(faults.join(u';'), QString());
            QVERIFY(!accessible(picA)->text(QAccessible::Description).isEmpty());
            // A type list holds its list, an editable one also its text, which has the focus.
            auto *typed = opened[u"frmEditer"_s]->findChild<QComboBox *>(u"cboBearing"_s);
            QAccessibleInterface *e = accessible(typed),
                                 *t = accessible(main.findChild<QComboBox *>(u"cboTypeA"_s)),
                                 *o = accessible(main.findChild<QRadioButton *>(u"optGear1_1"_s));
            o->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(QList<const void *>({ e->child(0)->object(), e->child(1)->object(),
                         e->focusChild()->object(), t->child(1), t->focusChild() }),
                QList<const void *>(
                    { typed->view(), typed->lineEdit(), typed->lineEdit(), nullptr, nullptr }));
            QCOMPARE(
                u"%1 %2 %3 "_s.arg(e->childCount()).arg(e->indexOfChild(e)).arg(t->childCount())
                    + t->text(QAccessible::Value),
                u"2 -1 1 调心滚子轴承"_s);
            QVERIFY(o->role() == QAccessible::RadioButton && o->state().checked
                && o->text(QAccessible::Name) == u"右");
            main.findChild<QPushButton *>(u"cmdExit"_s)->click();
            for (QWidget *w : all) // not yet deleted: no events were processed
                QVERIFY(!w->isVisible());
            QCOMPARE(m_prompter.shown.size(), 1);
        }
        QVERIFY(!HelpWindow::current()); // owned by the main window
        releaseSingleInstance(); // the lock file goes before its folder does
        QVERIFY(!QFile::exists(lockPath));
    }

    // The schematic's extent in two areas (same scale both ways, centred) and its colour on a gear.
    void sketch()
    {
        QString seen;
        for (const QRect area : { QRect(0, 0, 390, 280), QRect(10, 20, 195, 560) }) {
            QImage image(400, 600, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QFont tiny = Schematic::font();
            tiny.setPixelSize(1);
            DrawShaftSchematic(painter, area, QColor(10, 20, 30), tiny);
            painter.end();
            QRect drawn;
            for (int i = 0; i < 400 * 600; ++i)
                if (image.pixelColor(i % 400, i / 400) != Qt::white)
                    drawn |= QRect(i % 400, i / 400, 1, 1);
            const QPoint gear = area.width() == 390 ? QPoint(130, 100) : QPoint(135, 200);
            QDebug(&seen).nospace() << drawn << image.pixelColor(gear).name() << '|';
        }
        QCOMPARE(seen, u"QRect(42,30 307x221)\"#0a141e\"|QRect(31,80 154x441)\"#0a141e\"|"_s);
    }

    // clang-format off
    void openingPlace_data()
    {
        // A frame, the main window's, where it is placed; a screen of 1280 x 1024, a 30-pixel panel.
        QTest::addColumn<QList<QRect>>("frames");
        QTest::newRow("room: centred over the main window") << QList<QRect>{ QRect(0, 0, 400, 300), QRect(100, 100, 660, 540), QRect(230, 220, 400, 300) };
        QTest::newRow("off the right: moved left") << QList<QRect>{ QRect(0, 0, 400, 300), QRect(1000, 100, 600, 400), QRect(880, 150, 400, 300) };
        QTest::newRow("off the bottom: moved up") << QList<QRect>{ QRect(0, 0, 655, 490), QRect(300, 700, 660, 540), QRect(302, 534, 655, 490) };
        QTest::newRow("above the panel: moved down") << QList<QRect>{ QRect(0, 0, 400, 300), QRect(0, 0, 400, 100), QRect(0, 30, 400, 300) };
        QTest::newRow("larger than the screen: shrunk") << QList<QRect>{ QRect(0, 0, 1400, 1100), QRect(100, 100, 660, 540), QRect(0, 30, 1280, 994) };
        QTest::newRow("no main window: centred on the screen") << QList<QRect>{ QRect(0, 0, 680, 494), QRect(), QRect(300, 280, 680, 494) };
    }
    void printing_data()
    {
        // Answer to the question, PDF chosen (empty: cancelled), shaft number, PDF name proposed.
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("Cancel: nothing printed") << int(Prompter::Cancel) << QString() << u"wx-1"_s << QString();
        QTest::newRow("OK, no printer, PDF dialog cancelled, no number") << int(Prompter::Ok) << QString() << u"  "_s << u"Tolvenar.pdf"_s;
        QTest::newRow("OK, no printer, saved as PDF") << int(Prompter::Ok) << u"page"_s << u"wx-1"_s << u"wx-1.pdf"_s;
        QTest::newRow("OK, PDF in a missing folder: reported; / and : in the number, a blank kept") << int(Prompter::Ok) << u"no such folder/page.pdf"_s << u" a/b:c d "_s << u"a_b_c d.pdf"_s;
    }
    // clang-format on
    // Larger than the screen: shrunk to it if resizable, else its top-left corner put on it.
    void openingPlace()
    {
        QFETCH(QList<QRect>, frames);
        QCOMPARE(
            WindowLayer::openingFrame(frames[0], frames[1], QRect(0, 30, 1280, 994)), frames[2]);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget resizable, fixed;
        resizable.resize(screen.size() + QSize(300, 200));
        fixed.setFixedSize(screen.size() + QSize(300, 200));
        WindowLayer::placeWindow(&resizable, nullptr);
        WindowLayer::placeWindow(&fixed, nullptr);
        QCOMPARE(QList<QRect>({ resizable.geometry(), fixed.geometry() }),
            QList<QRect>({ screen, QRect(screen.topLeft(), fixed.size()) }));
    }

    // Printing whitens the window, buttons hidden, then restores it and the focus; else a PDF.
    void printing()
    {
        QFETCH(int, answer);
        QFETCH(QString, pdf);
        QFETCH(QString, number);
        QFETCH(QString, proposed);
        doSteps(WorkedExample + u"30210;f5"_s); // the window left active
        auto *compute = get<QPushButton>(u"cmdCompute"_s);
        auto *picA = get<QLabel>(u"picA"_s);
        compute->setFocus();
        redrawSchematic(picA); // as on activation
        // A box coloured by a style sheet ignores its palette: it must turn white all the same.
        box("txtParameter_0")->setStyleSheet(u"background-color: rgb(192,255,255);"_s);
        const QColor ownColour = picA->palette().color(QPalette::Window);
        const QImage before = windowImage(m_window.get());
        m_prompter.answers = { answer };
        m_prompter.savePaths = { pdf.isEmpty() ? QString() : m_dir->filePath(pdf) };
        QStringList inside; // the colours inside controls while the question or dialog is shown
        const QWidgetList sampled { picA, box("txtParameter_0"), box("txtBearingA_0"), compute };
        m_prompter.whileShown = [&] { // not during the failure box
            for (QWidget *w : m_prompter.shown.size() < 2 ? sampled : QWidgetList())
                inside << windowImage(m_window.get())
                              .pixelColor(w->mapTo(m_window->centralWidget(),
                                  QPoint(w->width() - 6, w->height() / 2)))
                              .name();
        };
        QList<QColor> redrawn;
        const auto redraw = [&] { // as the program does it
            redrawn << picA->palette().color(QPalette::Window);
            redrawSchematic(picA);
        };
        QCOMPARE(printWindow(m_window.get(), m_prompter, { redraw, QPrinterInfo(), number }),
            pdf == u"page");
        QCOMPARE(inside, QStringList(answer == Prompter::Ok ? 8 : 4, u"#ffffff"_s));
        QCOMPARE(m_prompter.dialogs.value(0).section(u'|', 1, 1) + m_prompter.texts().value(0),
            proposed + u"确定要打印当前窗口?");
        QCOMPARE(m_prompter.shown.size(), pdf.contains(u'/') ? 2 : 1);
        QVERIFY(!pdf.contains(u'/') // the failure box names the file
            || (Fixture::isFailureBox(m_prompter.shown.at(1))
                && m_prompter.shown.at(1).text.startsWith(m_dir->filePath(pdf))));
        QCOMPARE(redrawn, (QList<QColor> { Qt::white, ownColour }));
        QVERIFY(windowImage(m_window.get()) == before && QApplication::focusWidget() == compute);
        const QString file = m_dir->filePath(pdf.endsWith(u".pdf") ? pdf : pdf + u".pdf"); // added
        const QString written = QString::fromLatin1(Fixture::readFile(file));
        QCOMPARE(written.left(5), pdf == u"page" ? u"%PDF-"_s : u"<miss"_s);
        // Drawn as vectors: only the style's small frame pieces may be bitmaps.
        for (const auto &m : QRegularExpression(u"/Width (\\d+)"_s).globalMatch(written))
            QVERIFY(m.captured(1).toInt() < 200);
        if (pdf != u"page" || QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            return;
        // The text searchable, with ideographs (not radicals), as wide as the printable area
        // (unscaled the window fills about 80 % of A4's width); no button printed.
        QProcess words;
        words.start(u"pdftotext"_s, { u"-bbox"_s, file, u"-"_s });
        QVERIFY(words.waitForFinished(30000));
        const QString html = QString::fromUtf8(words.readAllStandardOutput());
        const QRegularExpressionMatch m
            = QRegularExpression(u"<page width=\"([\\d.]+)\".*xMax=\"([\\d.]+)\"[^>]*>万小时<"_s,
                QRegularExpression::DotMatchesEverythingOption)
                  .match(html);
        QVERIFY(m.captured(2).toDouble() >= 0.9 * m.captured(1).toDouble()
            && html.contains(u">齿轮参数<"_s) && !html.contains(u">保存结果<"_s));
    }

    // Help pages: no line break inside Chinese text (shown as a blank), no blank beside full-width
    // punctuation, no link to a page that is not there.
    void pages()
    {
        HelpWindow makesThePagesAvailable;
        const QStringList files = QDir(u":/help"_s).entryList();
        const QString names = QStringList(files).join(u'|').replace(u"."_s, u"\\."_s);
        QStringList faults;
        for (const QString &page : files.filter(QRegularExpression(u"\\.html$"_s))) {
            const QString source = QString::fromUtf8(Fixture::readFile(u":/help/"_s + page));
            HelpBrowser browser;
            browser.setSource(QUrl(u"qrc:/help/"_s + page));
            for (const auto &[text, pattern] :
                { std::pair(source,
                      u"[\\p{Han}，。；：、！？（）“”]\\n\\s*[\\p{Han}，。；：、！？（）“”]"_s),
                    { browser.toPlainText(),
                        u"[，。；：、！？）”]\\h+\\S|\\S\\h+[，。；：、！？（“]"_s },
                    { source, u"href=\"(?!(%1)\")"_s.arg(names) } })
                for (const auto &m : QRegularExpression(pattern).globalMatch(text))
                    faults << page + text.mid(std::max<qsizetype>(0, m.capturedStart() - 12), 30);
        }
        QCOMPARE(faults, QStringList());
    }

    // The About box, last in the help menu: version, Qt, licence, record folder, LICENSE's text.
    // Qt's dialogs speak the user's language ("Look in:" of the file dialog), else Chinese.
    void aboutAndQtTexts()
    {
        QStringList seen;
        for (QAction *a : get<QMenu>(u"mnuHelp"_s)->actions())
            seen << look(a);
        for (const QLocale &locale : { QLocale(u"zh_CN"_s), QLocale(u"de_DE"_s), QLocale::c() }) {
            QTranslator translator; // "-": none loaded (the set-up installs Qt's translations)
            seen << (loadQtTranslation(translator, locale)
                    ? translator.translate("QFileDialog", "Look in:")
                    : u"-"_s);
        }
        QCOMPARE(seen.join(u'|'),
            u"帮   助     F1||详细计算数据~|关于 Tolvenar|查找范围：|Suchen in:|查找范围："_s);
        AboutDialog box;
        const QString shown = box.windowTitle() + u'|'
            + box.findChild<QLabel *>(u"lblAbout"_s)->text()
            + box.findChild<QPlainTextEdit *>(u"txtLicence"_s)->toPlainText();
        for (const QString &part :
            QStringList { u"关于 Tolvenar|"_s, u"版本：" TOLVENAR_PROJECT_VERSION ""_s,
                u"Qt 版本："_s + QLatin1String(qVersion()), u"许可证：MIT"_s,
                QDir::toNativeSeparators(m_dir->path()),
                QString::fromUtf8(
                    Fixture::readFile(QStringLiteral(TOLVENAR_SOURCE_DIR "/LICENSE"))) })
            QVERIFY2(shown.contains(part), qPrintable(part));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
