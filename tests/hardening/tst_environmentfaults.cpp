// Failures of the surroundings: a read-only application folder, a bearing.sav that is a folder, a
// full disk and a record file removed between two commands, met by the writers (saving
// parameters, the report file, the data manager's 更新, the merger). Each failure is told in the
// program's box, naming the file and the reason, and no record and no earlier report is lost.
// Then a catalogue the data manager could not read whole, which it stores only when the user
// agrees, after keeping the file in bearing.bak.

#include "records/combiner.h"
#include "records/frmcombiner.h"
#include "records/recordfile.h"
#include "records/resultreport.h"
#include "records/saveparameters.h"
#include "support/filefaults.h"
#include "support/workedexample.h"
#include "ui/bearings/catalogue.h"
#include "ui/bearings/frmediter.h"

#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <optional>

#include <sys/stat.h>

using namespace Fixture;

namespace {

enum Command { Save, SaveOver, Report, Update, Merge };
enum EnvFault { ReadOnlyFolder, BearingIsFolder, DiskFull, Removed };

void click(QWidget &w, const char *name)
{
    QTest::mouseClick(w.findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
}

// Opens a window: the data manager reads bearing.sav as it opens.
void activate(QWidget &w)
{
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
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
    void linksAndPermissions_data();
    void linksAndPermissions();
    void textFileInReadOnlyFolder_data();
    void textFileInReadOnlyFolder();
    void anotherCopyWritesMeanwhile_data();
    void anotherCopyWritesMeanwhile();
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

void tst_EnvironmentFaults::linksAndPermissions_data()
{
    QTest::addColumn<QString>("plant"); // name=link target, or name:mode
    QTest::addColumn<QString>("write"); // gear, bearing or dump
    QTest::addColumn<QString>("reason"); // of the failure; empty: the write succeeds
    // A link planted under a name the program writes must never lead the write to the file it
    // points to; the victim lies in another folder.
    QTest::newRow("gear.tmp link") << "gear.tmp=victim"
                                   << "gear"
                                   << "";
    QTest::newRow("temp.sav link") << "temp.sav=victim"
                                   << "bearing"
                                   << "";
    QTest::newRow("TestData.txt link") << "TestData.txt=victim"
                                       << "dump"
                                       << "";
    QTest::newRow("gear.bak link, torn tail") << "gear.bak=victim"
                                              << "gear"
                                              << "";
    // A replacement keeps who may read it.
    QTest::newRow("private gear.sav") << "gear.sav:600"
                                      << "gear"
                                      << "";
    QTest::newRow("group-writable catalogue") << "bearing.sav:664"
                                              << "bearing"
                                              << "";
    // A catalogue shared through a link is updated where it lies; a dangling link is refused.
    QTest::newRow("bearing.sav links to a shared one") << "bearing.sav=shared"
                                                       << "bearing"
                                                       << "";
    QTest::newRow("dangling bearing.sav link") << "bearing.sav=missing"
                                               << "bearing"
                                               << "指向的文件不存在";
}

void tst_EnvironmentFaults::linksAndPermissions()
{
    QFETCH(QString, plant);
    QFETCH(QString, write);
    QFETCH(QString, reason);
    QTemporaryDir dir, elsewhere;
    QVERIFY(dir.isValid() && elsewhere.isValid());
    RecordFiles::setAppDirectory(dir.path());
    const QString gear = RecordFiles::gearPath(), bearing = RecordFiles::bearingPath();
    const QString victim = elsewhere.filePath(QStringLiteral("victim"));
    const QString shared = elsewhere.filePath(QStringLiteral("shared"));
    QVERIFY(writeFile(victim, "victim"));
    QVERIFY(writeFile(shared, bearingSlot("6205") + "tail"));
    QVERIFY(writeFile(gear, workedShaftBytes() + "torn"));
    QVERIFY(writeFile(bearing, bearingSlot("6206")));
    const QString name = plant.section(QRegularExpression(QStringLiteral("[=:]")), 0, 0);
    const QString planted = dir.filePath(name);
    if (plant.contains(u'=')) {
        QFile::remove(planted);
        QVERIFY(QFile::link(elsewhere.filePath(plant.section(u'=', 1)), planted));
    } else {
        QVERIFY(::chmod(QFile::encodeName(planted).constData(),
                    plant.section(u':', 1).toUInt(nullptr, 8))
            == 0);
    }

    StoreError error;
    ShaftRecord shaft;
    shaft.ShaftNo = QStringLiteral("G-102");
    BearingRecord added;
    added.Model = QStringLiteral("6300");
    const bool ok = write == QLatin1String("gear")
        ? RecordFiles::appendShaftRecord(gear, shaft, error)
        : write == QLatin1String("bearing")
        ? RecordFiles::appendBearingRecord(bearing, added, error)
        : BearingCatalogue::dumpLines(planted, { QStringLiteral("6205") }, error);
    QCOMPARE(error.reason.contains(reason) && ok == reason.isEmpty(), true);
    QCOMPARE(readFile(victim), QByteArray("victim"));
    if (!reason.isEmpty()) {
        QCOMPARE(error.path, bearing);
        // Neither the readers nor the merger's count create the missing file.
        QList<BearingRecord> records;
        QVERIFY(!RecordFiles::readBearingRecords(bearing, records, error));
        QCOMPARE(Combiner::countBearingRecords(bearing, error), -1);
        QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("missing"))));
        return;
    }
    const QString target = write == QLatin1String("gear") ? gear : bearing;
    if (plant == QLatin1String("bearing.sav=shared")) { // the link stays, its target is updated
        QVERIFY(QFileInfo(bearing).isSymLink());
        QCOMPARE(dataOf(shared, 48, 12), QByteArray("6205        |6300        |"));
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files).join(u' '),
            QStringLiteral("shared victim"));
        // The torn tail is kept beside the name the user knows, not in the shared folder.
        QCOMPARE(
            readFile(dir.filePath(QStringLiteral("bearing.bak"))), bearingSlot("6205") + "tail");
    } else if (plant.contains(u':')) {
        struct stat st
        {
        };
        QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, plant.section(u':', 1).toUInt(nullptr, 8));
    } else {
        QVERIFY(!QFileInfo(planted).isSymLink() || name.endsWith(QLatin1String(".tmp"))
            || name.endsWith(QLatin1String(".sav")));
    }
    if (name == QLatin1String("gear.bak"))
        QCOMPARE(readFile(planted), workedShaftBytes() + "torn");
    if (name == QLatin1String("TestData.txt"))
        QCOMPARE(readFile(planted), QByteArray("6205\r\n"));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gear.tmp"))));
    QVERIFY(!QFileInfo::exists(RecordFiles::tempPath()));
}

void tst_EnvironmentFaults::textFileInReadOnlyFolder_data()
{
    QTest::addColumn<QString>("file"); // in a read-only folder: "new", "read-only", "link"
    QTest::addColumn<QString>("reason");
    QTest::newRow("a new file") << "new"
                                << "文件夹是只读的，无法创建文件";
    QTest::newRow("a read-only file") << "read-only"
                                      << "文件是只读的，无法写入";
    QTest::newRow("a planted link is not written through") << "link"
                                                           << "无法创建临时文件";
    QTest::newRow("a folder that is not there") << "missing"
                                                << "文件夹不存在，无法创建文件";
}

void tst_EnvironmentFaults::textFileInReadOnlyFolder()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    QTemporaryDir dir, elsewhere;
    QVERIFY(dir.isValid() && elsewhere.isValid());
    const QString victim = elsewhere.filePath(QStringLiteral("victim"));
    QVERIFY(writeFile(victim, "victim"));
    QString path = dir.filePath(QStringLiteral("TestData.txt"));
    if (file == QLatin1String("read-only"))
        QVERIFY(writeFile(path, "old"));
    if (file == QLatin1String("link"))
        QVERIFY(QFile::link(victim, path));
    if (file == QLatin1String("missing"))
        path = dir.filePath(QStringLiteral("gone/TestData.txt"));
    QStringList readOnly { dir.path() };
    if (file == QLatin1String("read-only"))
        readOnly.prepend(path);
    ReadOnly locked(readOnly);
    if (!locked.effective())
        QSKIP("the folder still takes new files");
    StoreError error;
    QVERIFY(!BearingCatalogue::dumpLines(path, { QStringLiteral("6205") }, error));
    QCOMPARE(error.path, path);
    QVERIFY2(error.reason.startsWith(reason), qPrintable(error.reason));
    QCOMPARE(readFile(victim), QByteArray("victim"));
}

namespace {

// Runs the crash tests' writer once, as a second copy of the program writing the record files.
bool runSecondWriter(const QString &mode)
{
    return QProcess::execute(
               QCoreApplication::applicationDirPath() + QStringLiteral("/crashdriver"),
               { RecordFiles::appDirectory(), mode })
        == 0;
}

// A prompter whose replace question is answered only after another copy has written.
class SlowUser : public ScriptedPrompter
{
public:
    QString writerMode;
    bool wrote = false;
    int message(const QString &text, const QString &title, int buttons, Icon icon,
        int defaultButton) override
    {
        if (text.contains(QStringLiteral("已经用过")))
            wrote = runSecondWriter(writerMode);
        return ScriptedPrompter::message(text, title, buttons, icon, defaultButton);
    }
};

} // namespace

void tst_EnvironmentFaults::anotherCopyWritesMeanwhile_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QByteArray>("expected"); // the record keys afterwards
    // gear.sav S00000 S00001; the other copy moves S00000 to the end while the question is open:
    // Yes replaces S00000 where it now is.
    QTest::newRow("save replaces its number where it is now")
        << true << QByteArray("X00000         |S00001         |S00000         |");
    // The data manager's list was read before another copy added Z9999: 更新 does not drop it.
    QTest::newRow("data manager keeps a record added meanwhile")
        << false << QByteArray("22210       |6205        |Z9999       |");
    // An edit in progress (22210, Cr 99) survives the reload and is stored at the next 更新,
    // although the catalogue was reordered meanwhile.
    QTest::newRow("data manager edit survives a reordered catalogue")
        << false << QByteArray("22210       |6205        |Z9999       |");
}

void tst_EnvironmentFaults::anotherCopyWritesMeanwhile()
{
    QFETCH(bool, save);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RecordFiles::setAppDirectory(dir.path());
    StoreError error;
    for (const char *number : { "S00000", "S00001" }) {
        ShaftRecord s;
        s.ShaftNo = QString::fromLatin1(number);
        QVERIFY(RecordFiles::appendShaftRecord(RecordFiles::gearPath(), s, error));
    }
    QVERIFY(writeFile(RecordFiles::bearingPath(), bearingSlot("6205") + bearingSlot("22210")));

    SlowUser prompter;
    if (save) {
        prompter.writerMode = QStringLiteral("move");
        prompter.answers = { Prompter::Yes };
        RecordCopies copies;
        copies.shaft.ShaftNo = QStringLiteral("S00000");
        copies.shaft.P1 = 7;
        QCOMPARE(SaveShaftRecord(copies, prompter).kind, SaveOutcome::Saved);
        QVERIFY(prompter.wrote);
        QCOMPARE(dataOf(RecordFiles::gearPath(), 116, 15), expected);
        QList<ShaftRecord> records;
        QVERIFY(RecordFiles::readShaftRecords(RecordFiles::gearPath(), records, error));
        QCOMPARE(records.at(2).P1, 7.0f);
        return;
    }
    frmEditer editer(prompter);
    activate(editer);
    const bool edit = QByteArray(QTest::currentDataTag()).contains("edit");
    if (edit) {
        auto *list = editer.findChild<QListView *>(QStringLiteral("lstBearing"));
        list->setCurrentIndex(list->model()->index(1, 0)); // 22210
        click(editer, "cmdEdit");
        editer.findChild<QLineEdit *>(QStringLiteral("txtBearing_4"))
            ->setText(QStringLiteral("99"));
        QVERIFY(writeFile(RecordFiles::bearingPath(),
            bearingSlot("Z9999") + bearingSlot("6205") + bearingSlot("22210")));
    } else {
        QVERIFY(runSecondWriter(QStringLiteral("add")));
    }
    click(editer, "cmdUpdate");
    QVERIFY2(prompter.texts().join(u'\n').contains(QStringLiteral("已被其他程序改动")),
        qPrintable(prompter.texts().join(u'\n')));
    click(editer, "cmdUpdate"); // the reloaded list, sorted and stored
    QCOMPARE(dataOf(RecordFiles::bearingPath(), 48, 12), expected);
    if (edit)
        QCOMPARE(Module1::FindBearingRecord(QStringLiteral("22210")).Cr, 99.0f);
}

QTEST_MAIN(tst_EnvironmentFaults)
#include "tst_environmentfaults.moc"
