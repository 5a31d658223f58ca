// Failures of the surroundings met by every writer (save, report, 更新 and its text dump, merge):
// each told naming the file and the reason; no record and no earlier report is lost. Each record
// file writer (crashdriver) killed at random moments leaves the file whole: the old or the new
// content, never a torn slot or a missing catalogue; two copies appending lose nothing.

#include "catalogue/catalogue.h"
#include "catalogue/combiner.h"
#include "records/saveparameters.h"
#include "reports/resultreport.h"
#include "support/filefaults.h"
#include "support/windows.h"
#include "support/workedexample.h"
#include "ui/bearings/frmediter.h"

#include <QtTest>
#include <QtWidgets>

using namespace Fixture;
using namespace RecordFiles;
using namespace Qt::Literals::StringLiterals;

namespace {

enum Writer { Save, SaveOver, Report, Update, Merge, AddGear, AddBearing, Dump };
enum EnvFault { None, ReadOnlyFolder, BearingIsFolder, DiskFull, Removed };
const QByteArray Three = bearingSlot("22210") + bearingSlot("6205") + bearingSlot("NU2210E");
// What a write may leave beside the record files: no scratch file.
const QSet<QString> Allowed { u"TestData.txt"_s, u"bearing.bak"_s, u"bearing.sav"_s, u"gear.bak"_s,
    u"gear.sav"_s, u"report.txt"_s, u"source.sav"_s };

// Each writer (saving, the report, 更新, the merge; appends and the dump as called by them) meets
// a fault, or something planted: a link (name=target) never leads a write into another folder; a
// replacement keeps its mode (name:mode); a folder (name/) is named as no file; a catalogue shared
// through a link is updated where it lies. A writer replaces its file through a new one beside it,
// which a read-only folder refuses; the failure names the file the user knows and the reason (no
// file: the write succeeds).
const std::tuple<const char *, Writer, EnvFault, const char *, const char *, const char *> Rows[]
    = {
          // clang-format off
    { "save, read-only folder", Save, ReadOnlyFolder, "", "gear.sav", "无法创建临时文件 gear.tmp" },
    { "save, bearing.sav a folder", Save, BearingIsFolder, "", "bearing.sav", "不是一个文件" },
    { "save, disk full", Save, DiskFull, "", "gear.sav", "写入失败" },
    { "save over G-101, disk full", SaveOver, DiskFull, "", "gear.sav", "写入失败" },
    { "report, read-only folder", Report, ReadOnlyFolder, "", "", "" }, // written in place
    { "report, disk full", Report, DiskFull, "", "report.txt", "写入失败" },
    { "update, read-only folder", Update, ReadOnlyFolder, "", "bearing.sav", "无法创建临时文件 temp.sav" },
    { "update, file removed", Update, Removed, "", "", "" }, // the list, read before, stored again
    { "merge, disk full", Merge, DiskFull, "", "bearing.sav", "写入失败" },
    { "gear.tmp link", AddGear, None, "gear.tmp=victim", "", "" },
    { "temp.sav link", AddBearing, None, "temp.sav=victim", "", "" },
    { "TestData.txt link", Dump, None, "TestData.txt=victim", "", "" },
    { "gear.bak link, torn tail", AddGear, None, "gear.bak=victim", "", "" },
    { "gear.bak a folder, torn tail", AddGear, None, "gear.bak/", "gear.bak", "不是一个文件" },
    { "private gear.sav", AddGear, None, "gear.sav:600", "", "" },
    { "group-writable catalogue", AddBearing, None, "bearing.sav:664", "", "" },
    { "bearing.sav links to a shared one", AddBearing, None, "bearing.sav=shared", "", "" },
    { "dangling bearing.sav link", AddBearing, None, "bearing.sav=missing", "bearing.sav", "是一个符号链接，它指向的文件不存在" },
    { "dump, read-only folder", Dump, ReadOnlyFolder, "TestData.txt", "TestData.txt", "文件夹是只读的，无法创建文件" },
    { "dump, read-only file", Dump, ReadOnlyFolder, "TestData.txt:400", "TestData.txt", "文件是只读的，无法写入" },
    { "dump, link in a read-only folder", Dump, ReadOnlyFolder, "TestData.txt=victim", "TestData.txt", "无法创建临时文件" },
    { "dump, folder not there", Dump, ReadOnlyFolder, "gone/TestData.txt", "gone/TestData.txt", "文件夹不存在，无法创建文件" },
          // clang-format on
      };

const int Kills = qEnvironmentVariable("TOLVENAR_CRASH_KILLS", u"25"_s).toInt(); // per writer

// Records as "name=value" (Cr; P1); fails on an unreadable file, a torn slot, a shaft's n != 2 P1.
QStringList readWhole(bool bearings)
{
    QStringList out;
    const auto b = readBearingRecords(bearingPath());
    const auto s = readShaftRecords(gearPath());
    for (const BearingRecord &r : (bearings && b) ? b->records : QList<BearingRecord>())
        out << r.Model.trimmed() + u'=' + QString::number(r.Cr);
    for (const ShaftRecord &r : (!bearings && s) ? s->records : QList<ShaftRecord>())
        out << r.ShaftNo.trimmed() + u'=' + QString::number(r.n == 2 * r.P1 ? r.P1 : -1);
    if ((bearings ? !b || !b->complete : !s || !s->complete) || out.join(u' ').contains(u"=-1"))
        QTest::qFail("the file is unreadable or holds a torn record", __FILE__, __LINE__);
    return out;
}

// The first data bytes of each whole slot, each followed by '|'.
QByteArray dataOf(const QString &path, int slot, int data)
{
    QByteArray out;
    const QByteArray bytes = readFile(path);
    for (qsizetype at = 0; at + slot <= bytes.size(); at += slot)
        out += bytes.mid(at, data) + '|';
    return out;
}

} // namespace

class tst_Hardening : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppDirectory> m_dir;

    static QString numbered(QChar p, int i) { return p + u"%1"_s.arg(i, 5, 10, QLatin1Char('0')); }
    static auto append(const QString &no) // a gear.sav record holding only its number
    {
        return appendShaftRecord(gearPath(), { no, 0, 0, 0, 0, 0, {}, 0, 0, {}, {} });
    }
    static QString driver() { return QCoreApplication::applicationDirPath() + u"/crashdriver"_s; }

    static void click(QWidget &w, const char *name)
    {
        QTest::mouseClick(w.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void init() { m_dir = std::make_unique<AppDirectory>(); }

    void faults_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(Rows)); ++i)
            QTest::newRow(std::get<0>(Rows[i])) << i;
    }
    void faults()
    {
        QFETCH(int, row);
        const auto &[rowName, writer, fault, plantText, fileName, reasonText] = Rows[row];
        const QString plant = QString::fromLatin1(plantText), file = QString::fromLatin1(fileName);
        const QString report = m_dir->filePath(u"report.txt"_s),
                      source = m_dir->filePath(u"source.sav"_s);
        QTemporaryDir elsewhere;
        const QString victim = elsewhere.filePath(u"victim"_s),
                      shared = elsewhere.filePath(u"shared"_s);
        QVERIFY(writeFile(gearPath(),
                    workedShaftBytes() + QByteArray(42, '\0') + (writer == AddGear ? "torn" : ""))
            && writeFile(report, "old report\r\n")
            && (fault == BearingIsFolder ? QDir().mkdir(bearingPath())
                                         : writeFile(bearingPath(), Three))
            && writeFile(source, bearingSlot("6206") + bearingSlot("6207"))
            && writeFile(victim, "victim") && writeFile(shared, bearingSlot("6205") + "tail"));
        ScriptedPrompter prompter;
        frmEditer editer(prompter); // reads its list before the fault strikes
        QVERIFY(writer != Update || activate(&editer));
        const bool link = plant.contains(u'='), chmod = plant.contains(u':');
        const QString planted = m_dir->filePath(plant.section(link ? u'=' : u':', 0, 0));
        const uint mode = plant.section(u':', 1).toUInt(nullptr, 8);
        const int bits = int(((mode & 0700) << 6) | ((mode & 070) << 1) | (mode & 7)); // as QFile's
        if (link && (QFile::remove(planted) || true))
            QVERIFY(QFile::link(elsewhere.filePath(plant.section(u'=', 1)), planted));
        QVERIFY(!plant.endsWith(u'/') || QDir(m_dir->path()).mkdir(plant.chopped(1)));
        if (chmod) // over an existing file or a new one
            QVERIFY((QFile::exists(planted) || writeFile(planted, "old"))
                && QFile::setPermissions(planted, QFile::Permissions(bits)));
        std::optional<ReadOnly> readOnly;
        if (fault == ReadOnlyFolder && !readOnly.emplace(m_dir->path()).effective())
            QSKIP("the folder still takes new files");
        auto diskFull = fault == DiskFull ? std::make_optional<FileSizeLimit>(40) : std::nullopt;
        QVERIFY(fault != Removed || QFile::remove(bearingPath()));
        FakeWindow window; // SaveOver replaces G-101 when asked
        window.apply({ writer == Save ? u"txtParameter_0=G-102"_s : u"txtParameter_0=G-101"_s,
            u"txtParameter_2=1500"_s, u"txtBearingA_0=6208"_s });
        CalcInput input;
        OptionFlags flags {};
        RecordCopies copies;
        const auto tell
            = [&](const auto &result) { result ? void() : prompter.inform(result.error().text()); };
        if (writer == Save || writer == SaveOver)
            SaveParameters(window, input, flags, copies, prompter);
        else if (writer == Update)
            click(editer, "cmdUpdate");
        else if (writer == Report)
            tell(writeResultReport(report, workedInput(), workedResult(), u"G-101"_s, u"5/6"_s));
        else if (writer == Merge)
            tell(Combiner::mergeBearingFiles(source, bearingPath()));
        else if (writer == Dump)
            tell(BearingCatalogue::dumpLines(planted, { u"6205"_s }));
        else
            writer == AddGear ? tell(append(u"G-102"_s))
                              : tell(appendBearingRecord(bearingPath(), { u"6300"_s }));
        readOnly.reset(), diskFull.reset();

        // Told in a failure box naming the file; nothing lost (unless the file was removed or 更新
        // stored its list); a report whole; no scratch file left; no failure: the write done.
        const QString shown = prompter.texts().join(u'\n'),
                      named = QDir::toNativeSeparators(m_dir->filePath(file));
        const auto told = [&](const ScriptedPrompter::Shown &box) {
            return isFailureBox(box) && box.text.contains(named)
                && box.text.contains(QString::fromUtf8(reasonText));
        };
        QVERIFY2(file.isEmpty() ? !shown.contains(QDir::toNativeSeparators(m_dir->path()))
                                : std::ranges::any_of(prompter.shown, told),
            qPrintable(shown));
        QCOMPARE(readFile(victim), QByteArray("victim"));
        QVERIFY(dataOf(gearPath(), 116, 74).contains(QByteArray(workedShaftBytes() + '|')));
        QVERIFY(fault != BearingIsFolder || QFileInfo(bearingPath()).isDir());
        const bool keeps = fault != BearingIsFolder && !link;
        for (qsizetype at = 0; keeps && at < Three.size(); at += 48) // each record still there
            QVERIFY(dataOf(bearingPath(), 48, 35).contains(QByteArray(Three.mid(at, 35) + '|')));
        const QByteArray reportNow = readFile(report);
        QVERIFY(reportNow == "old report\r\n"
            || (reportNow.endsWith("\r\n") && reportNow.size() > 200));
        const QStringList left = QDir(m_dir->path()).entryList(QDir::Files | QDir::System);
        QVERIFY2((QSet<QString>(left.begin(), left.end()) - Allowed).isEmpty(),
            qPrintable(left.join(u' ')));
        QVERIFY(plant != u"bearing.sav=missing" // no catalogue made by the readers or the count
            || (!readBearingRecords(bearingPath()) && !Combiner::countBearingRecords(bearingPath())
                && !QFile::exists(elsewhere.filePath(u"missing"_s))));
        if (!file.isEmpty())
            return;
        const QByteArray models = dataOf(bearingPath(), 48, 12);
        const bool saved = dataOf(gearPath(), 116, 15).contains("G-102");
        const bool done[] = { saved, false, reportNow.size() > 200, models.count('|') == 3,
            models.contains("6207"), saved, models.contains("6300"),
            readFile(planted) == "6205\r\n" };
        QVERIFY(done[writer]);
        if (plant == u"bearing.sav=shared") { // target updated, torn tail kept beside the link
            QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files).join(u' '), u"shared victim"_s);
            QCOMPARE(dataOf(shared, 48, 12) + readFile(m_dir->filePath(u"bearing.bak"_s)),
                "6205        |6300        |" + bearingSlot("6205") + "tail");
        }
        QVERIFY(!chmod || (int(QFile::permissions(planted)) & 0x7077) == bits);
        QVERIFY(!plant.startsWith(u"gear.bak")
            || readFile(planted) == workedShaftBytes() + QByteArray(42, '\0') + "torn");
    }

    // 更新 on a catalogue not read whole asks once; No changes nothing, Yes keeps the file in
    // bearing.bak and stores the list; one not read at all is never stored. Changed by another copy
    // (answer < 0): read again, stored at the next 更新, keeping additions and an open edit.
    void updates_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("answer"); // to the question; 0: no question, refused
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QByteArray>("stored"); // bearing.sav afterwards
        const QByteArray a = bearingSlot("22210"), b = bearingSlot("6205"),
                         c = bearingSlot("NU2210E");
        const QByteArray bad = bearingSlot("AB\xD6 C\x7F"); // not GBK: stored back byte for byte
        const QByteArray full = QByteArray(b).repeated(RecordLayout::MaxRecords);
        // clang-format off
        QTest::newRow("torn tail, yes") << a + b + c + "torn" << int(Prompter::Yes) << u"bearing.sav 末尾有 4 个字节不是完整记录"_s << a + b + c;
        QTest::newRow("model not GBK, yes") << a + b + c + bad << int(Prompter::Yes) << u"第 4 个记录的型号不是有效的 GBK 编码"_s << a + b + bad + c;
        QTest::newRow("beyond 32767, yes") << full + a << int(Prompter::Yes) << u"只读入了前 32767 个记录"_s << full;
        QTest::newRow("beyond 32767, no") << full + a << int(Prompter::No) << u"只读入了前 32767 个记录"_s << full + a;
        QTest::newRow("unreadable") << a + b + c << 0 << u"无法打开文件"_s << a + b + c;
        const QString changed = u"文件已被其他程序改动"_s; // Z9999 as the driver adds it; 22210 edited to Cr 99
        QTest::newRow("record added meanwhile") << b + a << -1 << changed << a + b + bearingSlot("Z9999", 0, 0.3f, 0, 0, 50, 0, 0, 0, '\0');
        QTest::newRow("edit kept, catalogue reordered") << b + a << -2 << changed << bearingSlot("22210", 0, 0.3f, 2.2f, 3.3f, 99, 25, 52, 15, '\0') + b + bearingSlot("Z9999");
        // clang-format on
    }
    void updates()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, answer);
        QFETCH(QString, problem);
        QFETCH(QByteArray, stored);
        const QString backup = m_dir->filePath(u"bearing.bak"_s);
        QVERIFY(writeFile(bearingPath(), bytes) && writeFile(backup, "older backup"));
        ScriptedPrompter prompter;
        frmEditer editer(prompter);
        std::optional<ReadOnly> locked;
        if (answer == 0 && !locked.emplace(bearingPath(), QFile::Permissions()).effective())
            QSKIP("the file is still readable");
        QVERIFY(activate(&editer));
        if (answer == -2) {
            auto *list = editer.findChild<QListView *>(u"lstBearing"_s);
            list->setCurrentIndex(list->model()->index(1, 0)); // 22210
            click(editer, "cmdEdit");
            editer.findChild<QLineEdit *>(u"txtBearing_4"_s)->setText(u"99"_s);
        }
        // Another copy: the crash tests' writer, or a reordered catalogue.
        QVERIFY(answer != -1 || QProcess::execute(driver(), { m_dir->path(), u"add"_s }) == 0);
        QVERIFY(answer != -2 || writeFile(bearingPath(), bearingSlot("Z9999") + bytes));
        prompter.answers = { answer };
        click(editer, "cmdUpdate"); // sorting alone
        locked.reset();
        if (answer < 0)
            click(editer, "cmdUpdate"); // the list read again, sorted and stored
        QCOMPARE(prompter.shown.size(), 1);
        const auto &box = prompter.shown.first();
        QVERIFY2(box.text.contains(QDir::toNativeSeparators(bearingPath()))
                && box.text.contains(problem)
                && (answer > 0 ? box.buttons == (Prompter::Yes | Prompter::No)
                            && box.text.contains(u"bearing.bak"_s)
                               : isFailureBox(box) && (answer || box.text.contains(u"不能更新"_s))),
            qPrintable(box.text));
        QCOMPARE(readFile(bearingPath()) + readFile(backup),
            stored + (answer == Prompter::Yes ? bytes : "older backup"));
        QVERIFY(!QFile::exists(tempPath()));
    }

    // Each driver writer killed at random (what each writes: crashdriver.cpp), one generation or
    // merge whole; two: we append T<i> while the driver appends, neither lost.
    void killedWriterLeavesFilesWhole_data()
    {
        QTest::addColumn<QString>("mode");
        for (const char *mode : { "rewrite", "append", "replace", "merge" })
            QTest::newRow(mode) << QString::fromLatin1(mode);
        QTest::newRow("two copies appending") << u"append"_s;
    }
    void killedWriterLeavesFilesWhole()
    {
        QFETCH(QString, mode);
        const bool rewrite = mode == u"rewrite", merge = mode == u"merge",
                   replace = mode == u"replace";
        const bool two = QLatin1String(QTest::currentDataTag()) != mode;
        QVERIFY(!rewrite || QFile(bearingPath()).open(QIODevice::WriteOnly)); // empty at first
        for (int i = 0; replace && i < 50; ++i)
            QVERIFY(append(numbered(u'S', i)));
        QRandomGenerator random(qHash(mode));
        for (int k = 0; k < (two ? 1 : Kills) && !QTest::currentTestFailed(); ++k) {
            if (merge || mode == u"append") // each run starts over from record 0
                QFile::remove(merge ? bearingPath() : gearPath());
            QProcess p; // prints "ready" before its first write, "done" after it
            p.start(driver(), { appDirectory(), mode });
            QVERIFY(p.waitForStarted(5000) && p.waitForReadyRead(5000));
            QThread::usleep(random.bounded(200, 30000));
            while ((k == Kills - 1 || two) && !p.readAllStandardOutput().contains("done")
                && p.state() == QProcess::Running) // a finished write: a slow build shows one too
                p.waitForReadyRead(10000);
            for (int i = 0; two && i < 100; ++i)
                QVERIFY(append(numbered(u'T', i)));
            QVERIFY2(p.state() == QProcess::Running, p.readAllStandardError().constData());
            p.kill();
            QVERIFY(p.waitForFinished(5000));
            QVERIFY2(!rewrite || QFile::exists(bearingPath()), "bearing.sav is missing");
            const QStringList got = readWhole(rewrite || merge);
            const int g = got.value(0).section(u'=', 1).toInt();
            QHash<QChar, int> count; // records of each writer, each numbered on from 0
            for (const QString &r : got) {
                const QChar c = rewrite || merge ? u'M' : two && r[0] == u'T' ? u'T' : u'S';
                const int i = count[c]++;
                const int own = c == u'T' ? 0 : replace ? r.section(u'=', 1).toInt() : i;
                const int v = rewrite ? g : merge ? i / 1000 + 2 : own;
                QCOMPARE(r, numbered(c, i) + u'=' + QString::number(v));
            }
            QVERIFY(rewrite ? got.isEmpty() || got.size() == 100 + 50 * (g % 2)
                            : !merge || got.size() % 1000 == 0);
            QVERIFY(two ? count[u'T'] == 100 && count[u'S'] > 1 : !replace || got.size() == 50);
            QVERIFY(k < Kills - 1 || (!got.isEmpty() && (!replace || g > 0))); // shows a write
        }
    }
};

QTEST_MAIN(tst_Hardening)
#include "tst_hardening.moc"
