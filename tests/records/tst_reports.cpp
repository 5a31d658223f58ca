// The result report (19 lines) and the detailed calculation data file (45 lines): the worked
// example line by line, the number forms, and writing them as GBK with CR LF through the dialog.

#include "records/detaileddata.h"
#include "records/resultreport.h"
#include "support/workedexample.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using Fixture::readFile;
using Fixture::workedInput;
using Fixture::workedResult;

namespace {

QStringList lines(const char16_t *text)
{
    return QString::fromUtf16(text).split(u'\n');
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    // "编号" fills columns 1-4 (two bytes a character): the number starts in column 6; the date
    // after "计算日期" in column 11. 6587051 h / 10000 = 658.7051 -> 658.71; 6961850 / 10000 as a
    // float is 696.18499..., below the half: 696.18.
    void resultReportOfWorkedExample()
    {
        QCOMPARE(ResultReportLines(workedInput(), workedResult(), QStringLiteral("G-101"),
                     QStringLiteral("2024/3/9")),
            lines(uR"(* * * * * Tolvenar * * * * *
编号 G-101
P=  30 / 20 kW  n= 1000 rpm  L1= 80 mm

A 轴承 30216 Cr= 150 kN  LhA= 658.71 万小时
B 轴承 30216 Cr= 150 kN  LhB= 696.18 万小时

计算数据 (单位: N)
齿轮受力
Ft1,Fr1,Fa1 //
2865,1058.86,-505.18
Ft2,Fr2,Fa2 //
3183.33,1184.52,676.64
A 轴承受力
RA=  3140.79  FaA=  981.5  PA=  3140.79 
B 轴承受力
RB=  3110.86  FaB=  1152.96  PB=  3089.08 

计算日期  2024/3/9)"));
    }

    // clang-format off
    void resultReportForms_data()
    {
        QTest::addColumn<CalcInput>("in");
        QTest::addColumn<CalcResult>("r");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        CalcInput in = workedInput();
        CalcResult r = workedResult();
        in.P1 = in.P2 = 5.5f, in.n = 960, in.L1 = 120;
        QTest::newRow("one power") << in << r << 3
                                   << QStringLiteral("P=  5.5 kW  n= 960 rpm  L1= 120 mm");
        in.P2 = 5.50005f; // the float difference is about 0.00005
        QTest::newRow("difference below 0.0001: one power")
            << in << r << 3 << QStringLiteral("P=  5.5 kW  n= 960 rpm  L1= 120 mm");
        in.P2 = 3;
        QTest::newRow("two powers") << in << r << 3
                                    << QStringLiteral("P=  5.5 / 3 kW  n= 960 rpm  L1= 120 mm");
        in.P1 = in.P2 = 0.75f, in.n = -960, in.L1 = -12;
        QTest::newRow("sign in place of the blank, leading zero")
            << in << r << 3 << QStringLiteral("P=  0.75 kW  n=-960 rpm  L1=-12 mm");
        in = workedInput();
        in.ModelA = QStringLiteral(" 6208       "), in.CrA = 29.5f, r.LhA = 123456.7f;
        QTest::newRow("leading blank of the model, 12.34567 -> 12.35")
            << in << r << 5 << QStringLiteral("A 轴承  6208 Cr= 29.5 kN  LhA= 12.35 万小时");
        r.Ft1 = -12.5f, r.Fr1 = 0.5f, r.Fa1 = 0;
        QTest::newRow("comma line, negative") << in << r << 11 << QStringLiteral("-12.5,0.5,0");
        r.Ft2 = 12345678, r.Fr2 = -0.000001f, r.Fa2 = 0.1f;
        QTest::newRow("comma line, exponents") << in << r << 13
                                               << QStringLiteral("1.234568E+07,-1E-06,0.1");
    }
    // clang-format on
    void resultReportForms()
    {
        QFETCH(CalcInput, in);
        QFETCH(CalcResult, r);
        QFETCH(int, line);
        QFETCH(QString, text);
        QCOMPARE(ResultReportLines(in, r, QString(), QString()).at(line - 1), text);
    }

    // "编号:" fills columns 1-5, the number starts in column 8. The window shows optAssembleA.
    void detailedDataOfWorkedExample()
    {
        QCOMPARE(
            DetailedDataLines(workedInput(), workedResult(), QStringLiteral("G-101"), true, false),
            lines(uR"(坐标设定: Y-齿轮1所受圆周力方向; Z-齿轮1所受径向力方向
          X-轴承A指向轴承B方向
-------------------------------------------------------
编号:  G-101
P1,P2,n,T1,T2,L,ALFA //
30,20,1000,286.5,191,300,180
齿轮参数
轴向力方向 -1无轴向力,1向左,0向右
L1,d1,BTA1,ALFA1,Fa1方向,L2,d2,BTA2,ALFA2,Fa2方向 //
80,200,10,20,1,90,120,12,20,0
轴承参数
轴承类型 0调心轴承,1单列圆锥轴承,2配对圆锥轴承,3圆柱滚子轴承,4角接触球轴承
A型号,类型,e,Y1,Y2,Cr //
"30216       ",1,0.37,1.6,0,150

B型号,类型,e,Y1,Y2,Cr //
"30216       ",1,0.37,1.6,0,150
装配形式 //
前一项若为TRUE,表示面对面安装或A游动,后一项若为TRUE,表示背对背安装或B游动
#TRUE#,#FALSE#
是否考虑自重影响及自重 //
前一项为0不考虑，1考虑,后一项为自重
0,0
详细计算数据:
齿轮受力
Ft1,Fr1,Fa1,Ft2,Fr2,Fa2 //
2865,1058.86,-505.18,3183.33,1184.52,676.64
齿轮2受力分解
Ft2y,Ft2z,Fr2y,Fr2z //
3183.33,0,0,-1184.52
轴承受力(分别在X-Z平面,X-Y平面)
RxzB,RxzA,RxyB,RxyA //
850.52,-724.86,-2992.33,-3056
内部轴向力
Sa,Sb //
981.5,-972.14
轴承A受力
RA,FA,PA //
3140.79,981.5,3140.79
轴承B受力
RB,FB,PB //
3110.86,1152.96,3089.08
轴承寿命
LhA,LhB //
6587051,6961850)"));
    }

    // Both commands through the dialog: the name proposed, an existing file replaced without a
    // question, GBK with CR LF, the chosen path kept; Cancel writes nothing and stays silent.
    void writtenThroughTheDialog()
    {
        QTemporaryDir dir;
        const QString report = dir.filePath(QStringLiteral("report.txt"));
        const QString detail = dir.filePath(QStringLiteral("detail.txt"));
        QVERIFY(Fixture::writeFile(report, QByteArray(5000, 'x')));
        ScriptedPrompter prompter;
        prompter.savePaths = { report, detail };
        QString dialogName = QStringLiteral("previous.txt");
        QVERIFY(SaveResultReport(prompter, dialogName, workedInput(), workedResult(),
            QStringLiteral("G-101"), QStringLiteral("2024/3/9")));
        QCOMPARE(dialogName, report);
        QVERIFY(WriteDetailedData(prompter, dialogName, workedInput(), workedResult(),
            QStringLiteral("G-101"), true, false));
        QCOMPARE(dialogName, detail);
        QCOMPARE(prompter.dialogs.size(), 2);
        QVERIFY(prompter.shown.isEmpty());

        const QByteArray bytes = readFile(report);
        QCOMPARE(bytes.count("\r\n"), 19);
        QCOMPARE(bytes.count('\n'), 19);
        QVERIFY(bytes.startsWith("* * * * * Tolvenar * * * * *\r\n\xb1\xe0\xba\xc5 G-101\r\n"));
        QVERIFY(bytes.contains("LhA= 658.71 \xcd\xf2\xd0\xa1\xca\xb1\r\n")); // 万小时
        QVERIFY(bytes.endsWith("\xbc\xc6\xcb\xe3\xc8\xd5\xc6\xda  2024/3/9\r\n"));
        const QByteArray detailBytes = readFile(detail);
        QCOMPARE(detailBytes.count("\r\n"), 45);
        QVERIFY(detailBytes.contains("\xa3\xac"
                                     "1")); // the full-width comma of line 22
        QVERIFY(detailBytes.endsWith("LhA,LhB //\r\n6587051,6961850\r\n"));

        prompter.clear();
        dialogName = QStringLiteral("earlier.txt");
        QVERIFY(!SaveResultReport(
            prompter, dialogName, workedInput(), workedResult(), QStringLiteral("G-7"), QString()));
        QCOMPARE(dialogName, QStringLiteral("G-7")); // the proposal was the number text
        QVERIFY(!WriteDetailedData(
            prompter, dialogName, workedInput(), workedResult(), QString(), false, false));
        QCOMPARE(prompter.dialogs.size(), 2);
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
