// The main window: start-up state, type and mounting rules, the invalidation table, Clear, the
// option pairs, the key fields and the compute command with its fault messages.

#include "calc/computeloads.h"
#include "support/scriptedprompter.h"
#include "records/recordfile.h"
#include "ui/main/frmmain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString name(const char *n)
{
    return QString::fromUtf8(n);
}

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts)
        out.append(QString::fromUtf8(t));
    return out;
}

template <class T> T *child(QObject *window, const QString &objectName)
{
    T *found = window->findChild<T *>(objectName);
    if (!found)
        qFatal("no control %s", qPrintable(objectName));
    return found;
}

// The state a user can see: texts, enabled and checked states, selections, menu entries.
QStringList visibleState(QWidget *window)
{
    QStringList out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QString line
            = w->objectName() + (w->isEnabled() ? QStringLiteral(" on") : QStringLiteral(" off"));
        if (auto *box = qobject_cast<QLineEdit *>(w))
            line += QStringLiteral(" text=") + box->text();
        else if (auto *label = qobject_cast<QLabel *>(w))
            line += QStringLiteral(" caption=") + label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            line += QStringLiteral(" caption=") + button->text()
                + (button->isChecked() ? QStringLiteral(" checked") : QString());
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            line += QStringLiteral(" item=") + QString::number(combo->currentIndex());
        out.append(line);
    }
    for (QAction *a : window->findChildren<QAction *>()) {
        if (!a->objectName().isEmpty())
            out.append(a->objectName()
                + (a->isEnabled() ? QStringLiteral(" on") : QStringLiteral(" off")));
    }
    out.sort();
    return out;
}

struct Field
{
    const char *control;
    const char *text;
};

// The worked example of the load calculation. The angle a (180) and both pressure angles (20) are the
// window's defaults. The shaft number is typed in lower case on purpose.
const Field WorkedExample[] = {
    { "txtParameter_0", "wx-1" },
    { "txtParameter_1", "30/20" },
    { "txtParameter_2", "1000" },
    { "txtParameter_3", "300" },
    { "txtGear_0", "80" },
    { "txtGear_1", "200" },
    { "txtGear_2", "10" },
    { "txtGear_4", "90" },
    { "txtGear_5", "120" },
    { "txtGear_6", "12" },
    { "txtBearingA_0", "30210" },
    { "txtBearingA_1", "0.37" },
    { "txtBearingA_2", "1.6" },
    { "txtBearingA_4", "150" },
    { "txtBearingB_0", "30210" },
    { "txtBearingB_1", "0.37" },
    { "txtBearingB_2", "1.6" },
    { "txtBearingB_4", "150" },
};

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        // Enter in a key box looks the key up: keep the record files out of the build folder.
        QVERIFY(m_files.isValid());
        RecordFiles::setAppDirectory(m_files.path());
    }
    void init();
    void cleanup();

    void startUpState();
    void tabOrderStartsAtView();
    void typeListsAndKeyLengths();
    void bearingTypeA_data();
    void bearingTypeA();
    void bearingTypeBAlone_data();
    void bearingTypeBAlone();
    void reenabledFieldStaysEmpty();
    void weightOption();
    void optionPairs();
    void enterInKeyFields();
    void invalidation_data();
    void invalidation();
    void menuEntriesStillRun();
    void clearReturnsToStartUp();

    void workedExampleTyped();
    void menuAndF5RunTheSameCommand();
    void faults_data();
    void faults();
    void stoppedRunKeepsCaptionsAndStates();
    void captionRule_data();
    void captionRule();

private:
    QTemporaryDir m_files;
    QLineEdit *box(const char *n) { return child<QLineEdit>(m_window.get(), name(n)); }
    QLabel *label(const char *n) { return child<QLabel>(m_window.get(), name(n)); }
    QPushButton *button(const char *n) { return child<QPushButton>(m_window.get(), name(n)); }
    QRadioButton *option(const char *n) { return child<QRadioButton>(m_window.get(), name(n)); }
    QComboBox *combo(const char *n) { return child<QComboBox>(m_window.get(), name(n)); }
    QAction *action(const char *n) { return child<QAction>(m_window.get(), name(n)); }
    QCheckBox *weightBox() { return child<QCheckBox>(m_window.get(), name("chkWeight")); }

    // Types the worked example with the keyboard: boxes, A's type by arrow key, directions by
    // Space ("左" for gear 1, "右" for gear 2). A's type rule selects face-to-face mounting.
    void typeWorkedExample();
    // The five commands that a successful run enables, as "on"/"off" in that order.
    QString saveCommands();
    void leave(QLineEdit *box);

    ScriptedPrompter m_prompter;
    std::unique_ptr<frmMain> m_window;
};

void TestFrmMain::init()
{
    m_prompter.clear();
    m_prompter.answers.clear();
    m_window = std::make_unique<frmMain>(m_prompter);
    m_window->show();
}

void TestFrmMain::cleanup()
{
    m_window.reset();
}

void TestFrmMain::typeWorkedExample()
{
    QTest::keyClick(combo("cboTypeA"), Qt::Key_Down); // 单列圆锥轴承
    for (const Field &f : WorkedExample)
        QTest::keyClicks(box(f.control), QString::fromUtf8(f.text));
    QTest::keyClick(option("optGear1_0"), Qt::Key_Space);
    QTest::keyClick(option("optGear2_1"), Qt::Key_Space);
}

QString TestFrmMain::saveCommands()
{
    QStringList states;
    for (QObject *o :
        std::initializer_list<QObject *> { button("cmdSaveResult"), button("cmdSaveParameter"),
            action("Test"), action("mnuSaveResult"), action("mnuSaveParameter") }) {
        const bool on = qobject_cast<QWidget *>(o) ? qobject_cast<QWidget *>(o)->isEnabled()
                                                   : qobject_cast<QAction *>(o)->isEnabled();
        states.append(on ? QStringLiteral("on") : QStringLiteral("off"));
    }
    return states.join(QLatin1Char(' '));
}

void TestFrmMain::leave(QLineEdit *box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

void TestFrmMain::startUpState()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tolvenar"));
    QCOMPARE(combo("cboTypeA")->currentText(), QStringLiteral("调心滚子轴承"));
    QCOMPARE(combo("cboTypeB")->currentText(), QStringLiteral("调心滚子轴承"));
    QCOMPARE(option("optAssembleA")->text(), QStringLiteral("A 轴承游动"));
    QCOMPARE(option("optAssembleB")->text(), QStringLiteral("B 轴承游动"));
    for (const char *o :
        { "optAssembleA", "optAssembleB", "optGear1_0", "optGear1_1", "optGear2_0", "optGear2_1" })
        QVERIFY2(!option(o)->isChecked(), o);
    for (const char *f : { "txtBearingA_1", "txtBearingA_2", "txtBearingA_3", "txtBearingA_4",
             "txtBearingB_1", "txtBearingB_2", "txtBearingB_3", "txtBearingB_4" })
        QVERIFY2(box(f)->isEnabled(), f);
    QCOMPARE(box("txtParameter_4")->text(), QStringLiteral("180"));
    QCOMPARE(box("txtGear_3")->text(), QStringLiteral("20"));
    QCOMPARE(box("txtGear_7")->text(), QStringLiteral("20"));
    QCOMPARE(box("txtParameter_0")->text(), QString());
    QVERIFY(!weightBox()->isChecked());
    QVERIFY(!box("txtWeight")->isEnabled());
    QCOMPARE(label("lblResultA")->text(), QStringLiteral("A轴承"));
    QCOMPARE(label("lblResultB")->text(), QStringLiteral("B轴承"));
    QCOMPARE(saveCommands(), QStringLiteral("off off off off off"));
    for (const char *c : { "cmdView", "cmdCompute", "cmdClear", "cmdExit" })
        QVERIFY2(button(c)->isEnabled(), c);
    for (const char *a : { "mnuView", "mnuCompute", "mnuClear", "mnuExit", "mnuToolsCombiner",
             "mnuToolsEditer", "mnuToolsPrint", "mnuExplain" })
        QVERIFY2(action(a)->isEnabled(), a);
    QCOMPARE(m_window->input().Fa1Dir, std::int16_t(-1));
    QCOMPARE(m_window->input().Fa2Dir, std::int16_t(-1));
    QCOMPARE(action("mnuCompute")->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(action("mnuToolsEditer")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    QVERIFY(action("mnuExplain")->shortcut().isEmpty()); // "F1" in its caption is a hint only
}

void TestFrmMain::tabOrderStartsAtView()
{
    const QStringList expected = strings({ "cmdView", "txtParameter_0", "txtParameter_1",
        "txtParameter_2", "txtParameter_3", "txtParameter_4", "txtGear_0", "txtGear_1", "txtGear_2",
        "txtGear_3", "txtGear_4", "txtGear_5", "txtGear_6", "txtGear_7", "txtBearingA_0",
        "cboTypeA", "txtBearingA_1", "txtBearingA_2", "txtBearingA_3", "txtBearingA_4",
        "txtBearingB_0", "cboTypeB", "txtBearingB_1", "txtBearingB_2", "txtBearingB_3",
        "txtBearingB_4", "cmdCompute", "cmdSaveResult", "cmdSaveParameter", "cmdClear", "cmdExit",
        "chkWeight", "txtWeight", "optAssembleA", "optAssembleB", "optGear1_0", "optGear1_1",
        "optGear2_1", "optGear2_0" });
    QStringList order;
    QWidget *start = button("cmdView");
    QWidget *w = start;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty()
            && !w->objectName().startsWith(QLatin1String("qt_")))
            order.append(w->objectName());
        w = w->nextInFocusChain();
    } while (w != start && order.size() < 100);
    QCOMPARE(order, expected);
    QTRY_COMPARE(QApplication::focusWidget(), start);
}

void TestFrmMain::typeListsAndKeyLengths()
{
    for (const char *c : { "cboTypeA", "cboTypeB" }) {
        QComboBox *list = combo(c);
        QVERIFY(!list->isEditable());
        QCOMPARE(list->count(), 5);
        const char *texts[]
            = { "调心滚子轴承", "单列圆锥轴承", "配对圆锥轴承", "圆柱滚子轴承", "角接触球轴承" };
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(list->itemText(i), QString::fromUtf8(texts[i]));
            QCOMPARE(list->itemData(i).toInt(), i);
        }
    }
    QTest::keyClicks(box("txtParameter_0"), QStringLiteral("ABCDEFGHIJKLMNOP")); // 16
    QCOMPARE(box("txtParameter_0")->text(), QStringLiteral("ABCDEFGHIJKLMNO"));
    for (const char *m : { "txtBearingA_0", "txtBearingB_0" }) {
        QTest::keyClicks(box(m), QStringLiteral("SKF230520000X")); // 13
        QCOMPARE(box(m)->text(), QStringLiteral("SKF230520000"));
    }
}

void TestFrmMain::bearingTypeA_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("codeB");
    QTest::addColumn<QString>("captions");
    QTest::addColumn<QString>("selected"); // "A", "B" or "none"
    QTest::addColumn<QString>("fieldsA"); // e, Y1, Y2 open (1) or off (0)
    QTest::addColumn<QString>("fieldsB");
    const QString floating = QStringLiteral("A 轴承游动/B 轴承游动");
    const QString adjusted = QStringLiteral("面对面安装/背对背安装");
    QTest::newRow("0 调心滚子轴承") << 0 << 0 << floating << "none"
                                    << "111"
                                    << "111";
    QTest::newRow("1 单列圆锥轴承") << 1 << 1 << adjusted << "A"
                                    << "110"
                                    << "110";
    QTest::newRow("2 配对圆锥轴承") << 2 << 3 << floating << "B"
                                    << "110"
                                    << "000";
    QTest::newRow("3 圆柱滚子轴承") << 3 << 2 << floating << "A"
                                    << "000"
                                    << "110";
    QTest::newRow("4 角接触球轴承") << 4 << 4 << adjusted << "A"
                                    << "000"
                                    << "000";
}

void TestFrmMain::bearingTypeA()
{
    QFETCH(int, code);
    QFETCH(int, codeB);
    QFETCH(QString, captions);
    QFETCH(QString, selected);
    QFETCH(QString, fieldsA);
    QFETCH(QString, fieldsB);

    // Start from another type with text in every factor box, so every rule has work to do.
    combo("cboTypeA")->setCurrentIndex((code + 1) % 5);
    const char *factorsA[] = { "txtBearingA_1", "txtBearingA_2", "txtBearingA_3" };
    const char *factorsB[] = { "txtBearingB_1", "txtBearingB_2", "txtBearingB_3" };
    for (int i = 0; i < 3; ++i) {
        box(factorsA[i])->setText(QStringLiteral("9"));
        box(factorsB[i])->setText(QStringLiteral("9"));
    }

    combo("cboTypeA")->setCurrentIndex(code);

    QCOMPARE(combo("cboTypeB")->currentIndex(), codeB);
    QCOMPARE(option("optAssembleA")->text() + QLatin1Char('/') + option("optAssembleB")->text(),
        captions);
    const QString sel = option("optAssembleA")->isChecked()
        ? (option("optAssembleB")->isChecked() ? QStringLiteral("both") : QStringLiteral("A"))
        : (option("optAssembleB")->isChecked() ? QStringLiteral("B") : QStringLiteral("none"));
    QCOMPARE(sel, selected);
    const char *labelsA[] = { "lblBearingA_1", "lblBearingA_2", "lblBearingA_3" };
    const char *labelsB[] = { "lblBearingB_1", "lblBearingB_2", "lblBearingB_3" };
    for (int i = 0; i < 3; ++i) {
        const bool onA = fieldsA.at(i) == QLatin1Char('1');
        const bool onB = fieldsB.at(i) == QLatin1Char('1');
        QCOMPARE(box(factorsA[i])->isEnabled(), onA);
        QCOMPARE(label(labelsA[i])->isEnabled(), onA);
        QCOMPARE(box(factorsA[i])->text(), onA ? QStringLiteral("9") : QString());
        QCOMPARE(box(factorsB[i])->isEnabled(), onB);
        QCOMPARE(label(labelsB[i])->isEnabled(), onB);
        QCOMPARE(box(factorsB[i])->text(), onB ? QStringLiteral("9") : QString());
    }
    QVERIFY(box("txtBearingA_4")->isEnabled());
    QVERIFY(box("txtBearingB_4")->isEnabled());
}

void TestFrmMain::bearingTypeBAlone_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("fieldsB");
    QTest::newRow("B 0") << 0 << "111";
    QTest::newRow("B 1") << 1 << "110";
    QTest::newRow("B 2") << 2 << "110";
    QTest::newRow("B 3") << 3 << "000";
    QTest::newRow("B 4") << 4 << "000";
}

void TestFrmMain::bearingTypeBAlone()
{
    QFETCH(int, code);
    QFETCH(QString, fieldsB);
    combo("cboTypeA")->setCurrentIndex(4); // B follows to 4, face-to-face selected
    QTest::keyClick(option("optAssembleB"), Qt::Key_Space);
    combo("cboTypeB")->setCurrentIndex((code + 2) % 5);
    combo("cboTypeB")->setCurrentIndex(code);

    QCOMPARE(combo("cboTypeA")->currentIndex(), 4);
    QCOMPARE(option("optAssembleA")->text(), QStringLiteral("面对面安装"));
    QVERIFY(!option("optAssembleA")->isChecked());
    QVERIFY(option("optAssembleB")->isChecked());
    const char *factorsB[] = { "txtBearingB_1", "txtBearingB_2", "txtBearingB_3" };
    for (int i = 0; i < 3; ++i)
        QCOMPARE(box(factorsB[i])->isEnabled(), fieldsB.at(i) == QLatin1Char('1'));
}

void TestFrmMain::reenabledFieldStaysEmpty()
{
    box("txtBearingA_1")->setText(QStringLiteral("0.37"));
    combo("cboTypeA")->setCurrentIndex(3);
    combo("cboTypeA")->setCurrentIndex(0);
    QVERIFY(box("txtBearingA_1")->isEnabled());
    QCOMPARE(box("txtBearingA_1")->text(), QString());
}

void TestFrmMain::weightOption()
{
    QTest::keyClick(weightBox(), Qt::Key_Space);
    QVERIFY(box("txtWeight")->isEnabled());
    QTest::keyClicks(box("txtWeight"), QStringLiteral("12"));
    QTest::keyClick(weightBox(), Qt::Key_Space);
    QVERIFY(!box("txtWeight")->isEnabled());
    QCOMPARE(box("txtWeight")->text(), QStringLiteral("12"));
    weightBox()->setChecked(true); // the program's change has the same effect
    QVERIFY(box("txtWeight")->isEnabled());
    QCOMPARE(box("txtWeight")->text(), QStringLiteral("12"));
}

void TestFrmMain::optionPairs()
{
    QRadioButton *left1 = option("optGear1_0");
    QRadioButton *right1 = option("optGear1_1");
    QRadioButton *left2 = option("optGear2_0");
    QTest::keyClick(left1, Qt::Key_Space);
    QVERIFY(left1->isChecked());
    QTest::keyClick(right1, Qt::Key_Space);
    QVERIFY(right1->isChecked());
    QVERIFY(!left1->isChecked());
    QTest::keyClick(right1, Qt::Key_Space); // pressing the selected one keeps it selected
    QVERIFY(right1->isChecked());
    QTest::mouseClick(left1, Qt::LeftButton);
    QVERIFY(left1->isChecked());
    QVERIFY(!right1->isChecked());
    // The pairs are independent of each other.
    QTest::keyClick(left2, Qt::Key_Space);
    QVERIFY(left1->isChecked());
    QVERIFY(left2->isChecked());
    QVERIFY(!option("optAssembleA")->isChecked() && !option("optAssembleB")->isChecked());
    // The program can leave a pair with neither member selected.
    left1->setChecked(false);
    QVERIFY(!left1->isChecked() && !right1->isChecked());
    option("optAssembleB")->setChecked(true);
    option("optAssembleA")->setChecked(true);
    QVERIFY(!option("optAssembleB")->isChecked());
}

void TestFrmMain::enterInKeyFields()
{
    QSignalSpy spy(m_window.get(), &frmMain::keyEnterPressed);
    QTest::keyClicks(box("txtBearingB_0"), QStringLiteral("nu210"));
    QTest::keyClick(box("txtBearingB_0"), Qt::Key_Return);
    QTest::keyClick(box("txtParameter_0"), Qt::Key_Enter);
    QTest::keyClick(box("txtBearingA_0"), Qt::Key_Return);
    QTest::keyClick(box("txtParameter_1"), Qt::Key_Return); // not a key field
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).at(0).toInt(), int(frmMain::ModelBKey));
    QCOMPARE(spy.at(1).at(0).toInt(), int(frmMain::ShaftNumberKey));
    QCOMPARE(spy.at(2).at(0).toInt(), int(frmMain::ModelAKey));
    QCOMPARE(box("txtBearingB_0")->text(), QStringLiteral("nu210"));
}

void TestFrmMain::invalidation_data()
{
    // step: "type:NAME:TEXT" keys typed, "set:NAME:TEXT" set by the program, "press:NAME" Space
    // on an option or check box, "pick:NAME:INDEX" combo selection, "leave:NAME" focus lost.
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("resultOn");
    QTest::addColumn<bool>("parameterOn");
    QTest::addColumn<QString>("boxName"); // a box whose text to check afterwards
    QTest::addColumn<QString>("text");

    QTest::newRow("shaft number typed") << "type:txtParameter_0:7" << true << true << ""
                                        << "";
    QTest::newRow("power typed") << "type:txtParameter_1:0" << false << false << ""
                                 << "";
    for (int i = 1; i <= 4; ++i)
        QTest::addRow("txtParameter(%d) set", i)
            << QStringLiteral("set:txtParameter_%1:5").arg(i) << false << false << ""
            << "";
    for (int i = 0; i <= 7; ++i)
        QTest::addRow("txtGear(%d) set", i)
            << QStringLiteral("set:txtGear_%1:5").arg(i) << false << true << ""
            << "";
    QTest::newRow("gear typed") << "type:txtGear_2:1" << false << true << ""
                                << "";
    for (const char *side : { "A", "B" })
        for (int i = 0; i <= 4; ++i)
            QTest::addRow("txtBearing%s(%d) set", side, i)
                << QStringLiteral("set:txtBearing%1_%2:5").arg(QLatin1String(side)).arg(i) << false
                << false << ""
                << "";
    QTest::newRow("optAssembleB chosen") << "press:optAssembleB" << false << false << ""
                                         << "";
    QTest::newRow("optAssembleA pressed again") << "press:optAssembleA" << true << true << ""
                                                << "";
    QTest::newRow("optGear1(1) chosen") << "press:optGear1_1" << false << false << ""
                                        << "";
    QTest::newRow("optGear2(0) chosen") << "press:optGear2_0" << false << false << ""
                                        << "";
    QTest::newRow("chkWeight ticked") << "press:chkWeight" << false << false << ""
                                      << "";
    QTest::newRow("weight set") << "set:txtWeight:12" << true << true << ""
                                << "";
    QTest::newRow("cboTypeB 1 to 2 empties nothing") << "pick:cboTypeB:2" << true << true << ""
                                                     << "";
    QTest::newRow("cboTypeA 1 to 4 empties B's e, Y1")
        << "pick:cboTypeA:4" << false << false << "txtBearingB_1"
        << "";
    QTest::newRow("leave shaft number in lower case")
        << "leave:txtParameter_0" << true << true << "txtParameter_0"
        << "WX-1";
    QTest::newRow("leave model A in lower case")
        << "leave:txtBearingA_0" << false << false << "txtBearingA_0"
        << "30210J";
    QTest::newRow("leave model B in upper case")
        << "leave:txtBearingB_0" << true << true << "txtBearingB_0"
        << "30210";
    QTest::newRow("leave an ordinary box")
        << "leave:txtParameter_1" << true << true << "txtParameter_1"
        << "30/20";
}

void TestFrmMain::invalidation()
{
    QFETCH(QString, step);
    QFETCH(bool, resultOn);
    QFETCH(bool, parameterOn);
    QFETCH(QString, boxName);
    QFETCH(QString, text);

    typeWorkedExample();
    box("txtBearingA_0")->setText(QStringLiteral("30210j"));
    m_window->cmdCompute_Click();
    QVERIFY2(m_prompter.shown.isEmpty(), qPrintable(m_prompter.texts().join(QLatin1Char('|'))));
    QCOMPARE(saveCommands(), QStringLiteral("on on on on on"));

    const QStringList part = step.split(QLatin1Char(':'));
    const QString verb = part.at(0);
    if (verb == QLatin1String("type"))
        QTest::keyClicks(child<QLineEdit>(m_window.get(), part.at(1)), part.at(2));
    else if (verb == QLatin1String("set"))
        child<QLineEdit>(m_window.get(), part.at(1))->setText(part.at(2));
    else if (verb == QLatin1String("press"))
        QTest::keyClick(child<QAbstractButton>(m_window.get(), part.at(1)), Qt::Key_Space);
    else if (verb == QLatin1String("pick"))
        child<QComboBox>(m_window.get(), part.at(1))->setCurrentIndex(part.at(2).toInt());
    else if (verb == QLatin1String("leave"))
        leave(child<QLineEdit>(m_window.get(), part.at(1)));

    QCOMPARE(button("cmdSaveResult")->isEnabled(), resultOn);
    QCOMPARE(button("cmdSaveParameter")->isEnabled(), parameterOn);
    // The menu entries keep the state of the last computation.
    QVERIFY(action("mnuSaveResult")->isEnabled());
    QVERIFY(action("mnuSaveParameter")->isEnabled());
    QVERIFY(action("Test")->isEnabled());
    if (!boxName.isEmpty())
        QCOMPARE(child<QLineEdit>(m_window.get(), boxName)->text(), text);
}

void TestFrmMain::menuEntriesStillRun()
{
    typeWorkedExample();
    m_window->cmdCompute_Click();
    QTest::keyClicks(box("txtGear_0"), QStringLiteral("1"));
    QTest::keyClicks(box("txtBearingA_4"), QStringLiteral("1"));
    QCOMPARE(saveCommands(), QStringLiteral("off off on on on"));

    QSignalSpy result(m_window.get(), &frmMain::saveResultRequested);
    QSignalSpy parameter(m_window.get(), &frmMain::saveParameterRequested);
    QSignalSpy detailed(m_window.get(), &frmMain::detailedDataRequested);
    action("mnuSaveResult")->trigger();
    action("mnuSaveParameter")->trigger();
    action("Test")->trigger();
    QCOMPARE(result.count(), 1);
    QCOMPARE(parameter.count(), 1);
    QCOMPARE(detailed.count(), 1);
}

void TestFrmMain::clearReturnsToStartUp()
{
    const QStringList startUp = visibleState(m_window.get());

    typeWorkedExample();
    m_window->cmdCompute_Click();
    QCOMPARE(saveCommands(), QStringLiteral("on on on on on"));
    QTest::keyClick(weightBox(), Qt::Key_Space);
    QTest::keyClicks(box("txtWeight"), QStringLiteral("25"));
    combo("cboTypeA")->setCurrentIndex(2); // B becomes 3, optAssembleB selected
    combo("cboTypeB")->setCurrentIndex(4);
    box("txtParameter_4")->setText(QStringLiteral("90"));
    box("txtGear_7")->setText(QStringLiteral("25"));

    action("mnuClear")->trigger();
    QCOMPARE(visibleState(m_window.get()), startUp);

    // A second Clear from the state Clear leaves changes nothing, nor does the button differ.
    QTest::keyClick(button("cmdClear"), Qt::Key_Space);
    QCOMPARE(visibleState(m_window.get()), startUp);
}

void TestFrmMain::workedExampleTyped()
{
    typeWorkedExample();
    QTest::keyClick(button("cmdCompute"), Qt::Key_Space);
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(label("lblResultA")->text(), QStringLiteral("A轴承:658.7 万小时"));
    QCOMPARE(label("lblResultB")->text(), QStringLiteral("B轴承:696.2 万小时"));
    QCOMPARE(saveCommands(), QStringLiteral("on on on on on"));
    QVERIFY(m_window->inputValid());
    QCOMPARE(m_window->input().Fa1Dir, std::int16_t(1));
    QCOMPARE(m_window->input().Fa2Dir, std::int16_t(0));
    QVERIFY(m_window->input().AssembleA);
    QCOMPARE(m_window->copies().shaft.ModelA, QStringLiteral("30210       "));
}

void TestFrmMain::menuAndF5RunTheSameCommand()
{
    typeWorkedExample();
    action("mnuCompute")->trigger();
    QCOMPARE(label("lblResultA")->text(), QStringLiteral("A轴承:658.7 万小时"));
    QCOMPARE(saveCommands(), QStringLiteral("on on on on on"));

    action("mnuClear")->trigger();
    typeWorkedExample();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    QCOMPARE(label("lblResultA")->text(), QStringLiteral("A轴承:658.7 万小时"));
    QCOMPARE(label("lblResultB")->text(), QStringLiteral("B轴承:696.2 万小时"));
    QCOMPARE(saveCommands(), QStringLiteral("on on on on on"));
}

void TestFrmMain::faults_data()
{
    // change: "NAME=TEXT" for a box, "NAME=off" for an option, "NAME=INDEX" for a type list.
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("message"); // empty: the run succeeds
    const QString zero = QStringLiteral("P, n, L, L1, d1, Cr等不能为零  ");
    const QString direction = QStringLiteral("选择轴向力方向   ");
    QTest::newRow("empty shaft number")
        << strings({ "txtParameter_0=" }) << QStringLiteral("编号不能为空字符串  ");
    QTest::newRow("blank shaft number passes") << strings({ "txtParameter_0=   " }) << QString();
    QTest::newRow("power for gear 2 only") << strings({ "txtParameter_1=/20" }) << zero;
    QTest::newRow("no Cr for B") << strings({ "txtBearingB_4=" }) << zero;
    QTest::newRow("gear 1 helix without direction") << strings({ "optGear1_0=off" }) << direction;
    QTest::newRow("gear 2 helix without direction") << strings({ "optGear2_1=off" }) << direction;
    QTest::newRow("no gear 2, no direction needed")
        << strings({ "optGear2_1=off", "txtGear_4=0" }) << QString();
    QTest::newRow("empty model B")
        << strings({ "txtBearingB_0=" }) << QStringLiteral("轴承型号不能为空字符串  ");
    QTest::newRow("span 40000") << strings({ "txtParameter_3=40000" })
                                << QStringLiteral("数值溢出  ");
    QTest::newRow("weight 40000 kg, unticked")
        << strings({ "txtWeight=40000" }) << QStringLiteral("数值溢出  ");
    QTest::newRow("B cylindrical under tapered A: Y1B empty")
        << strings({ "cboTypeB=3" }) << QStringLiteral("除数为零  ");
}

void TestFrmMain::faults()
{
    QFETCH(QStringList, changes);
    QFETCH(QString, message);

    typeWorkedExample();
    for (const QString &change : changes) {
        const qsizetype eq = change.indexOf(QLatin1Char('='));
        const QString target = change.left(eq);
        const QString value = change.mid(eq + 1);
        if (auto *o = m_window->findChild<QRadioButton *>(target))
            o->setChecked(false);
        else if (auto *c = m_window->findChild<QComboBox *>(target))
            c->setCurrentIndex(value.toInt());
        else
            child<QLineEdit>(m_window.get(), target)->setText(value);
    }
    m_window->cmdCompute_Click();

    if (message.isEmpty()) {
        QCOMPARE(m_prompter.texts(), QStringList());
        QCOMPARE(saveCommands(), QStringLiteral("on on on on on"));
        QVERIFY(label("lblResultA")->text().startsWith(QStringLiteral("A轴承:")));
        return;
    }
    QCOMPARE(m_prompter.texts(), QStringList { message });
    const ScriptedPrompter::Shown &shown = m_prompter.shown.first();
    QCOMPARE(shown.title, QStringLiteral("Tolvenar"));
    QCOMPARE(shown.buttons, int(Prompter::Ok));
    QVERIFY(shown.icon == Prompter::Icon::Information);
    QCOMPARE(label("lblResultA")->text(), QStringLiteral("A轴承"));
    QCOMPARE(label("lblResultB")->text(), QStringLiteral("B轴承"));
    QCOMPARE(saveCommands(), QStringLiteral("off off off off off"));
}

void TestFrmMain::stoppedRunKeepsCaptionsAndStates()
{
    typeWorkedExample();
    m_window->cmdCompute_Click();
    QCOMPARE(saveCommands(), QStringLiteral("on on on on on"));

    // Speed 1500 comes before the span in the gathering order, L1 after it.
    box("txtParameter_2")->setText(QStringLiteral("1500"));
    box("txtParameter_3")->setText(QStringLiteral("40000"));
    box("txtGear_0")->setText(QStringLiteral("81"));
    QCOMPARE(saveCommands(), QStringLiteral("off off on on on"));
    m_window->cmdCompute_Click();

    QCOMPARE(m_prompter.texts(), QStringList { QStringLiteral("数值溢出  ") });
    QCOMPARE(label("lblResultA")->text(), QStringLiteral("A轴承:658.7 万小时"));
    QCOMPARE(label("lblResultB")->text(), QStringLiteral("B轴承:696.2 万小时"));
    QCOMPARE(saveCommands(), QStringLiteral("off off on on on"));
    QCOMPARE(m_window->input().n, 1500.0f);
    QCOMPARE(m_window->input().L, std::int16_t(300));
    QCOMPARE(m_window->input().L1, std::int16_t(80));

    // An invalid input stops the same way, with its own message only.
    m_prompter.clear();
    box("txtParameter_3")->setText(QStringLiteral("300"));
    box("txtParameter_0")->setText(QString());
    m_window->cmdCompute_Click();
    QCOMPARE(m_prompter.texts(), QStringList { QStringLiteral("编号不能为空字符串  ") });
    QCOMPARE(label("lblResultA")->text(), QStringLiteral("A轴承:658.7 万小时"));
    QCOMPARE(saveCommands(), QStringLiteral("off off on on on"));
}

void TestFrmMain::captionRule_data()
{
    // k decimals: 0 above 10^7 h, 1 above 10^5 h, else 2; halves go to the even neighbour.
    QTest::addColumn<float>("hours");
    QTest::addColumn<QString>("number");
    QTest::newRow("85 432 h: 2 decimals") << 85432.0f << "8.54";
    QTest::newRow("1 250 h: 0.125 to even") << 1250.0f << "0.12";
    QTest::newRow("99 999 h") << 99999.0f << "10";
    QTest::newRow("10^5 h exactly: 2 decimals") << 100000.0f << "10";
    QTest::newRow("100 500 h: above 10^5, 1 decimal") << 100500.0f << "10.1";
    QTest::newRow("1 002 500 h: 100.25 to even") << 1002500.0f << "100.2";
    QTest::newRow("6 587 051 h") << 6587051.0f << "658.7";
    QTest::newRow("9 996 000 h") << 9996000.0f << "999.6";
    QTest::newRow("10^7 h exactly: 1 decimal") << 10000000.0f << "1000";
    QTest::newRow("10 006 000 h: above 10^7, whole") << 10006000.0f << "1001";
    QTest::newRow("10 025 000 h: 1002.5 to even") << 10025000.0f << "1002";
    QTest::newRow("12 345 678 h") << 12345678.0f << "1235";
}

void TestFrmMain::captionRule()
{
    QFETCH(float, hours);
    QFETCH(QString, number);
    QCOMPARE(lifeCaptionNumber(hours), number);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
