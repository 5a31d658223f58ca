// The record browser's lines, headings, bore key and the reading of the two record files.

#include "records/recordfile.h"
#include "ui/browser/viewlines.h"
#include "ui/browser/viewlists.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSize>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstring>

namespace {

// Slots built by hand, byte by byte, so the tests do not lean on the encoder under test elsewhere.
void putInt16(QByteArray &slot, int offset, int value)
{
    slot[offset] = static_cast<char>(value & 0xFF);
    slot[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void putFloat(QByteArray &slot, int offset, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i)
        slot[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

void putBytes(QByteArray &slot, int offset, const QByteArray &bytes)
{
    std::memcpy(slot.data() + offset, bytes.constData(), static_cast<size_t>(bytes.size()));
}

QByteArray bearingSlot(const QByteArray &model, int type, int d, float cr)
{
    QByteArray slot(48, ' ');
    putBytes(slot, 0, model.leftJustified(12, ' ', true));
    slot[12] = static_cast<char>(type);
    putInt16(slot, 13, d);
    putInt16(slot, 15, d + 40);
    putInt16(slot, 17, 18);
    putFloat(slot, 19, 0.37f);
    putFloat(slot, 23, 1.6f);
    putFloat(slot, 27, 0.9f);
    putFloat(slot, 31, cr);
    return slot;
}

QByteArray shaftSlot(const QByteArray &number, float p1, float p2)
{
    QByteArray slot(116, ' ');
    putBytes(slot, 0, number.leftJustified(15, ' ', true));
    putFloat(slot, 15, p1);
    putFloat(slot, 19, p2);
    putFloat(slot, 23, 960);
    putInt16(slot, 27, 250);
    putInt16(slot, 29, 90);
    for (int i = 0; i < 8; ++i)
        putInt16(slot, 31 + 2 * i, 10 * (i + 1));
    slot[47] = 0;
    putInt16(slot, 48, 0);
    putBytes(slot, 50, QByteArray("6208        "));
    putBytes(slot, 62, QByteArray("NU210       "));
    return slot;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class tst_ViewLines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void gearLine_data();
    void gearLine();
    void bearingLine_data();
    void bearingLine();
    void headings();
    void boreKey_data();
    void boreKey();
    void copiesFromLines_data();
    void copiesFromLines();

    void missingFileGivesNoLineAndIsCreated();
    void tornLastSlotIsNotARecord();
    void badBearingSlotsStillShowALine();
    void filterKeepsRecordOrderAndExactBores();
    void unreadableFileIsAnError();
    void rowsAreAsWideAsTheWidestLine();

private:
    QTemporaryDir m_dir;
};

void tst_ViewLines::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German)); // a comma-decimal locale must not leak in
    QVERIFY(m_dir.isValid());
}

void tst_ViewLines::init()
{
    RecordFiles::setAppDirectory(m_dir.path());
    QFile::remove(RecordFiles::gearPath());
    QFile::remove(RecordFiles::bearingPath());
}

// Columns of ViewGearLine: number 16 | power 12 | speed 8 | span 8 | model A 13 | model B 13.
// clang-format off
void tst_ViewLines::gearLine_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<float>("p1");
    QTest::addColumn<float>("p2");
    QTest::addColumn<float>("n");
    QTest::addColumn<int>("span");
    QTest::addColumn<QString>("modelA");
    QTest::addColumn<QStringList>("columns");

    const QString a = QStringLiteral("6208");
    QTest::newRow("one power")
        << QStringLiteral("WX-1") << 5.5f << 5.5f << 1450.0f << 300 << a
        << QStringList{QStringLiteral("WX-1            "), QStringLiteral("5.5         "),
                       QStringLiteral("1450    "), QStringLiteral("300     "),
                       QStringLiteral("6208         ")};
    QTest::newRow("15-character number keeps a blank")
        << QStringLiteral("ABCDEFGHIJKLMNO") << 1.0f << 1.0f << 1.0f << 1 << a
        << QStringList{QStringLiteral("ABCDEFGHIJKLMNO "), QStringLiteral("1           "),
                       QStringLiteral("1       "), QStringLiteral("1       "),
                       QStringLiteral("6208         ")};
    QTest::newRow("75 and 75.005 show 75")
        << QStringLiteral("G2") << 75.0f << 75.005f << 980.0f << 420 << a
        << QStringList{QStringLiteral("G2              "), QStringLiteral("75          "),
                       QStringLiteral("980     "), QStringLiteral("420     "),
                       QStringLiteral("6208         ")};
    QTest::newRow("75 and 60 show 75/60")
        << QStringLiteral("G3") << 75.0f << 60.0f << 980.0f << 420 << a
        << QStringList{QStringLiteral("G3              "), QStringLiteral("75/60       "),
                       QStringLiteral("980     "), QStringLiteral("420     "),
                       QStringLiteral("6208         ")};
    // 0.01f - 0 is the float nearest 0.01 itself: "at most" keeps P1 alone.
    QTest::newRow("difference of exactly 0.01 shows P1")
        << QStringLiteral("G4") << 0.01f << 0.0f << 1.0f << 1 << a
        << QStringList{QStringLiteral("G4              "), QStringLiteral("0.01        "),
                       QStringLiteral("1       "), QStringLiteral("1       "),
                       QStringLiteral("6208         ")};
    QTest::newRow("difference just above 0.01 shows both")
        << QStringLiteral("G5") << std::nextafter(0.01f, 1.0f) << 0.0f << 1.0f << 1 << a
        << QStringList{QStringLiteral("G5              "), QStringLiteral("0.01/0      "),
                       QStringLiteral("1       "), QStringLiteral("1       "),
                       QStringLiteral("6208         ")};
    QTest::newRow("long power cut to 12, speed filling its 8, negative span")
        << QStringLiteral("G6") << 1234.567f << 7654.321f << 123456.7f << -120 << a
        << QStringList{QStringLiteral("G6              "), QStringLiteral("1234.567/765"),
                       QStringLiteral("123456.7"), QStringLiteral("-120    "),
                       QStringLiteral("6208         ")};
    QTest::newRow("12-character model keeps a blank, Chinese model counts characters")
        << QStringLiteral("轴系一") << 3.0f << 3.0f << 720.0f << 250 << QStringLiteral("ABCDEFGHIJ12")
        << QStringList{QStringLiteral("轴系一             "), QStringLiteral("3           "),
                       QStringLiteral("720     "), QStringLiteral("250     "),
                       QStringLiteral("ABCDEFGHIJ12 ")};
}
// clang-format on

void tst_ViewLines::gearLine()
{
    QFETCH(QString, number);
    QFETCH(float, p1);
    QFETCH(float, p2);
    QFETCH(float, n);
    QFETCH(int, span);
    QFETCH(QString, modelA);
    QFETCH(QStringList, columns);

    ShaftRecord record;
    record.ShaftNo = number;
    record.P1 = p1;
    record.P2 = p2;
    record.n = n;
    record.L = static_cast<std::int16_t>(span);
    record.ModelA = modelA;
    record.ModelB = QStringLiteral("NU210       "); // as read: padded to 12 characters

    const QString line = ViewGearLine(record);
    QCOMPARE(line.size(), 70);
    QCOMPARE(line.mid(0, 16), columns.at(0));
    QCOMPARE(line.mid(16, 12), columns.at(1));
    QCOMPARE(line.mid(28, 8), columns.at(2));
    QCOMPARE(line.mid(36, 8), columns.at(3));
    QCOMPARE(line.mid(44, 13), columns.at(4));
    QCOMPARE(line.mid(57, 13), QStringLiteral("NU210        "));
}

// Columns of ViewBearingLine: model 13 | d, D, B, e, Y1, Y2, Cr 7 each | 4 blanks | type.
// clang-format off
void tst_ViewLines::bearingLine_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("d");
    QTest::addColumn<float>("e");
    QTest::addColumn<float>("cr");
    QTest::addColumn<QString>("expected");

    //                                          1234567890123|d     |D     |B     |e     |Y1    |Y2    |Cr    |    |t
    QTest::newRow("tapered roller")
        << QStringLiteral("30208") << 1 << 40 << 0.37f << 63.0f
        << QStringLiteral("30208        40     80     18     0.37   1.6    0.9    63         1");
    QTest::newRow("12-character model keeps a blank")
        << QStringLiteral("ABCDEFGHIJ12") << 0 << 40 << 0.37f << 63.0f
        << QStringLiteral("ABCDEFGHIJ12 40     80     18     0.37   1.6    0.9    63         0");
    QTest::newRow("Cr 1234.567 shows 1234.56")
        << QStringLiteral("NU210") << 3 << 50 << 0.0f << 1234.567f
        << QStringLiteral("NU210        50     90     18     0      1.6    0.9    1234.56    3");
    QTest::newRow("negative d")
        << QStringLiteral("X") << 4 << -5 << 0.35f << 1.5f
        << QStringLiteral("X            -5     35     18     0.35   1.6    0.9    1.5        4");
    QTest::newRow("type 200 is shown whole")
        << QStringLiteral("BAD") << 200 << 40 << 0.37f << 63.0f
        << QStringLiteral("BAD          40     80     18     0.37   1.6    0.9    63         200");
}
// clang-format on

void tst_ViewLines::bearingLine()
{
    QFETCH(QString, model);
    QFETCH(int, type);
    QFETCH(int, d);
    QFETCH(float, e);
    QFETCH(float, cr);
    QFETCH(QString, expected);

    BearingRecord record;
    record.Model = model;
    record.Type = static_cast<std::uint8_t>(type);
    record.d = static_cast<std::int16_t>(d);
    record.D = static_cast<std::int16_t>(d + 40);
    record.B = 18;
    record.e = e;
    record.Y1 = 1.6f;
    record.Y2 = 0.9f;
    record.Cr = cr;
    QCOMPARE(ViewBearingLine(record), expected);
}

void tst_ViewLines::headings()
{
    QCOMPARE(ViewLines::bearingKeyHeading(), QStringLiteral(" 型 号"));
    QCOMPARE(ViewLines::gearKeyHeading(), QStringLiteral(" 编 号"));
    QCOMPARE(ViewLines::bearingHeading(),
        QStringLiteral(" d      D      B      e      Y1     Y2     Cr(kN)   类型"));
    QCOMPARE(ViewLines::gearHeadingOnSwitch(),
        QStringLiteral("    功率(kW)    转速    跨距    轴承A        轴承B"));
    // The heading set when the window loads has one blank more between 转速 and 跨距.
    QCOMPARE(ViewLines::gearHeadingOnLoad(),
        QStringLiteral("    功率(kW)    转速     跨距    轴承A        轴承B"));
    // The bearing heading starts over column 14; each name stands over the second cell of its
    // column: d over 15 (column 14-20), D over 22, B over 29, e over 36, Y1 over 43, Y2 over 50,
    // Cr over 57, and 类型 over 66-69 where the type digit sits in 67.
    const QString h = ViewLines::bearingHeading();
    QCOMPARE(14 + h.indexOf(u'd'), 15);
    QCOMPARE(14 + h.indexOf(u'D'), 22);
    QCOMPARE(14 + h.indexOf(u'B'), 29);
    QCOMPARE(14 + h.indexOf(u'e'), 36);
    QCOMPARE(14 + h.indexOf(QStringLiteral("Y1")), 43);
    QCOMPARE(14 + h.indexOf(QStringLiteral("Y2")), 50);
    QCOMPARE(14 + h.indexOf(QStringLiteral("Cr")), 57);
    QCOMPARE(14 + h.indexOf(QStringLiteral("类型")), 66);
}

// clang-format off
void tst_ViewLines::boreKey_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key"); // 0: the whole catalogue

    QTest::newRow("40") << QStringLiteral("40") << 40;
    QTest::newRow("40mm") << QStringLiteral("40mm") << 40;
    QTest::newRow("40.5 halves to even 40") << QStringLiteral("40.5") << 40;
    QTest::newRow("41.5 halves to even 42") << QStringLiteral("41.5") << 42;
    QTest::newRow("40.6 rounds up") << QStringLiteral("40.6") << 41;
    QTest::newRow("blanks inside the number") << QStringLiteral(" 4 0") << 40;
    QTest::newRow("1.5 is 2") << QStringLiteral("1.5") << 2;
    QTest::newRow("0.5 halves to 0: all") << QStringLiteral("0.5") << 0;
    QTest::newRow("empty: all") << QString() << 0;
    QTest::newRow("0: all") << QStringLiteral("0") << 0;
    QTest::newRow("-3: all") << QStringLiteral("-3") << 0;
    QTest::newRow("abc: all") << QStringLiteral("abc") << 0;
    QTest::newRow("comma is not a decimal point") << QStringLiteral("40,7") << 40;
    QTest::newRow("largest 16-bit") << QStringLiteral("32767") << 32767;
    QTest::newRow("beyond 16 bits matches nothing") << QStringLiteral("99999") << 32768;
    QTest::newRow("1e999 matches nothing") << QStringLiteral("1e999") << 32768;
}
// clang-format on

void tst_ViewLines::boreKey()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    const std::optional<int> bore = ViewLines::boreKey(text);
    QCOMPARE(bore.value_or(0), key);
    QCOMPARE(bore.has_value(), key != 0);
}

// clang-format off
void tst_ViewLines::copiesFromLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("texts"); // model, e, Y1, Y2, Cr
    QTest::addColumn<int>("type");

    QTest::newRow("12-character model")
        << QStringLiteral("ABCDEFGHIJ12 40     80     18     1.5    1.5    1.5    1.5        4")
        << QStringList{QStringLiteral("ABCDEFGHIJ12"), QStringLiteral("1.5"), QStringLiteral("1.5"),
                       QStringLiteral("1.5"), QStringLiteral("1.5")}
        << 4;
    QTest::newRow("type 12 is not type 2")
        << QStringLiteral("BAD          40     80     18     1      1      1      1          12")
        << QStringList{QStringLiteral("BAD"), QStringLiteral("1"), QStringLiteral("1"),
                       QStringLiteral("1"), QStringLiteral("1")}
        << 12;
    QTest::newRow("line without a type") << QStringLiteral("SHORT")
                                         << QStringList{QStringLiteral("SHORT"), QString(),
                                                        QString(), QString(), QString()}
                                         << -1;
}
// clang-format on

void tst_ViewLines::copiesFromLines()
{
    QFETCH(QString, line);
    QFETCH(QStringList, texts);
    QFETCH(int, type);
    const ViewLines::BearingCopy copy = ViewLines::bearingOfLine(line);
    QCOMPARE((QStringList { copy.model, copy.e, copy.Y1, copy.Y2, copy.Cr }), texts);
    QCOMPARE(copy.type, type);
}

void tst_ViewLines::missingFileGivesNoLineAndIsCreated()
{
    QStringList lines { QStringLiteral("stale") };
    StoreError error;
    QVERIFY(ViewLists::readGearLines(RecordFiles::gearPath(), lines, error));
    QVERIFY(lines.isEmpty());
    QVERIFY(QFile::exists(RecordFiles::gearPath()));
    QCOMPARE(QFile(RecordFiles::gearPath()).size(), 0);
}

void tst_ViewLines::tornLastSlotIsNotARecord()
{
    writeFile(RecordFiles::gearPath(),
        shaftSlot("N1", 5, 5) + shaftSlot("N2", 7.5f, 3) + shaftSlot("N3", 1, 1).left(50));
    QStringList lines;
    StoreError error;
    QVERIFY(ViewLists::readGearLines(RecordFiles::gearPath(), lines, error));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).left(28), QStringLiteral("N1              5           "));
    QCOMPARE(lines.at(1).left(28), QStringLiteral("N2              7.5/3       "));
    QCOMPARE(lines.at(1).mid(28), QStringLiteral("960     250     6208         NU210        "));
}

void tst_ViewLines::badBearingSlotsStillShowALine()
{
    // 0x81 0x20 and 0x81 0x7F are no GBK characters (0x7F, DEL, then stands alone); NUL padding
    // comes from files of other programs.
    QByteArray nulPadded("NUL");
    nulPadded.append(9, '\0');
    writeFile(RecordFiles::bearingPath(),
        bearingSlot("\x81 BAD", 1, 40, 63) + bearingSlot("A\x81\x7F", 2, 41, 63)
            + bearingSlot(nulPadded, 0, 42, 63) + bearingSlot("TYPE9", 9, 43, 63)
            + bearingSlot("TYPE255", 255, 44, 63)
            + bearingSlot(QStringEncoder("GBK").encode(QStringLiteral("轴承")), 4, 45, 63)
            + bearingSlot("TORN", 1, 46, 63).left(20));
    QStringList lines;
    StoreError error;
    QVERIFY(ViewLists::readBearingLines(RecordFiles::bearingPath(), std::nullopt, lines, error));
    QCOMPARE(lines.size(), 6);
    const QString rest = QStringLiteral("%1     %2     18     0.37   1.6    0.9    63         %3");
    for (int i = 0; i < 6; ++i) {
        const int type[] = { 1, 2, 0, 9, 255, 4 };
        QCOMPARE(lines.at(i).mid(13), rest.arg(40 + i).arg(80 + i).arg(type[i]));
        for (const QChar c : lines.at(i))
            QVERIFY2(c.category() != QChar::Other_Control, qPrintable(lines.at(i)));
        QVERIFY(lines.at(i).left(13).endsWith(u' '));
    }
    QVERIFY(lines.at(0).startsWith(QChar(QChar::ReplacementCharacter)));
    QCOMPARE(lines.at(1).left(3), QStringLiteral("A\uFFFD "));
    QCOMPARE(lines.at(2).left(13), QStringLiteral("NUL          "));
    QCOMPARE(lines.at(5).left(13), QStringLiteral("轴承           "));
    // Copying a stored type outside 0..4 hands that type on (the main window leaves its type).
    QCOMPARE(ViewLines::bearingOfLine(lines.at(3)).type, 9);
    QCOMPARE(ViewLines::bearingOfLine(lines.at(4)).type, 255);
}

void tst_ViewLines::filterKeepsRecordOrderAndExactBores()
{
    writeFile(RecordFiles::bearingPath(),
        bearingSlot("B1", 0, 40, 10) + bearingSlot("B2", 0, 41, 10) + bearingSlot("B3", 0, 40, 10)
            + bearingSlot("B4", 0, -40, 10) + bearingSlot("B5", 0, 40, 10));
    auto models = [](std::optional<int> bore) {
        QStringList lines;
        StoreError error;
        if (!ViewLists::readBearingLines(RecordFiles::bearingPath(), bore, lines, error))
            return QStringList { QStringLiteral("error") };
        QStringList out;
        for (const QString &line : std::as_const(lines))
            out.append(ViewLines::bearingOfLine(line).model);
        return out;
    };
    QCOMPARE(models(40),
        (QStringList { QStringLiteral("B1"), QStringLiteral("B3"), QStringLiteral("B5") }));
    QCOMPARE(models(41), QStringList { QStringLiteral("B2") });
    QCOMPARE(models(39), QStringList());
    QCOMPARE(models(32768), QStringList());
    QCOMPARE(models(std::nullopt).size(), 5);
}

void tst_ViewLines::unreadableFileIsAnError()
{
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("gear.sav")));
    QStringList lines { QStringLiteral("stale") };
    StoreError error;
    QVERIFY(!ViewLists::readGearLines(RecordFiles::gearPath(), lines, error));
    QVERIFY(lines.isEmpty());
    QVERIFY(error.failed());
    QCOMPARE(error.path, RecordFiles::gearPath());
    QDir(m_dir.path()).rmdir(QStringLiteral("gear.sav"));
}

void tst_ViewLines::rowsAreAsWideAsTheWidestLine()
{
    // Uniform rows must still hold the widest line, wherever it is, or its end would be cut off.
    LineListModel model;
    model.setCellMetrics(6.5, 6, 19);
    model.setLines(
        { QStringLiteral("12345"), QStringLiteral("轴承甲 ABCDEFGHIJ"), QStringLiteral("x") });
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.widestCells(), 3 * 2 + 11);
    // 17 cells of 6.5 pixels is 110.5, rounded up, plus the margins.
    QCOMPARE(model.index(2).data(Qt::SizeHintRole).toSize(), QSize(111 + 6, 19));
    QCOMPARE(model.index(1).data().toString(), QStringLiteral("轴承甲 ABCDEFGHIJ"));
    model.setLines({});
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.widestCells(), 0);
}

QTEST_GUILESS_MAIN(tst_ViewLines)
#include "tst_viewlines.moc"
