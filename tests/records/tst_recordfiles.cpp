// gear.sav and bearing.sav on disk: lookups, appends, the record limit, damaged files and failures.

#include "records/recordfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace RecordLayout;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray fixture(const char *name)
{
    QFile file(qEnvironmentVariable("TOLVENAR_TEST_DATA") + QStringLiteral("/records/")
        + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

// A bearing slot with only a model and a rating, built by hand: model bytes, zeros, Cr at 31.
QByteArray bearingSlot(const QByteArray &model, float cr)
{
    QByteArray slot = model.leftJustified(12, ' ') + QByteArray(36, '\0');
    const auto bits = std::bit_cast<quint32>(cr);
    for (int i = 0; i < 4; ++i)
        slot[31 + i] = char((bits >> (8 * i)) & 0xFF);
    return slot;
}

#ifdef Q_OS_LINUX
// Lets this process write files up to limit bytes only, so a write fails half-way (EFBIG).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = m_saved;
        lower.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_saved {};
    void (*m_oldHandler)(int) = nullptr;
};
#endif

} // namespace

class tst_RecordFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void lookupCreatesMissingFile();
    void keyComparison_data();
    void keyComparison();
    void firstOfTwoDuplicatesWins();
    void appendRefusesDuplicateModel();
    void appendAfterFiveRecords();
    void chineseModelsRoundTrip();
    void damagedFileReadsWholeSlots();
    void appendCutsTornTail();
    void recordLimit();
    void failedWriteLeavesNoTornRecord();
    void notAFile();
    void readOnlyDirectory();
    void replaceRecordInPlace();
    void rewriteBearingFile();
    void rewriteFailureKeepsOldFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_RecordFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    RecordFiles::setAppDirectory(m_dir->path());
}

void tst_RecordFiles::lookupCreatesMissingFile()
{
    StoreError error;
    QCOMPARE(Module1::FindShaftRecord(QStringLiteral("1"), &error).P1, 0.0f);
    QVERIFY(!error.failed());
    QCOMPARE(Module1::FindBearingRecord(QStringLiteral("6205"), &error).Cr, 0.0f);
    QVERIFY(!error.failed());
    QCOMPARE(QFileInfo(m_dir->filePath(QStringLiteral("gear.sav"))).size(), 0);
    QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("bearing.sav"))));
}

void tst_RecordFiles::keyComparison_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<float>("cr");

    // Stored: "NJ210", " 6206" (leading blank), "6205".
    QTest::newRow("same key") << QStringLiteral("NJ210") << 1.0f;
    QTest::newRow("trailing blanks") << QStringLiteral("NJ210   ") << 1.0f;
    QTest::newRow("longer than the field, blanks") << QStringLiteral("NJ210              ") << 1.0f;
    QTest::newRow("lower case") << QStringLiteral("nj210") << 0.0f;
    QTest::newRow("leading blank stored") << QStringLiteral(" 6206") << 2.0f;
    QTest::newRow("leading blank missing") << QStringLiteral("6206") << 0.0f;
    QTest::newRow("leading blank extra") << QStringLiteral(" 6205") << 0.0f;
    QTest::newRow("empty key") << QString() << 0.0f;
}

void tst_RecordFiles::keyComparison()
{
    QFETCH(QString, key);
    QFETCH(float, cr);
    writeBytes(RecordFiles::bearingPath(),
        bearingSlot("NJ210", 1) + bearingSlot(" 6206", 2) + bearingSlot("6205", 3));
    QCOMPARE(Module1::FindBearingRecord(key).Cr, cr);
    QCOMPARE(RecordFiles::keysEqual(key, QStringLiteral("NJ210"), ModelWidth), cr == 1.0f);
}

void tst_RecordFiles::firstOfTwoDuplicatesWins()
{
    writeBytes(RecordFiles::bearingPath(), fixture("bearing_hostile.sav"));
    const BearingRecord r = Module1::FindBearingRecord(QStringLiteral("6205        "));
    QCOMPARE(r.Cr, 14.0f);
    QCOMPARE(r.d, std::int16_t(25));

    QByteArray gear = fixture("gear_one.sav");
    gear += gear;
    gear[116 + 15 + 3] = 0x41; // second record: P1 = 0x41B00000 = 22
    writeBytes(RecordFiles::gearPath(), gear);
    QCOMPARE(Module1::FindShaftRecord(QStringLiteral("J-101")).P1, 5.5f);
}

void tst_RecordFiles::appendRefusesDuplicateModel()
{
    StoreError error;
    QVERIFY(Module1::AppendBearingRecord(QStringLiteral("6205"), 0, 0.5f, 1, 2, 14, &error));
    QCOMPARE(QFileInfo(RecordFiles::bearingPath()).size(), 48);
    QVERIFY(!Module1::AppendBearingRecord(QStringLiteral("6205  "), 1, 0, 0, 0, 20, &error));
    QVERIFY(!error.failed());
    QCOMPARE(QFileInfo(RecordFiles::bearingPath()).size(), 48);
    QVERIFY(Module1::AppendBearingRecord(QStringLiteral("6205a"), 1, 0, 0, 0, 20, &error));
    QCOMPARE(QFileInfo(RecordFiles::bearingPath()).size(), 96);
}

void tst_RecordFiles::appendAfterFiveRecords()
{
    QByteArray five;
    for (char c = 'A'; c <= 'E'; ++c)
        five += bearingSlot(QByteArray(1, c), 1);
    writeBytes(RecordFiles::bearingPath(), five);
    QVERIFY(Module1::AppendBearingRecord(QStringLiteral("NU210"), 3, 0.25f, 0, 0, 63.75f));
    const QByteArray bytes = readBytes(RecordFiles::bearingPath());
    QCOMPARE(bytes.size(), 6 * 48);
    QCOMPARE(bytes.left(240), five);
    // "NU210" and 7 blanks | type 3 | d, D, B = 0 | e = 0.25, Y1 = Y2 = 0, Cr = 63.75
    QCOMPARE(bytes.mid(240, 35),
        QByteArray::fromHex("4e 55 32 31 30 20 20 20 20 20 20 20  03  00 00 00 00 00 00"
                            "  00 00 80 3e  00 00 00 00  00 00 00 00  00 00 7f 42"));
}

void tst_RecordFiles::chineseModelsRoundTrip()
{
    QVERIFY(Module1::AppendBearingRecord(QStringLiteral("中文6205"), 0, 0, 0, 0, 1));
    QCOMPARE(readBytes(RecordFiles::bearingPath()).left(12),
        QByteArray::fromHex("d6d0cec43632303520202020"));
    QCOMPARE(Module1::FindBearingRecord(QStringLiteral("中文6205")).Cr, 1.0f);

    // 11 characters do not fit 12 bytes: the file keeps 6 of them, and the long model still finds
    // its record and is not added a second time.
    const QString longModel = QStringLiteral("深沟球轴承型号六二零五");
    QVERIFY(Module1::AppendBearingRecord(longModel, 0, 0, 0, 0, 2));
    QVERIFY(!Module1::AppendBearingRecord(longModel, 0, 0, 0, 0, 3));
    QCOMPARE(QFileInfo(RecordFiles::bearingPath()).size(), 96);
    const BearingRecord found = Module1::FindBearingRecord(longModel);
    QCOMPARE(found.Cr, 2.0f);
    QCOMPARE(found.Model, QStringLiteral("深沟球轴承型      "));
}

void tst_RecordFiles::damagedFileReadsWholeSlots()
{
    writeBytes(RecordFiles::bearingPath(), fixture("bearing_hostile.sav"));
    QList<BearingRecord> records;
    StoreError error;
    bool complete = true;
    QVERIFY(RecordFiles::readBearingRecords(RecordFiles::bearingPath(), records, error, &complete));
    QVERIFY(!complete);
    QCOMPARE(records.size(), 4);
    QCOMPARE(records[1].Cr, 63.75f);
    QVERIFY(std::isnan(records[2].e) && std::isinf(records[2].Y1));
    QCOMPARE(records[3].Model, QStringLiteral("中文          "));
}

void tst_RecordFiles::appendCutsTornTail()
{
    const QByteArray hostile = fixture("bearing_hostile.sav"); // 4 records + 20 bytes
    writeBytes(RecordFiles::bearingPath(), hostile);
    QVERIFY(Module1::AppendBearingRecord(QStringLiteral("NEW"), 2, 0, 0, 0, 5));
    const QByteArray bytes = readBytes(RecordFiles::bearingPath());
    QCOMPARE(bytes.size(), 5 * 48);
    QCOMPARE(bytes.left(4 * 48), hostile.left(4 * 48));
    QCOMPARE(Module1::FindBearingRecord(QStringLiteral("NEW")).Cr, 5.0f);

    writeBytes(RecordFiles::gearPath(), fixture("gear_one.sav") + "xyz");
    StoreError error;
    QVERIFY(RecordFiles::appendShaftRecord(RecordFiles::gearPath(), ShaftRecord(), error));
    QCOMPARE(QFileInfo(RecordFiles::gearPath()).size(), 2 * 116);
}

void tst_RecordFiles::recordLimit()
{
    // 32767 records, the last one "LAST"; then one more, "BEYOND".
    QByteArray bytes(MaxRecords * 48, '\0');
    bytes.replace((MaxRecords - 1) * 48, 48, bearingSlot("LAST", 7));
    writeBytes(RecordFiles::bearingPath(), bytes);
    QCOMPARE(Module1::FindBearingRecord(QStringLiteral("LAST")).Cr, 7.0f);
    StoreError error;
    QVERIFY(!Module1::AppendBearingRecord(QStringLiteral("NEW"), 0, 0, 0, 0, 1, &error));
    QVERIFY(error.reason.contains(QStringLiteral("32767")));
    QCOMPARE(QFileInfo(RecordFiles::bearingPath()).size(), qint64(bytes.size()));
    QVERIFY(!RecordFiles::appendBearingRecord(RecordFiles::bearingPath(), BearingRecord(), error));
    QVERIFY(error.failed());

    writeBytes(RecordFiles::bearingPath(), bytes + bearingSlot("BEYOND", 8));
    QList<BearingRecord> records;
    bool complete = true;
    QVERIFY(RecordFiles::readBearingRecords(RecordFiles::bearingPath(), records, error, &complete));
    QCOMPARE(records.size(), MaxRecords);
    QVERIFY(!complete);
    QCOMPARE(Module1::FindBearingRecord(QStringLiteral("BEYOND")).Cr, 0.0f);
}

void tst_RecordFiles::failedWriteLeavesNoTornRecord()
{
#ifdef Q_OS_LINUX
    QByteArray five;
    for (int i = 0; i < 5; ++i)
        five += bearingSlot(QByteArray::number(i), 1);
    writeBytes(RecordFiles::bearingPath(), five);
    StoreError error;
    {
        const FileSizeLimit limit(240 + 20); // the sixth slot stops after 20 bytes
        QVERIFY(!Module1::AppendBearingRecord(QStringLiteral("NEW"), 0, 0, 0, 0, 1, &error));
    }
    QCOMPARE(error.path, RecordFiles::bearingPath());
    // The reason names the failure and carries the system's cause.
    QVERIFY2(error.reason.startsWith(QStringLiteral("写入失败（")), qPrintable(error.reason));
    QVERIFY2(!error.reason.contains(QStringLiteral("Unknown error")), qPrintable(error.reason));
    QCOMPARE(readBytes(RecordFiles::bearingPath()), five);
#else
    QSKIP("needs RLIMIT_FSIZE");
#endif
}

void tst_RecordFiles::notAFile()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("bearing.sav")));
    StoreError error;
    QCOMPARE(Module1::FindBearingRecord(QStringLiteral("6205"), &error).Cr, 0.0f);
    QCOMPARE(error.reason, QStringLiteral("不是一个文件"));
    QCOMPARE(error.text(),
        QDir::toNativeSeparators(RecordFiles::bearingPath()) + QStringLiteral(": 不是一个文件"));
    error = StoreError();
    QVERIFY(!Module1::AppendBearingRecord(QStringLiteral("6205"), 0, 0, 0, 0, 1, &error));
    QVERIFY(error.failed());
    QList<BearingRecord> records;
    QVERIFY(!RecordFiles::readBearingRecords(RecordFiles::bearingPath(), records, error));
    QVERIFY(!RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), {}, error));
    QVERIFY(!QFileInfo::exists(RecordFiles::tempPath()));
}

void tst_RecordFiles::readOnlyDirectory()
{
    writeBytes(RecordFiles::bearingPath(), bearingSlot("6205", 1));
    QFile::setPermissions(RecordFiles::bearingPath(), QFile::WriteOwner);
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool permissionsBite = !QFile(RecordFiles::tempPath()).open(QIODevice::WriteOnly);
    StoreError gearError, readError, rewriteError;
    Module1::FindShaftRecord(QStringLiteral("1"), &gearError);
    Module1::FindBearingRecord(QStringLiteral("6205"), &readError);
    const bool rewritten = RecordFiles::rewriteBearingFile(
        RecordFiles::bearingPath(), { BearingRecord() }, rewriteError);
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(RecordFiles::bearingPath(), QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(RecordFiles::tempPath());
    if (!permissionsBite)
        QSKIP("running with rights that ignore file permissions");
    QVERIFY(gearError.reason.startsWith(QStringLiteral("无法创建文件")));
    QVERIFY(readError.reason.startsWith(QStringLiteral("无法打开文件")));
    QVERIFY(!rewritten && rewriteError.failed());
    QCOMPARE(readBytes(RecordFiles::bearingPath()), bearingSlot("6205", 1));
}

void tst_RecordFiles::replaceRecordInPlace()
{
    const QByteArray one = fixture("gear_one.sav");
    writeBytes(RecordFiles::gearPath(), one + one + one);
    ShaftRecord r;
    r.ShaftNo = QStringLiteral("K-7");
    r.P1 = 0.5f;
    StoreError error;
    QVERIFY(RecordFiles::replaceShaftRecord(RecordFiles::gearPath(), 2, r, error));
    const QByteArray bytes = readBytes(RecordFiles::gearPath());
    QCOMPARE(bytes.size(), 3 * 116);
    QCOMPARE(bytes.left(116), one);
    QCOMPARE(bytes.mid(232), one);
    QCOMPARE(bytes.mid(116, 19), QByteArray("K-7            \x00\x00\x00\x3f", 19));
    QVERIFY(!RecordFiles::replaceShaftRecord(RecordFiles::gearPath(), 4, r, error));
    QVERIFY(error.failed());
    QCOMPARE(QFileInfo(RecordFiles::gearPath()).size(), 3 * 116);
}

void tst_RecordFiles::rewriteBearingFile()
{
    writeBytes(RecordFiles::bearingPath(), fixture("bearing_hostile.sav"));
    writeBytes(RecordFiles::tempPath(), "left over from a crash");
    BearingRecord a;
    a.Model = QStringLiteral("A");
    a.Cr = 1;
    BearingRecord b;
    b.Model = QStringLiteral("B");
    b.Cr = 2;
    StoreError error;
    QVERIFY(RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), { b, a }, error));
    QCOMPARE(readBytes(RecordFiles::bearingPath()), bearingSlot("B", 2) + bearingSlot("A", 1));
    QVERIFY(!QFileInfo::exists(RecordFiles::tempPath()));
}

void tst_RecordFiles::rewriteFailureKeepsOldFile()
{
    const QByteArray old = fixture("bearing_hostile.sav");
    writeBytes(RecordFiles::bearingPath(), old);
    const QList<BearingRecord> many(10, BearingRecord()); // 480 bytes
    StoreError error;

    // temp.sav is a directory: nothing is written and the directory is left alone.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("temp.sav")));
    QVERIFY(!RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), many, error));
    QCOMPARE(error.reason, QStringLiteral("不是一个文件"));
    QCOMPARE(readBytes(RecordFiles::bearingPath()), old);
    QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("temp.sav")));

#ifdef Q_OS_LINUX
    {
        const FileSizeLimit limit(300); // temp.sav fails after 300 of 480 bytes
        QVERIFY(!RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), many, error));
    }
    QCOMPARE(error.path, RecordFiles::tempPath());
    QVERIFY2(error.reason.startsWith(QStringLiteral("写入失败（")), qPrintable(error.reason));
    QCOMPARE(readBytes(RecordFiles::bearingPath()), old);
    QVERIFY(!QFileInfo::exists(RecordFiles::tempPath()));
#endif
}

QTEST_GUILESS_MAIN(tst_RecordFiles)
#include "tst_recordfiles.moc"
