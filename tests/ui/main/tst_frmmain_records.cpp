// The main window's record commands end to end: compute, save under a number, clear, recall by
// Enter; the bearing recalls; the browser's copies; the report commands through the save dialog.

#include "records/recordfile.h"
#include "support/scriptedprompter.h"
#include "ui/main/frmmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Field
{
    const char *control;
    const char *text;
};

// The worked example of the load calculation (angle and pressure angles are the defaults).
const Field WorkedExample[] = {
    {"txtParameter_0", "WX-1"}, {"txtParameter_1", "30/20"}, {"txtParameter_2", "1000"},
    {"txtParameter_3", "300"},  {"txtGear_0", "80"},         {"txtGear_1", "200"},
    {"txtGear_2", "10"},        {"txtGear_4", "90"},         {"txtGear_5", "120"},
    {"txtGear_6", "12"},        {"txtBearingA_0", "30210"},  {"txtBearingA_1", "0.37"},
    {"txtBearingA_2", "1.6"},   {"txtBearingA_4", "150"},    {"txtBearingB_0", "32216"},
    {"txtBearingB_1", "0.43"},  {"txtBearingB_2", "1.4"},    {"txtBearingB_4", "160"},
};

} // namespace

class TestFrmMainRecords : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void saveClearRecall();
    void saveAskBeforeReplacing();
    void recallUnknownNumberChangesNothing();
    void bearingBWithModelOfA();
    void browserCopies();
    void reportsThroughDialog();

private:
    template <class T> T *child(const char *n)
    {
        T *c = m_window->findChild<T *>(QString::fromLatin1(n));
        if (!c)
            qFatal("no control %s", n);
        return c;
    }
    QLineEdit *box(const char *n) { return child<QLineEdit>(n); }
    void typeWorkedExample();
    void pressEnter(const char *n) { QTest::keyClick(box(n), Qt::Key_Return); }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmMain> m_window;
};

void TestFrmMainRecords::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    RecordFiles::setAppDirectory(m_dir->path());
    m_prompter = ScriptedPrompter();
    m_window = std::make_unique<frmMain>(m_prompter);
    m_window->show();
}

void TestFrmMainRecords::cleanup()
{
    m_window.reset();
}

void TestFrmMainRecords::typeWorkedExample()
{
    child<QComboBox>("cboTypeA")->setCurrentIndex(1); // 单列圆锥轴承, face-to-face selected
    for (const Field &f : WorkedExample)
        box(f.control)->setText(QString::fromUtf8(f.text));
    child<QRadioButton>("optGear1_0")->setChecked(true);
    child<QRadioButton>("optGear2_1")->setChecked(true);
    child<QCheckBox>("chkWeight")->setChecked(true);
    box("txtWeight")->setText(QStringLiteral("12"));
}

void TestFrmMainRecords::saveClearRecall()
{
    typeWorkedExample();
    m_window->cmdCompute_Click();
    QVERIFY(child<QPushButton>("cmdSaveParameter")->isEnabled());
    child<QPushButton>("cmdSaveParameter")->click();
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("参数已保存,快用工具\\数据管理器完善. ")});
    QCOMPARE(QFile(RecordFiles::gearPath()).size(), 116);
    QCOMPARE(QFile(RecordFiles::bearingPath()).size(), 2 * 48);

    m_window->cmdClear_Click();
    QCOMPARE(box("txtBearingA_1")->text(), QString());
    box("txtParameter_0")->setText(QStringLiteral("wx-1")); // looked up in upper case
    pressEnter("txtParameter_0");

    for (const Field &f : WorkedExample) {
        const QString expected = QString::fromUtf8(f.text);
        QCOMPARE(box(f.control)->text(), expected);
    }
    QCOMPARE(box("txtParameter_4")->text(), QStringLiteral("180"));
    QCOMPARE(box("txtGear_3")->text(), QStringLiteral("20"));
    QCOMPARE(box("txtWeight")->text(), QStringLiteral("12"));
    QVERIFY(box("txtWeight")->isEnabled());
    QVERIFY(child<QRadioButton>("optGear1_0")->isChecked());
    QVERIFY(!child<QRadioButton>("optGear1_1")->isChecked());
    QVERIFY(child<QRadioButton>("optGear2_1")->isChecked());
    QVERIFY(child<QRadioButton>("optAssembleA")->isChecked());
    QCOMPARE(child<QRadioButton>("optAssembleA")->text(), QStringLiteral("面对面安装"));
    QCOMPARE(child<QComboBox>("cboTypeA")->currentIndex(), 1);
    QCOMPARE(child<QComboBox>("cboTypeB")->currentIndex(), 1);
    QVERIFY(!child<QLineEdit>("txtBearingA_3")->isEnabled()); // Y2 off for tapered bearings

    // The recalled set computes to the same lives.
    m_window->cmdCompute_Click();
    QCOMPARE(child<QLabel>("lblResultA")->text(), QStringLiteral("A轴承:658.7 万小时"));
}

void TestFrmMainRecords::saveAskBeforeReplacing()
{
    typeWorkedExample();
    m_window->cmdCompute_Click();
    m_window->SaveParameters();
    m_prompter.clear();

    box("txtParameter_1")->setText(QStringLiteral("40"));
    m_prompter.answers = {Prompter::No};
    m_window->SaveParameters();
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("编号 WX-1 已经用过。是否替换？")});
    QCOMPARE(m_prompter.shown[0].buttons, int(Prompter::Yes | Prompter::No));
    QCOMPARE(m_prompter.shown[0].defaultButton, int(Prompter::Yes));
    QCOMPARE(box("txtParameter_0")->selectedText(), QStringLiteral("WX-1"));
    QCOMPARE(Module1::FindShaftRecord(QStringLiteral("WX-1")).P1, 30.0f);

    m_prompter.clear();
    m_prompter.answers = {Prompter::Yes};
    m_window->SaveParameters();
    QCOMPARE(m_prompter.texts().last(), QStringLiteral("参数已保存     "));
    QCOMPARE(Module1::FindShaftRecord(QStringLiteral("WX-1")).P1, 40.0f);
    QCOMPARE(QFile(RecordFiles::gearPath()).size(), 116);

    // A span that does not fit 16 bits is reported and writes nothing.
    m_prompter.clear();
    box("txtParameter_3")->setText(QStringLiteral("40000"));
    m_window->SaveParameters();
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("数值溢出  ")});
    QCOMPARE(QFile(RecordFiles::gearPath()).size(), 116);
}

void TestFrmMainRecords::recallUnknownNumberChangesNothing()
{
    typeWorkedExample();
    box("txtParameter_0")->setText(QStringLiteral("NOPE"));
    pressEnter("txtParameter_0");
    QCOMPARE(box("txtParameter_1")->text(), QStringLiteral("30/20"));
    QCOMPARE(box("txtParameter_0")->text(), QStringLiteral("NOPE")); // the key was swallowed
    QVERIFY(m_prompter.shown.isEmpty());
}

void TestFrmMainRecords::bearingBWithModelOfA()
{
    QVERIFY(Module1::AppendBearingRecord(QStringLiteral("22312"), 0, 0.35f, 1.9f, 2.9f, 285));
    box("txtBearingA_0")->setText(QStringLiteral("22312"));
    pressEnter("txtBearingA_0");
    QCOMPARE(box("txtBearingA_1")->text(), QStringLiteral("0.35"));
    QCOMPARE(box("txtBearingA_3")->text(), QStringLiteral("2.9"));
    QCOMPARE(box("txtBearingA_4")->text(), QStringLiteral("285"));

    child<QComboBox>("cboTypeB")->setCurrentIndex(3);
    box("txtBearingA_2")->setText(QStringLiteral("2.0")); // an unsaved edit is copied too
    box("txtBearingB_0")->setText(QStringLiteral("22312"));
    pressEnter("txtBearingB_0");
    QCOMPARE(box("txtBearingB_1")->text(), QStringLiteral("0.35"));
    QCOMPARE(box("txtBearingB_2")->text(), QStringLiteral("2.0"));
    QCOMPARE(box("txtBearingB_4")->text(), QStringLiteral("285"));
    QCOMPARE(child<QComboBox>("cboTypeB")->currentIndex(), 3); // B's type is left alone
}

void TestFrmMainRecords::browserCopies()
{
    MainWindowLink &link = *m_window;
    link.copyBearing(u'A', QStringLiteral("NU2210"), QString(), QString(), QString(),
        QStringLiteral("1234.56"), 3);
    QCOMPARE(box("txtBearingA_0")->text(), QStringLiteral("NU2210"));
    QCOMPARE(box("txtBearingA_4")->text(), QStringLiteral("1234.56"));
    QCOMPARE(child<QComboBox>("cboTypeA")->currentIndex(), 3);
    QCOMPARE(child<QComboBox>("cboTypeB")->currentIndex(), 2); // A's rule ran

    link.copyBearing(u'B', QStringLiteral("X1"), QStringLiteral("0.3"), QStringLiteral("2"),
        QString(), QStringLiteral("80"), 9); // a bad stored type
    QCOMPARE(box("txtBearingB_1")->text(), QStringLiteral("0.3"));
    QCOMPARE(child<QComboBox>("cboTypeB")->currentIndex(), 2);

    typeWorkedExample();
    m_window->cmdCompute_Click();
    m_window->SaveParameters();
    m_window->cmdClear_Click();
    link.recallShaftNumber(QStringLiteral("WX-1"));
    QCOMPARE(box("txtParameter_1")->text(), QStringLiteral("30/20"));
    QCOMPARE(box("txtBearingB_0")->text(), QStringLiteral("32216"));
}

void TestFrmMainRecords::reportsThroughDialog()
{
    typeWorkedExample();
    m_window->cmdCompute_Click();
    const QString report = m_dir->filePath(QStringLiteral("report.txt"));
    const QString detail = m_dir->filePath(QStringLiteral("detail.txt"));
    m_prompter.savePaths = {report, detail};
    m_window->SaveResultReport();
    m_window->WriteDetailedData();
    QFile r(report);
    QVERIFY(r.open(QIODevice::ReadOnly));
    QCOMPARE(r.readAll().count("\r\n"), 19);
    QFile d(detail);
    QVERIFY(d.open(QIODevice::ReadOnly));
    QCOMPARE(d.readAll().count("\r\n"), 45);

    // Cancel stays silent; a folder that cannot be written to is reported, naming the file.
    m_prompter.clear();
    m_window->SaveResultReport();
    QVERIFY(m_prompter.shown.isEmpty());
    m_prompter.savePaths = {m_dir->filePath(QStringLiteral("missing/report.txt"))};
    m_window->SaveResultReport();
    QCOMPARE(m_prompter.shown.size(), 1);
    QCOMPARE(m_prompter.shown[0].title, QStringLiteral("Tolvenar"));
    QVERIFY(m_prompter.shown[0].text.contains(QStringLiteral("report.txt")));
}

QTEST_MAIN(TestFrmMainRecords)
#include "tst_frmmain_records.moc"
