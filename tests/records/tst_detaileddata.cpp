// The detailed calculation data file: the 45 lines of the worked example, the lines that depend on
// the window's state (number, mounting options) and the dialog's remembered name.

#include "records/detaileddata.h"
#include "support/scriptedprompter.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The worked example of the load calculation with its published results (two decimals).
void workedExample(CalcInput &in, CalcResult &r)
{
    in = CalcInput { .ShaftNo = QStringLiteral("G-101          "),
        .P1 = 30,
        .P2 = 20,
        .n = 1000,
        .L = 300,
        .ALFA = 180,
        .L1 = 80,
        .d1 = 200,
        .BTA1 = 10,
        .ALFA1 = 20,
        .Fa1Dir = 1,
        .L2 = 90,
        .d2 = 120,
        .BTA2 = 12,
        .ALFA2 = 20,
        .Fa2Dir = 0,
        .ModelA = QStringLiteral("30216       "),
        .TypeA = 1,
        .eA = 0.37f,
        .Y1A = 1.6f,
        .CrA = 150,
        .ModelB = QStringLiteral("30216"),
        .TypeB = 1,
        .eB = 0.37f,
        .Y1B = 1.6f,
        .CrB = 150,
        .AssembleA = true };
    r = CalcResult { .T1 = 286.50f,
        .T2 = 191.00f,
        .Ft1 = 2865.00f,
        .Fr1 = 1058.86f,
        .Fa1 = -505.18f,
        .Ft2 = 3183.33f,
        .Fr2 = 1184.52f,
        .Fa2 = 676.64f,
        .Ft2y = 3183.33f,
        .Fr2z = -1184.52f,
        .RxzA = -724.86f,
        .RxzB = 850.52f,
        .RxyA = -3056.00f,
        .RxyB = -2992.33f,
        .r2z = -60.0f,
        .RA = 3140.79f,
        .RB = 3110.86f,
        .FA = 981.50f,
        .FB = 1152.96f,
        .Sa = 981.50f,
        .Sb = -972.14f,
        .PA = 3140.79f,
        .PB = 3089.08f,
        .LhA = 6587051.0f,
        .LhB = 6961850.0f };
}

} // namespace

class TestDetailedData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    void workedExampleLines_data();
    void workedExampleLines();
    void windowStateLines_data();
    void windowStateLines();
    void selfWeightLine_data();
    void selfWeightLine();
    void fileAndDialog();
    void cancelLeavesNoFile();
};

void TestDetailedData::workedExampleLines_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");

    QTest::newRow("2 ten blanks") << 2 << QStringLiteral("          X-轴承A指向轴承B方向");
    QTest::newRow("3 55 hyphens") << 3
                                  << QStringLiteral(
                                         "-------------------------------------------------------");
    // "编号:" fills columns 1-5, the number starts in column 8.
    QTest::newRow("4 number at column 8") << 4 << QStringLiteral("编号:  G-101");
    QTest::newRow("6 powers, torques, span") << 6 << QStringLiteral("30,20,1000,286.5,191,300,180");
    QTest::newRow("10 gears") << 10 << QStringLiteral("80,200,10,20,1,90,120,12,20,0");
    QTest::newRow("14 model of 12 in quotes")
        << 14 << QStringLiteral("\"30216       \",1,0.37,1.6,0,150");
    QTest::newRow("15 empty") << 15 << QString();
    QTest::newRow("17 short model padded to 12")
        << 17 << QStringLiteral("\"30216       \",1,0.37,1.6,0,150");
    QTest::newRow("20 optAssembleA") << 20 << QStringLiteral("#TRUE#,#FALSE#");
    QTest::newRow("22 full-width then ASCII comma")
        << 22 << QStringLiteral("前一项为0不考虑\uFF0C1考虑,后一项为自重");
    QTest::newRow("23 self-weight off") << 23 << QStringLiteral("0,0");
    QTest::newRow("27 gear forces")
        << 27 << QStringLiteral("2865,1058.86,-505.18,3183.33,1184.52,676.64");
    QTest::newRow("30 gear 2 components") << 30 << QStringLiteral("3183.33,0,0,-1184.52");
    QTest::newRow("33 B before A") << 33 << QStringLiteral("850.52,-724.86,-2992.33,-3056");
    QTest::newRow("36 internal axial forces") << 36 << QStringLiteral("981.5,-972.14");
    QTest::newRow("39 bearing A") << 39 << QStringLiteral("3140.79,981.5,3140.79");
    QTest::newRow("42 bearing B") << 42 << QStringLiteral("3110.86,1152.96,3089.08");
    QTest::newRow("45 lives in hours") << 45 << QStringLiteral("6587051,6961850");
}

void TestDetailedData::workedExampleLines()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    const QStringList lines = DetailedDataLines(in, r, QStringLiteral("G-101"), true, false);
    QCOMPARE(lines.size(), 45);
    QCOMPARE(lines.at(line - 1), expected);
}

void TestDetailedData::windowStateLines_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("assembleA");
    QTest::addColumn<bool>("assembleB");
    QTest::addColumn<QString>("line4");
    QTest::addColumn<QString>("line20");

    QTest::newRow("neither option")
        << QStringLiteral("G-102") << false << false << QStringLiteral("编号:  G-102")
        << QStringLiteral("#FALSE#,#FALSE#");
    QTest::newRow("optAssembleB, empty number")
        << QString() << false << true << QStringLiteral("编号:  ")
        << QStringLiteral("#FALSE#,#TRUE#");
}

void TestDetailedData::windowStateLines()
{
    QFETCH(QString, number);
    QFETCH(bool, assembleA);
    QFETCH(bool, assembleB);
    QFETCH(QString, line4);
    QFETCH(QString, line20);
    CalcInput in;
    CalcResult r;
    workedExample(in, r); // computed with optAssembleA; the window now shows other options
    const QStringList lines = DetailedDataLines(in, r, number, assembleA, assembleB);
    QCOMPARE(lines.at(3), line4);
    QCOMPARE(lines.at(19), line20);
}

void TestDetailedData::selfWeightLine_data()
{
    QTest::addColumn<int>("weightOn");
    QTest::addColumn<float>("g");
    QTest::addColumn<QString>("expected");
    QTest::newRow("on, 12 kg") << 1 << -117.6f << QStringLiteral("1,-117.6");
    QTest::newRow("on, 0 kg gives -0") << 1 << -0.0f << QStringLiteral("1,0");
    QTest::newRow("off") << 0 << 0.0f << QStringLiteral("0,0");
}

void TestDetailedData::selfWeightLine()
{
    QFETCH(int, weightOn);
    QFETCH(float, g);
    QFETCH(QString, expected);
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    in.WeightOn = static_cast<std::int16_t>(weightOn);
    in.G = g;
    QCOMPARE(DetailedDataLines(in, r, QString(), false, false).at(22), expected);
}

void TestDetailedData::fileAndDialog()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    ScriptedPrompter prompter;
    const QString path = dir.filePath(QStringLiteral("detail.txt"));
    prompter.savePaths << path;
    QString dialogName = QStringLiteral("report-of-before.txt");

    QVERIFY(WriteDetailedData(prompter, dialogName, in, r, QStringLiteral("G-101"), true, false));
    QCOMPARE(dialogName, path);
    QVERIFY(prompter.shown.isEmpty());

    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes.count("\r\n"), 45);
    QCOMPARE(bytes.count('\n'), 45);
    QVERIFY(bytes.endsWith("LhA,LhB //\r\n6587051,6961850\r\n"));
    // Line 22 in GBK: the full-width comma is A3 AC, the second comma plain ASCII.
    QVERIFY(bytes.contains("\xa3\xac"
                           "1"));
    QVERIFY(bytes.contains("#TRUE#,#FALSE#\r\n"));
}

void TestDetailedData::cancelLeavesNoFile()
{
    QTemporaryDir dir;
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    ScriptedPrompter prompter; // the dialog is cancelled
    QString dialogName = QStringLiteral("G-101");
    QVERIFY(!WriteDetailedData(prompter, dialogName, in, r, QString(), false, false));
    QCOMPARE(prompter.dialogs.size(), 1);
    QVERIFY(prompter.shown.isEmpty());
    QCOMPARE(dialogName, QStringLiteral("G-101"));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(TestDetailedData)
#include "tst_detaileddata.moc"
