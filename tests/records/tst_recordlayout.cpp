// The byte layouts of gear.sav and bearing.sav, GBK text fields and the option bits.

#include "records/records.h"

#include <QFile>
#include <QTest>

#include <bit>
#include <cmath>

using namespace RecordLayout;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

QByteArray fixture(const char *name)
{
    QFile file(qEnvironmentVariable("TOLVENAR_TEST_DATA") + QStringLiteral("/records/")
        + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

quint32 bitsOf(float f)
{
    return std::bit_cast<quint32>(f);
}

} // namespace

using Bits = std::array<std::uint8_t, 8>;
Q_DECLARE_METATYPE(Bits)

class tst_RecordLayout : public QObject
{
    Q_OBJECT

private slots:
    void shaftLayout();
    void bearingLayout();
    void hostileBearings();
    void encodeText_data();
    void encodeText();
    void decodeText_data();
    void decodeText();
    void fitFieldCutsLikeTheFile();
    void optionBits_data();
    void optionBits();
};

void tst_RecordLayout::shaftLayout()
{
    ShaftRecord r;
    r.ShaftNo = QStringLiteral("J-101");
    r.P1 = 5.5f;
    r.P2 = 2.25f;
    r.n = 1500.0f;
    r.L = 300;
    r.ALFA = -90;
    r.GearParams = { 60, 250, 12, 20, -1, 1000, 0, -32768 };
    r.Flags = 78;
    r.WeightKg = 32767;
    r.ModelA = QStringLiteral("中文6205");
    r.ModelB = QStringLiteral("NU2210E");

    const QByteArray file = fixture("gear_one.sav");
    const QByteArray slot = encodeShaft(r);
    QCOMPARE(slot.size(), 116);
    QCOMPARE(slot.left(74), file.left(74));
    QCOMPARE(slot.mid(74), QByteArray(42, '\0'));

    const ShaftRecord back = decodeShaft(file.constData());
    QCOMPARE(back.ShaftNo, QStringLiteral("J-101          "));
    QCOMPARE(back.P1, 5.5f);
    QCOMPARE(back.P2, 2.25f);
    QCOMPARE(back.n, 1500.0f);
    QCOMPARE(back.L, std::int16_t(300));
    QCOMPARE(back.ALFA, std::int16_t(-90));
    QVERIFY(back.GearParams == r.GearParams);
    QCOMPARE(back.Flags, std::uint8_t(78));
    QCOMPARE(back.WeightKg, std::int16_t(32767));
    QCOMPARE(back.ModelA, QStringLiteral("中文6205      ")); // 6 characters + 6 blanks
    QCOMPARE(back.ModelB, QStringLiteral("NU2210E     "));
}

void tst_RecordLayout::bearingLayout()
{
    BearingRecord r;
    r.Model = QStringLiteral("30207");
    r.Type = 1;
    r.d = 35;
    r.D = 72;
    r.B = -2;
    r.e = 0.375f; // 0x3EC00000
    r.Y1 = 1.75f; // 0x3FE00000
    r.Y2 = 0.5f; // 0x3F000000
    r.Cr = 63.75f; // 0x427F0000
    // "30207" and 7 blanks | type | d, D, B | e, Y1, Y2, Cr
    const QByteArray expected = hex("33 30 32 30 37 20 20 20 20 20 20 20  01  23 00 48 00 fe ff"
                                    "  00 00 c0 3e  00 00 e0 3f  00 00 00 3f  00 00 7f 42")
        + QByteArray(13, '\0');
    QCOMPARE(encodeBearing(r), expected);

    const BearingRecord back = decodeBearing(expected.constData());
    QCOMPARE(back.Model, QStringLiteral("30207       "));
    QCOMPARE(back.Type, std::uint8_t(1));
    QCOMPARE(back.d, std::int16_t(35));
    QCOMPARE(back.D, std::int16_t(72));
    QCOMPARE(back.B, std::int16_t(-2));
    QCOMPARE(back.e, 0.375f);
    QCOMPARE(back.Y1, 1.75f);
    QCOMPARE(back.Y2, 0.5f);
    QCOMPARE(back.Cr, 63.75f);
}

// Bad bytes and non-finite numbers come back as they are, without a crash.
void tst_RecordLayout::hostileBearings()
{
    const QByteArray file = fixture("bearing_hostile.sav");
    const BearingRecord r = decodeBearing(file.constData() + 2 * 48);
    const QChar bad(QChar::ReplacementCharacter);
    QCOMPARE(r.Model, QStringLiteral("AB") + bad + QStringLiteral(" C      ") + bad);
    QCOMPARE(r.Type, std::uint8_t(9));
    QCOMPARE(r.d, std::int16_t(-1));
    QVERIFY(std::isnan(r.e));
    QCOMPARE(r.Y1, std::numeric_limits<float>::infinity());
    QCOMPARE(r.Y2, -std::numeric_limits<float>::infinity());
    QCOMPARE(bitsOf(r.Cr), 0x7FC00123U);
    // Written back, the numbers keep their bits.
    QCOMPARE(encodeBearing(r).mid(19, 16), file.mid(2 * 48 + 19, 16));
}

void tst_RecordLayout::encodeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("short, padded")
        << QStringLiteral("6205") << 12 << hex("363230352020202020202020");
    QTest::newRow("leading blank kept") << QStringLiteral(" 62") << 6 << hex("203632202020");
    QTest::newRow("empty") << QString() << 4 << hex("20202020");
    QTest::newRow("too long, cut")
        << QStringLiteral("ABCDEFGHIJKLMN") << 12 << QByteArray("ABCDEFGHIJKL");
    QTest::newRow("Chinese") << QStringLiteral("中文") << 6 << hex("d6d0cec42020");
    // 1 + 2 * 6 bytes do not fit 12: the sixth character goes whole, a blank fills the hole.
    QTest::newRow("Chinese cut on a character")
        << QStringLiteral("A中文国中文国") << 12 << hex("41d6d0cec4b9fad6d0cec420");
    QTest::newRow("no GBK code becomes ?")
        << QStringLiteral("A\U0001F600B") << 4 << hex("413f4220");
}

void tst_RecordLayout::encodeText()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QByteArray, bytes);
    QCOMPARE(RecordLayout::encodeText(text, width), bytes);
}

void tst_RecordLayout::decodeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    const QString bad(QChar::ReplacementCharacter);
    QTest::newRow("ASCII") << hex("3632303520202020") << QStringLiteral("6205    ");
    QTest::newRow("Chinese padded to width in characters")
        << hex("d6d0cec420202020") << QStringLiteral("中文      ");
    QTest::newRow("lead byte before a blank")
        << hex("41d6204220202020") << QStringLiteral("A") + bad + QStringLiteral(" B    ");
    QTest::newRow("lead byte cut off at the end")
        << hex("41424344454647d6") << QStringLiteral("ABCDEFG") + bad;
}

void tst_RecordLayout::decodeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(RecordLayout::decodeText(bytes.constData(), int(bytes.size())), text);
}

void tst_RecordLayout::fitFieldCutsLikeTheFile()
{
    QCOMPARE(fitField(QStringLiteral("nu210"), 12), QStringLiteral("nu210       "));
    QCOMPARE(fitField(QStringLiteral("中文国中文国中"), 12), QStringLiteral("中文国中文国      "));
    QVERIFY(encodableInGbk(QStringLiteral("中文 6205")));
    QVERIFY(!encodableInGbk(QStringLiteral("6205\U0001F600")));
}

void tst_RecordLayout::optionBits_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<Bits>("bits");

    QTest::newRow("0") << 0 << Bits { 0, 0, 0, 0, 0, 0, 0, 0 };
    QTest::newRow("100 = 64 + 32 + 4") << 100 << Bits { 0, 1, 1, 0, 0, 1, 0, 0 };
    QTest::newRow("78: gear 1 left, gear 2 right, weight, A")
        << 64 + 8 + 4 + 2 << Bits { 0, 1, 0, 0, 1, 1, 1, 0 };
    QTest::newRow("128 is element 0") << 128 << Bits { 1, 0, 0, 0, 0, 0, 0, 0 };
    QTest::newRow("1 is element 7") << 1 << Bits { 0, 0, 0, 0, 0, 0, 0, 1 };
    QTest::newRow("255") << 255 << Bits { 1, 1, 1, 1, 1, 1, 1, 1 };
}

void tst_RecordLayout::optionBits()
{
    QFETCH(int, byte);
    QFETCH(Bits, bits);
    QVERIFY(Module1::ByteToBits(std::uint8_t(byte)) == bits);
    QCOMPARE(int(Module1::BitsToByte(bits)), byte);
}

QTEST_GUILESS_MAIN(tst_RecordLayout)
#include "tst_recordlayout.moc"
