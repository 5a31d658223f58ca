// The result report: its 19 lines (number items, comma lines, column items) and writing it as a
// GBK file with CR LF through the save dialog, including the failures the user must be told about.

#include "records/resultreport.h"
#include "records/textfile.h"
#include "support/scriptedprompter.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// A test run with root privileges ignores folder permissions. This drops that override from the
// thread for the scope, so a read-only folder refuses new files as it does for an ordinary user.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &dir)
        : m_dir(dir)
    {
        QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::ExeOwner);
#ifdef Q_OS_LINUX
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (syscall(SYS_capget, &m_header, m_saved) == 0) {
            __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
            reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
            m_dropped = syscall(SYS_capset, &m_header, reduced) == 0;
        }
#endif
    }
    ~ReadOnlyFolder()
    {
#ifdef Q_OS_LINUX
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
#endif
        QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // False when the folder still accepts new files (the test then cannot check anything).
    bool effective() const
    {
        QFile probe(m_dir + QStringLiteral("/probe"));
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.remove();
        return false;
    }

private:
    QString m_dir;
#ifdef Q_OS_LINUX
    __user_cap_header_struct m_header {};
    __user_cap_data_struct m_saved[2] {};
    bool m_dropped = false;
#endif
};

// The worked example of the load calculation with its published results (two decimals), bearings
// 30216 of type 1 (e 0.37, Y1 1.6, Cr 150 kN), optAssembleA, no self-weight.
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

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestResultReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    void workedExampleLines_data();
    void workedExampleLines();
    void powerLine_data();
    void powerLine();
    void bearingLine_data();
    void bearingLine();
    void commaLines();
    void columnItems();

    void writesGbkWithCrLf();
    void cancelWritesNothing();
    void failedWriteIsReported_data();
    void failedWriteIsReported();
    void readOnlyFolderKeepsOldFile();
};

void TestResultReport::workedExampleLines_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");

    QTest::newRow("1 title") << 1 << QStringLiteral("* * * * * Tolvenar * * * * *");
    // "编号" fills columns 1-4 (two bytes a character), the number starts in column 6.
    QTest::newRow("2 number at column 6") << 2 << QStringLiteral("编号 G-101");
    QTest::newRow("3 two powers, L1 not L")
        << 3 << QStringLiteral("P=  30 / 20 kW  n= 1000 rpm  L1= 80 mm");
    QTest::newRow("4 empty") << 4 << QString();
    // 6587051 h / 10000 = 658.7051 -> 658.71.
    QTest::newRow("5 bearing A") << 5
                                 << QStringLiteral("A 轴承 30216 Cr= 150 kN  LhA= 658.71 万小时");
    // 6961850 / 10000 as a float is 696.18499755..., just below the half: 696.18.
    QTest::newRow("6 bearing B") << 6
                                 << QStringLiteral("B 轴承 30216 Cr= 150 kN  LhB= 696.18 万小时");
    QTest::newRow("7 empty") << 7 << QString();
    QTest::newRow("11 gear 1 forces") << 11 << QStringLiteral("2865,1058.86,-505.18");
    QTest::newRow("13 gear 2 forces") << 13 << QStringLiteral("3183.33,1184.52,676.64");
    QTest::newRow("15 loads A") << 15 << QStringLiteral("RA=  3140.79  FaA=  981.5  PA=  3140.79 ");
    QTest::newRow("17 loads B") << 17
                                << QStringLiteral("RB=  3110.86  FaB=  1152.96  PB=  3089.08 ");
    QTest::newRow("18 empty") << 18 << QString();
    // "计算日期" fills columns 1-8, the date starts in column 11.
    QTest::newRow("19 date at column 11") << 19 << QStringLiteral("计算日期  2024/3/9");
}

void TestResultReport::workedExampleLines()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    const QStringList lines
        = ResultReportLines(in, r, QStringLiteral("G-101"), QStringLiteral("2024/3/9"));
    QCOMPARE(lines.size(), 19);
    QCOMPARE(lines.at(line - 1), expected);
}

void TestResultReport::powerLine_data()
{
    QTest::addColumn<float>("p1");
    QTest::addColumn<float>("p2");
    QTest::addColumn<float>("n");
    QTest::addColumn<int>("l1");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one power 5.5")
        << 5.5f << 5.5f << 960.0f << 120 << QStringLiteral("P=  5.5 kW  n= 960 rpm  L1= 120 mm");
    QTest::newRow("two powers 5.5 and 3")
        << 5.5f << 3.0f << 960.0f << 120
        << QStringLiteral("P=  5.5 / 3 kW  n= 960 rpm  L1= 120 mm");
    // 5.50005 - 5.5 is about 0.00005 in floats: one power.
    QTest::newRow("difference below 0.0001")
        << 5.5f << 5.50005f << 960.0f << 120
        << QStringLiteral("P=  5.5 kW  n= 960 rpm  L1= 120 mm");
    QTest::newRow("difference 0.0002")
        << 5.5f << 5.5002f << 960.0f << 120
        << QStringLiteral("P=  5.5 / 5.5002 kW  n= 960 rpm  L1= 120 mm");
    QTest::newRow("negative speed and position: sign in place of the blank")
        << 5.5f << 5.5f << -960.0f << -12 << QStringLiteral("P=  5.5 kW  n=-960 rpm  L1=-12 mm");
    QTest::newRow("below 1 keeps its leading zero")
        << 0.75f << 0.75f << 960.0f << 120 << QStringLiteral("P=  0.75 kW  n= 960 rpm  L1= 120 mm");
}

void TestResultReport::powerLine()
{
    QFETCH(float, p1);
    QFETCH(float, p2);
    QFETCH(float, n);
    QFETCH(int, l1);
    QFETCH(QString, expected);
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    in.P1 = p1;
    in.P2 = p2;
    in.n = n;
    in.L1 = static_cast<std::int16_t>(l1);
    QCOMPARE(ResultReportLines(in, r, QString(), QString()).at(2), expected);
}

void TestResultReport::bearingLine_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<float>("cr");
    QTest::addColumn<float>("hours");
    QTest::addColumn<QString>("expected");

    QTest::newRow("five characters and seven blanks")
        << QStringLiteral("22208       ") << 150.0f << 6587051.0f
        << QStringLiteral("A 轴承 22208 Cr= 150 kN  LhA= 658.71 万小时");
    QTest::newRow("leading blank kept")
        << QStringLiteral(" 6208       ") << 29.5f << 85432.0f
        << QStringLiteral("A 轴承  6208 Cr= 29.5 kN  LhA= 8.54 万小时");
    // 123456.7 h -> 12.34567 -> 12.35.
    QTest::newRow("life 12.34567 rounds to 12.35")
        << QStringLiteral("N208E") << 51.5f << 123456.7f
        << QStringLiteral("A 轴承 N208E Cr= 51.5 kN  LhA= 12.35 万小时");
    QTest::newRow("life above 10^7 h, all digits")
        << QStringLiteral("23040") << 1500.0f << 1.5e9f
        << QStringLiteral("A 轴承 23040 Cr= 1500 kN  LhA= 150000 万小时");
}

void TestResultReport::bearingLine()
{
    QFETCH(QString, model);
    QFETCH(float, cr);
    QFETCH(float, hours);
    QFETCH(QString, expected);
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    in.ModelA = model;
    in.CrA = cr;
    r.LhA = hours;
    QCOMPARE(ResultReportLines(in, r, QString(), QString()).at(4), expected);
}

void TestResultReport::commaLines()
{
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    r.Ft1 = -12.5f;
    r.Fr1 = 0.5f;
    r.Fa1 = 0;
    r.Ft2 = 12345678.0f;
    r.Fr2 = -0.000001f;
    r.Fa2 = 0.1f;
    const QStringList lines = ResultReportLines(in, r, QString(), QString());
    QCOMPARE(lines.at(10), QStringLiteral("-12.5,0.5,0"));
    QCOMPARE(lines.at(12), QStringLiteral("1.234568E+07,-1E-06,0.1"));
}

void TestResultReport::columnItems()
{
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    const QStringList empty = ResultReportLines(in, r, QString(), QStringLiteral("09.03.24"));
    QCOMPARE(empty.at(1), QStringLiteral("编号 "));
    QCOMPARE(empty.at(18), QStringLiteral("计算日期  09.03.24"));
    // The number box text is written as shown, blanks and lower case included.
    const QStringList raw = ResultReportLines(in, r, QStringLiteral(" g-7 "), QString());
    QCOMPARE(raw.at(1), QStringLiteral("编号  g-7 "));
}

void TestResultReport::writesGbkWithCrLf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    ScriptedPrompter prompter;
    const QString path = dir.filePath(QStringLiteral("report.txt"));
    {
        QFile old(path); // an existing, longer file is replaced without a question
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    prompter.savePaths << path;
    QString dialogName = QStringLiteral("previous.txt");

    QVERIFY(SaveResultReport(
        prompter, dialogName, in, r, QStringLiteral("G-101"), QStringLiteral("2024/3/9")));
    QCOMPARE(prompter.dialogs.size(), 1);
    QVERIFY(prompter.shown.isEmpty()); // no question, and success is silent
    QCOMPARE(dialogName, path);

    const QByteArray bytes = readAll(path);
    QVERIFY(!bytes.contains('x'));
    QCOMPARE(bytes.count("\r\n"), 19);
    QCOMPARE(bytes.count('\n'), 19);
    QVERIFY(bytes.startsWith("* * * * * Tolvenar * * * * *\r\n\xb1\xe0\xba\xc5 G-101\r\n"));
    // 万小时 in GBK: CD F2 D0 A1 CA B1.
    QVERIFY(bytes.contains("LhA= 658.71 \xcd\xf2\xd0\xa1\xca\xb1\r\n"));
    QVERIFY(bytes.endsWith("\xbc\xc6\xcb\xe3\xc8\xd5\xc6\xda  2024/3/9\r\n"));
}

void TestResultReport::cancelWritesNothing()
{
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    ScriptedPrompter prompter; // no path queued: the dialog is cancelled
    QString dialogName = QStringLiteral("earlier.txt");
    QVERIFY(!SaveResultReport(prompter, dialogName, in, r, QStringLiteral("G-101"), QString()));
    QCOMPARE(prompter.dialogs.size(), 1);
    QVERIFY(prompter.shown.isEmpty());
    QCOMPARE(dialogName, QStringLiteral("G-101")); // the proposal was the number text
}

void TestResultReport::failedWriteIsReported_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::newRow("missing folder") << QStringLiteral("no such folder/report.txt");
    QTest::newRow("name of a folder") << QStringLiteral("sub");
}

void TestResultReport::failedWriteIsReported()
{
    QFETCH(QString, relativePath);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    ScriptedPrompter prompter;
    const QString path = dir.filePath(relativePath);
    prompter.savePaths << path;
    QString dialogName;
    QVERIFY(!SaveResultReport(prompter, dialogName, in, r, QStringLiteral("G-101"), QString()));

    QCOMPARE(prompter.shown.size(), 1);
    const ScriptedPrompter::Shown &box = prompter.shown.first();
    QCOMPARE(box.title, QStringLiteral("Tolvenar"));
    QCOMPARE(box.buttons, int(Prompter::Ok));
    QCOMPARE(box.icon, Prompter::Icon::Information);
    QVERIFY2(box.text.startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": ")),
        qPrintable(box.text));
    QVERIFY(box.text.size() > path.size() + 2); // a reason follows the name
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty()); // no leftovers
}

void TestResultReport::readOnlyFolderKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.txt"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old report\r\n");
    }
    CalcInput in;
    CalcResult r;
    workedExample(in, r);
    ScriptedPrompter prompter;
    prompter.savePaths << path << dir.filePath(QStringLiteral("new.txt"));
    QString dialogName;

    ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.effective())
        QSKIP("this account can write into read-only folders");
    // Replacing an existing report and creating a new one both fail.
    QVERIFY(!SaveResultReport(prompter, dialogName, in, r, QStringLiteral("G-101"), QString()));
    QVERIFY(!SaveResultReport(prompter, dialogName, in, r, QStringLiteral("G-101"), QString()));
    QCOMPARE(prompter.shown.size(), 2);
    QVERIFY(prompter.shown.at(0).text.startsWith(QDir::toNativeSeparators(path)));
    QVERIFY(prompter.shown.at(0).text.contains(QStringLiteral("只读")));
    QVERIFY(prompter.shown.at(1).text.contains(QStringLiteral("new.txt")));
    QCOMPARE(readAll(path), QByteArray("old report\r\n"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("new.txt"))));
}

QTEST_GUILESS_MAIN(TestResultReport)
#include "tst_resultreport.moc"
