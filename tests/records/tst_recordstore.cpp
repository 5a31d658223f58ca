// gear.sav and bearing.sav byte for byte, GBK text fields, the option bits, and the files on disk:
// lookups, appends, the record limit, damaged files, failures and the safe rewrite.

#include "records/recordfile.h"
#include "records/safefile.h"
#include "support/filefaults.h"
#include "support/workedexample.h"

#include <QDir>
#include <QTest>

#include <cmath>
#include <cstdio>

using namespace RecordLayout;
using Fixture::bearingSlot;
using Fixture::readFile;
using Fixture::writeFile;

namespace {

// A shaft record built by hand: J-101 | P1 5.5 | P2 2.25 | n 1500 | L 300 | ALFA -90 | gears 60,
// 250, 12, 20, -1, 1000, 0, -32768 | Flags 78 | 32767 kg | "中文6205" in GBK | "NU2210E".
const QByteArray ShaftBytes = QByteArray::fromHex("4a2d313031 20202020202020202020 0000b040"
                                                  "00001040 0080bb44 2c01 a6ff 3c00 fa00 0c00"
                                                  "1400 ffff e803 0000 0080 4e ff7f d6d0cec4"
                                                  "3632303520202020 4e5532323130452020202020");

QByteArray slot(const QByteArray &model, float cr)
{
    return bearingSlot(model, 0, 0, 0, 0, cr, 0, 0, 0, '\0');
}

} // namespace

using Bits = std::array<std::uint8_t, 8>;

class TestRecordStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture::AppDirectory> m_dir;

private slots:
    void init() { m_dir = std::make_unique<Fixture::AppDirectory>(); }

    // One record of each file encoded and decoded: the encoder against the hand-made bytes, the
    // decoder by the round trip (unused bytes ignored when read, zeros when written).
    void layouts()
    {
        ShaftRecord r;
        r.ShaftNo = QStringLiteral("J-101");
        r.P1 = 5.5f, r.P2 = 2.25f, r.n = 1500, r.L = 300, r.ALFA = -90;
        r.GearParams = { 60, 250, 12, 20, -1, 1000, 0, -32768 };
        r.Flags = 78, r.WeightKg = 32767;
        r.ModelA = QStringLiteral("中文6205");
        r.ModelB = QStringLiteral("NU2210E");
        QCOMPARE(encodeShaft(r), ShaftBytes + QByteArray(42, '\0'));
        const ShaftRecord back
            = decodeShaft(QByteArray(ShaftBytes + QByteArray(42, '\xCC')).constData());
        QCOMPARE(encodeShaft(back), ShaftBytes + QByteArray(42, '\0'));
        QCOMPARE(back.ShaftNo + u'|' + back.ModelA + u'|',
            QStringLiteral("J-101          |中文6205      |"));

        const BearingRecord b { QStringLiteral("30207"), 1, 35, 72, -2, 0.375f, 1.75f, 0.5f,
            63.75f };
        // "30207" and 7 blanks | type | d, D, B | e, Y1, Y2, Cr | 13 unused
        const QByteArray bytes = QByteArray::fromHex("333032303720202020202020 01 2300 4800 feff"
                                                     "0000c03e 0000e03f 0000003f 00007f42");
        QCOMPARE(encodeBearing(b), bytes + QByteArray(13, '\0'));
        QCOMPARE(encodeBearing(decodeBearing(QByteArray(bytes + QByteArray(13, 'x')).constData())),
            bytes + QByteArray(13, '\0'));
        QCOMPARE(decodeBearing(bytes.constData()).Model, QStringLiteral("30207       "));

        // The option bits: element 0 is the most significant bit.
        QVERIFY(Module1::ByteToBits(100) == (Bits { 0, 1, 1, 0, 0, 1, 0, 0 }));
        QVERIFY(Module1::ByteToBits(78) == (Bits { 0, 1, 0, 0, 1, 1, 1, 0 }));
        QCOMPARE(int(Module1::BitsToByte({ 1, 0, 0, 0, 0, 0, 0, 1 })), 129);
    }

    // Bad GBK decodes with replacement; NaN and infinities come back bit for bit.
    void hostileBearing()
    {
        const float nan = std::bit_cast<float>(0x7FC00123U);
        const float inf = std::numeric_limits<float>::infinity();
        const QByteArray bytes = bearingSlot("AB\xD6 C      \xD6", 9, nan, inf, -inf, nan, -1);
        const BearingRecord r = decodeBearing(bytes.constData());
        const QChar bad(QChar::ReplacementCharacter);
        QCOMPARE(r.Model, QStringLiteral("AB") + bad + QStringLiteral(" C      ") + bad);
        QCOMPARE(int(r.Type), 9);
        QCOMPARE(r.Y2, -inf);
        QCOMPARE(std::bit_cast<quint32>(r.Cr), 0x7FC00123U);
        QCOMPARE(encodeBearing(r).mid(12, 23), bytes.mid(12, 23));
    }

    // clang-format off
    void keyComparison_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<float>("cr"); // of the record found; stored: NJ210, " 6206", 6205, 6205
        QTest::newRow("trailing blanks") << QStringLiteral("NJ210   ") << 1.0f;
        QTest::newRow("longer than the field, blanks") << QStringLiteral("NJ210              ") << 1.0f;
        QTest::newRow("lower case") << QStringLiteral("nj210") << 0.0f;
        QTest::newRow("leading blank stored") << QStringLiteral(" 6206") << 2.0f;
        QTest::newRow("leading blank missing") << QStringLiteral("6206") << 0.0f;
        QTest::newRow("leading blank extra") << QStringLiteral(" 6205") << 0.0f;
        QTest::newRow("first of two") << QStringLiteral("6205") << 3.0f;
    }
    // clang-format on
    void keyComparison()
    {
        QFETCH(QString, key);
        QFETCH(float, cr);
        writeFile(RecordFiles::bearingPath(),
            slot("NJ210", 1) + slot(" 6206", 2) + slot("6205", 3) + slot("6205", 4));
        QCOMPARE(Module1::FindBearingRecord(key).Cr, cr);
    }

    void appendRefusesDuplicateModel()
    {
        StoreError error;
        QVERIFY(Module1::AppendBearingRecord(QStringLiteral("6205"), 0, 0.5f, 1, 2, 14, &error));
        QVERIFY(!Module1::AppendBearingRecord(QStringLiteral("6205  "), 1, 0, 0, 0, 20, &error));
        QVERIFY(!error.failed());
        QCOMPARE(QFileInfo(RecordFiles::bearingPath()).size(), 48);
        QVERIFY(Module1::AppendBearingRecord(QStringLiteral("6205a"), 3, 0.25f, 0, 0, 63.75f));
        QCOMPARE(readFile(RecordFiles::bearingPath()).mid(48),
            bearingSlot("6205a", 3, 0.25f, 0, 0, 63.75f, 0, 0, 0, '\0'));
    }

    void chineseModelsRoundTrip()
    {
        QVERIFY(Module1::AppendBearingRecord(QStringLiteral("中文6205"), 0, 0, 0, 0, 1));
        QCOMPARE(Module1::FindBearingRecord(QStringLiteral("中文6205")).Cr, 1.0f);
        // 1 + 2 x 7 bytes do not fit 12: the sixth Chinese character goes whole, a blank fills the
        // hole, and the long model still finds its record and is not added a second time.
        const QString longModel = QStringLiteral("A深沟球轴承型号");
        QVERIFY(Module1::AppendBearingRecord(longModel, 0, 0, 0, 0, 2));
        QVERIFY(!Module1::AppendBearingRecord(longModel, 0, 0, 0, 0, 3));
        QCOMPARE(readFile(RecordFiles::bearingPath()).size(), 96);
        QCOMPARE(readFile(RecordFiles::bearingPath()).mid(48, 12),
            QByteArray::fromHex("41c9eeb9b5c7f2d6e1b3d020"));
        QCOMPARE(Module1::FindBearingRecord(longModel).Model, QStringLiteral("A深沟球轴承      "));
    }

    void tornTail()
    {
        const QByteArray whole = slot("A", 1) + slot("B", 2);
        writeFile(RecordFiles::bearingPath(), whole + QByteArray(20, 'A'));
        QList<BearingRecord> records;
        StoreError error;
        bool complete = true;
        QVERIFY(
            RecordFiles::readBearingRecords(RecordFiles::bearingPath(), records, error, &complete));
        QVERIFY(!complete);
        QCOMPARE(records.size(), 2);
        // An append cuts the torn tail off first.
        QVERIFY(Module1::AppendBearingRecord(QStringLiteral("NEW"), 2, 0, 0, 0, 5));
        QCOMPARE(readFile(RecordFiles::bearingPath()).size(), 3 * 48);
        QCOMPARE(readFile(RecordFiles::bearingPath()).left(96), whole);
    }

    void recordLimit()
    {
        QByteArray bytes(MaxRecords * 48, '\0');
        bytes.replace((MaxRecords - 1) * 48, 48, slot("LAST", 7));
        writeFile(RecordFiles::bearingPath(), bytes);
        QCOMPARE(Module1::FindBearingRecord(QStringLiteral("LAST")).Cr, 7.0f);
        StoreError error;
        QVERIFY(!Module1::AppendBearingRecord(QStringLiteral("NEW"), 0, 0, 0, 0, 1, &error));
        QVERIFY(error.reason.contains(QStringLiteral("32767")));
        QCOMPARE(QFileInfo(RecordFiles::bearingPath()).size(), qint64(bytes.size()));
        // Records beyond the limit are not read.
        writeFile(RecordFiles::bearingPath(), bytes + slot("BEYOND", 8));
        QCOMPARE(Module1::FindBearingRecord(QStringLiteral("BEYOND")).Cr, 0.0f);
    }

    void failedAppendLeavesNoTornRecord()
    {
#ifdef Q_OS_LINUX
        const QByteArray five
            = slot("0", 1) + slot("1", 1) + slot("2", 1) + slot("3", 1) + slot("4", 1);
        writeFile(RecordFiles::bearingPath(), five);
        StoreError error;
        {
            const Fixture::FileSizeLimit limit(240 + 20); // the sixth slot stops after 20 bytes
            QVERIFY(!Module1::AppendBearingRecord(QStringLiteral("NEW"), 0, 0, 0, 0, 1, &error));
        }
        QCOMPARE(error.path, RecordFiles::bearingPath());
        QVERIFY2(error.reason.startsWith(QStringLiteral("写入失败（")), qPrintable(error.reason));
        QCOMPARE(readFile(RecordFiles::bearingPath()), five);
#endif
    }

    void missingFileAndNotAFile()
    {
        StoreError error;
        QCOMPARE(Module1::FindShaftRecord(QStringLiteral("1"), &error).P1, 0.0f);
        QVERIFY(!error.failed());
        QCOMPARE(readFile(RecordFiles::gearPath()), QByteArray()); // created empty
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("bearing.sav")));
        QCOMPARE(Module1::FindBearingRecord(QStringLiteral("6205"), &error).Cr, 0.0f);
        QCOMPARE(error.text(),
            QDir::toNativeSeparators(RecordFiles::bearingPath())
                + QStringLiteral(": 不是一个文件"));
        error = StoreError();
        QVERIFY(!Module1::AppendBearingRecord(QStringLiteral("6205"), 0, 0, 0, 0, 1, &error));
        QVERIFY(error.failed());
    }

    // The whole file replaced through temp.sav; a temp.sav left by a crash does not matter.
    void safeRewrite()
    {
        writeFile(RecordFiles::bearingPath(), slot("OLD", 9) + QByteArray(20, 'A'));
        writeFile(RecordFiles::tempPath(), "left over from a crash");
        StoreError error;
        QVERIFY(RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(),
            { decodeBearing(slot("B", 2).constData()), decodeBearing(slot("A", 1).constData()) },
            error));
        QCOMPARE(readFile(RecordFiles::bearingPath()), slot("B", 2) + slot("A", 1));
        QVERIFY(!QFileInfo::exists(RecordFiles::tempPath()));
    }

    // A writer waits for another one holding the file's lock, then gives up naming the file; the
    // lock taken after the holder replaced the file is on the new file.
    void anotherWriterHoldsTheLock()
    {
        const QString gear = RecordFiles::gearPath();
        SafeFile::Lock holder, waiter;
        StoreError error;
        QVERIFY(holder.acquire(gear, error) && holder.created());
        QVERIFY(!waiter.acquire(gear, error, 50));
        QCOMPARE(error.text(),
            QDir::toNativeSeparators(gear)
                + QStringLiteral(
                    ": 另一个程序（也可能是本程序的另一个副本）正在写入这个文件，请稍后再试"));
        QVERIFY(writeFile(RecordFiles::tempPath(), "new"));
        QVERIFY(std::rename(QFile::encodeName(RecordFiles::tempPath()).constData(),
                    QFile::encodeName(gear).constData())
            == 0); // as the holder's replacement does
        QVERIFY(waiter.acquire(gear, error, 50));
        QVERIFY(!waiter.created());
        QByteArray bytes;
        QVERIFY(waiter.read(0, 10, bytes, error));
        QCOMPARE(bytes, QByteArray("new"));
    }
};

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
