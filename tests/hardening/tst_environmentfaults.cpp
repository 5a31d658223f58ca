// Failures of the surroundings: a read-only application folder, a bearing.sav that is a folder, a
// full disk and a record file removed between two commands, met by the writers (saving
// parameters, the report file, the data manager's 更新, the merger). Each failure is told in the
// program's box, naming the file and the reason, and no record and no earlier report is lost.
// Then a catalogue the data manager could not read whole, which it stores only when the user
// agrees, after keeping the file in bearing.bak.

#include "records/frmcombiner.h"
#include "records/recordfile.h"
#include "records/resultreport.h"
#include "records/saveparameters.h"
#include "support/filefaults.h"
#include "support/workedexample.h"
#include "ui/bearings/frmediter.h"

#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <optional>

using namespace Fixture;

namespace {

enum Command { Save, SaveOver, Report, Update, Merge };
enum EnvFault { ReadOnlyFolder, BearingIsFolder, DiskFull, Removed };

void click(QWidget &w, const char *name)
{
    QTest::mouseClick(w.findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
}

void activate(QWidget &w)
{
    QEvent event(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&w, &event);
}

QByteArray dataOf(const QString &path, int slot, int data)
{
    QByteArray out;
    const QByteArray bytes = readFile(path);
    for (qsizetype at = 0; at + slot <= bytes.size(); at += slot)
        out += bytes.mid(at, data) + '|';
    return out;
}

// Whether every record of before (its data bytes) is still in the file.
bool keptAll(const QByteArray &before, const QString &path, int slot, int data)
{
    const QByteArray now = dataOf(path, slot, data);
    const QList<QByteArray> records = before.split('|');
    return std::all_of(records.begin(), records.end() - 1,
        [&](const QByteArray &r) { return now.contains(QByteArray(r + '|')); });
}

// The failure box of the program that names path and gives reason.
bool told(const ScriptedPrompter &prompter, const QString &path, const QString &reason)
{
    return std::any_of(prompter.shown.begin(), prompter.shown.end(), [&](const auto &s) {
        return isFailureBox(s) && s.text.contains(QDir::toNativeSeparators(path))
            && s.text.contains(reason);
    });
}

} // namespace

class tst_EnvironmentFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void faults_data();
    void faults();
    void partlyReadCatalogue_data();
    void partlyReadCatalogue();
};

void tst_EnvironmentFaults::faults_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("file"); // named in the failure box; empty: the command succeeds
    QTest::addColumn<QString>("reason");
    const char *const commands[] = { "save", "save over", "report", "update", "merge" };
    const char *const faults[]
        = { "read-only folder", "bearing.sav a folder", "disk full", "file removed" };
    // Every record writer replaces its file through a new one beside it, which a read-only folder
    // refuses; the box names the file the user knows (and the scratch file in the reason).
    const struct
    {
        Command command;
        EnvFault fault;
        const char *file, *reason;
    } rows[] = {
        { Save, ReadOnlyFolder, "gear.sav", "无法创建临时文件 gear.tmp" },
        { Save, BearingIsFolder, "bearing.sav", "不是一个文件" },
        { Save, DiskFull, "gear.sav", "写入失败" },
        { SaveOver, DiskFull, "gear.sav", "写入失败" }, // replacing G-101
        { Report, ReadOnlyFolder, "", "" }, // the report itself may be written: in place
        { Report, DiskFull, "report.txt", "写入失败" },
        { Update, ReadOnlyFolder, "bearing.sav", "无法创建临时文件 temp.sav" },
        { Update, Removed, "", "" }, // the list, read before, is stored again
        { Merge, DiskFull, "bearing.sav", "写入失败" },
        { Merge, Removed, "", "" },
    };
    for (const auto &r : rows) {
        QTest::addRow("%s, %s", commands[r.command], faults[r.fault])
            << int(r.command) << int(r.fault) << QString::fromLatin1(r.file)
            << QString::fromUtf8(r.reason);
    }
}

void tst_EnvironmentFaults::faults()
{
    QFETCH(int, command);
    QFETCH(int, fault);
    QFETCH(QString, file);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RecordFiles::setAppDirectory(dir.path());
    const QString gear = RecordFiles::gearPath(), bearing = RecordFiles::bearingPath();
    const QString report = dir.filePath(QStringLiteral("report.txt"));
    const QString source = dir.filePath(QStringLiteral("source.sav"));
    QVERIFY(writeFile(gear, workedShaftBytes() + QByteArray(42, '\0')));
    QVERIFY(
        writeFile(bearing, bearingSlot("22210") + bearingSlot("6205") + bearingSlot("NU2210E")));
    QVERIFY(writeFile(report, "old report\r\n"));
    QVERIFY(writeFile(source, bearingSlot("6206") + bearingSlot("6207")));
    const QByteArray gearBefore = dataOf(gear, 116, 74), bearingBefore = dataOf(bearing, 48, 35);
    if (fault == BearingIsFolder)
        QVERIFY(QFile::remove(bearing) && QDir().mkdir(bearing));

    // The first command: the windows load (and read) before the fault strikes.
    ScriptedPrompter prompter;
    frmEditer editer(prompter);
    frmCombiner combiner(prompter);
    if (command == Update)
        activate(editer);
    prompter.openPaths = { source };
    click(combiner, "cmdOpenFile");
    prompter.clear();

    std::optional<ReadOnly> readOnly;
    std::optional<FileSizeLimit> fileSizeLimit;
    if (fault == ReadOnlyFolder) {
        readOnly.emplace(QStringList { dir.path() });
        if (!readOnly->effective())
            QSKIP("the folder still takes new files");
    } else if (fault == DiskFull) {
        fileSizeLimit.emplace(40);
    } else if (fault == Removed) {
        QVERIFY(QFile::remove(bearing));
    }

    QString dialogName;
    prompter.savePaths = { report };
    const auto save = [&](const char *number) {
        FakeWindow window;
        window.apply({ QString::fromLatin1(number), QStringLiteral("txtParameter_2=1500"),
            QStringLiteral("txtBearingA_0=6208") });
        CalcInput input;
        OptionFlags flags {};
        RecordCopies copies;
        SaveParameters(window, input, flags, copies, prompter); // replaces G-101 when asked
    };
    const std::function<void()> run[] = {
        [&] { save("txtParameter_0=G-102"); },
        [&] { save("txtParameter_0=G-101"); },
        [&] {
            SaveResultReport(prompter, dialogName, workedInput(), workedResult(),
                QStringLiteral("G-101"), QStringLiteral("2024-05-06"));
        },
        [&] { click(editer, "cmdUpdate"); },
        [&] { click(combiner, "cmdStart"); },
    };
    run[command]();
    readOnly.reset();
    fileSizeLimit.reset();

    if (file.isEmpty()) {
        QVERIFY2(!prompter.texts().join(u'\n').contains(QDir::toNativeSeparators(dir.path())),
            qPrintable(prompter.texts().join(u'\n')));
    } else {
        QVERIFY2(
            told(prompter, dir.filePath(file), reason), qPrintable(prompter.texts().join(u'\n')));
    }
    // Nothing lost: the records there before are still there (unless their file was removed, or
    // the data manager stored its list again), an old report is whole or replaced by a whole one.
    QVERIFY(keptAll(gearBefore, gear, 116, 74));
    if (fault == BearingIsFolder)
        QVERIFY(QFileInfo(bearing).isDir());
    else if (!(fault == Removed && command == Merge))
        QVERIFY(keptAll(bearingBefore, bearing, 48, 35));
    const QByteArray reportNow = readFile(report);
    QVERIFY(
        reportNow == "old report\r\n" || (reportNow.endsWith("\r\n") && reportNow.size() > 200));
    // No scratch file is left behind.
    const QString left = QDir(dir.path()).entryList(QDir::Files).join(u' ');
    QVERIFY2(QStringLiteral("bearing.sav gear.sav report.txt source.sav").contains(left),
        qPrintable(left));
    if (file.isEmpty()) { // and the command did its work
        const bool done[] = { dataOf(gear, 116, 15).contains("G-102"), false,
            reportNow.size() > 200, dataOf(bearing, 48, 12).count('|') == 3,
            dataOf(bearing, 48, 12).contains("6207") };
        QVERIFY(done[command]);
    }
}

void tst_EnvironmentFaults::partlyReadCatalogue_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("answer"); // to the question; 0: no question, refused
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QByteArray>("stored"); // bearing.sav after a Yes
    const QByteArray a = bearingSlot("22210"), b = bearingSlot("6205"), c = bearingSlot("NU2210E");
    const QByteArray bad = bearingSlot("AB\xD6 C\x7F"); // not GBK: stored back byte for byte
    const QByteArray full = QByteArray(b).repeated(RecordLayout::MaxRecords);
    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *problem;
        QByteArray stored;
    } rows[] = {
        { "torn tail", a + b + c + "torn", "bearing.sav 末尾有 4 个字节不是完整记录", a + b + c },
        { "model not GBK", a + b + c + bad, "第 4 个记录的型号不是有效的 GBK 编码",
            a + b + bad + c },
        { "beyond 32767", full + a, "只读入了前 32767 个记录", full },
    };
    for (const auto &r : rows) {
        for (const int answer : { int(Prompter::No), int(Prompter::Yes) }) {
            QTest::addRow("%s, %s", r.name, answer == Prompter::Yes ? "yes" : "no")
                << r.bytes << answer << QString::fromUtf8(r.problem) << r.stored;
        }
    }
    QTest::newRow("unreadable") << a + b + c << 0 << QStringLiteral("无法打开文件") << QByteArray();
}

// 更新 on a catalogue not read whole asks once; No changes nothing, Yes keeps the file in
// bearing.bak and stores the list. One that could not be read at all is never stored.
void tst_EnvironmentFaults::partlyReadCatalogue()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, answer);
    QFETCH(QString, problem);
    QFETCH(QByteArray, stored);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RecordFiles::setAppDirectory(dir.path());
    const QString bearing = RecordFiles::bearingPath(),
                  backup = dir.filePath(QStringLiteral("bearing.bak"));
    QVERIFY(writeFile(bearing, bytes));
    QVERIFY(writeFile(backup, "older backup"));

    ScriptedPrompter prompter;
    frmEditer editer(prompter);
    std::optional<ReadOnly> locked;
    if (answer == 0) {
        locked.emplace(QStringList { bearing });
        QFile::setPermissions(bearing, {});
        if (QFile(bearing).open(QIODevice::ReadOnly))
            QSKIP("the file is still readable");
    }
    activate(editer);
    prompter.answers = { answer };
    click(editer, "cmdUpdate"); // sorting alone
    locked.reset();

    QCOMPARE(prompter.shown.size(), 1);
    const auto &box = prompter.shown.first();
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(bearing)) && box.text.contains(problem),
        qPrintable(box.text));
    if (answer == 0) {
        QVERIFY(isFailureBox(box) && box.text.contains(QStringLiteral("不能更新")));
    } else {
        QCOMPARE(box.buttons, int(Prompter::Yes | Prompter::No));
        QVERIFY(box.text.contains(QStringLiteral("bearing.bak")));
    }
    const bool yes = answer == Prompter::Yes;
    QCOMPARE(readFile(bearing), yes ? stored : bytes);
    QCOMPARE(readFile(backup), yes ? bytes : QByteArray("older backup"));
    QVERIFY(!QFile::exists(RecordFiles::tempPath()));
}

QTEST_MAIN(tst_EnvironmentFaults)
#include "tst_environmentfaults.moc"
