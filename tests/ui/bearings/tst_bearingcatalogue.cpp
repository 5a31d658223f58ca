// The catalogue lines of the bearing data manager, their order and the rewrite of bearing.sav.

#include "calc/conversions.h"
#include "records/recordfile.h"
#include "ui/bearings/catalogue.h"
#include "ui/bearings/editerline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Bearing
{
    const char *model;
    int type;
    int d;
};

QString lineOf(const Bearing &b)
{
    BearingRecord r;
    r.Model = QString::fromUtf8(b.model);
    r.Type = static_cast<std::uint8_t>(b.type);
    r.d = static_cast<std::int16_t>(b.d);
    r.Cr = 10;
    return EditerLine::fromRecord(r);
}

// A list of plain ASCII texts.
QStringList texts(std::initializer_list<const char *> items)
{
    QStringList out;
    for (const char *item : items)
        out.append(QString::fromUtf8(item));
    return out;
}

QStringList modelsOf(const QStringList &lines)
{
    QStringList models;
    for (const QString &line : lines)
        models.append(Conv::trimRight(EditerLine::modelOf(line)));
    return models;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

Q_DECLARE_METATYPE(Bearing)

class tst_BearingCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void lineLayout();
    void singleColumn_data();
    void singleColumn();
    void entryRounding_data();
    void entryRounding();
    void entryRefused_data();
    void entryRefused();
    void chineseModelFitsTheField();

    void sortOrder_data();
    void sortOrder();
    void sortManyGroups();

    void rewriteStoresTheLines();
    void dumpIsGbkWithCrLf();

private:
    QTemporaryDir m_dir;
};

void tst_BearingCatalogue::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German));
    QVERIFY(m_dir.isValid());
}

void tst_BearingCatalogue::init()
{
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
    RecordFiles::setAppDirectory(m_dir.path());
}

void tst_BearingCatalogue::lineLayout()
{
    BearingRecord r;
    r.Model = QStringLiteral("SKF23048");
    r.d = 240;
    r.D = 360;
    r.B = 118;
    r.e = 0.26f;
    r.Y1 = 2.6f;
    r.Y2 = 3.9f;
    r.Cr = 1020;
    QCOMPARE(EditerLine::fromRecord(r),
        QStringLiteral("SKF23048    240   360   118   0.26  2.6   3.9   1020     0"));

    // A 12-character model runs straight into the d column; the type comes back from the end.
    r.Model = QStringLiteral("NU2212ECJ/C3");
    r.d = 60;
    r.Type = 3;
    const QString line = EditerLine::fromRecord(r);
    QCOMPARE(line.left(18), QStringLiteral("NU2212ECJ/C360    "));
    QCOMPARE(line.size(), 58);
    const BearingRecord back = EditerLine::toRecord(line);
    QCOMPARE(back.Model, r.Model);
    QCOMPARE(back.Type, std::uint8_t(3));
    QCOMPARE(back.d, std::int16_t(60));
    QCOMPARE(back.B, std::int16_t(118));
    QCOMPARE(back.Y2, 3.9f);
    QCOMPARE(back.Cr, 1020.0f);
}

void tst_BearingCatalogue::singleColumn_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("column");
    QTest::newRow("e 0.2345678 cut to 0.2345") << 0.2345678f << QStringLiteral("0.2345");
    QTest::newRow("Cr 1234.567 cut to 1234.5") << 1234.567f << QStringLiteral("1234.5");
    QTest::newRow("short value padded") << 0.5f << QStringLiteral("0.5   ");
    QTest::newRow("zero") << 0.0f << QStringLiteral("0     ");
    QTest::newRow("six whole digits lose the decimals") << 123456.7f << QStringLiteral("123456");
    QTest::newRow("1E-06 fits as it is") << 1e-6f << QStringLiteral("1E-06 ");
    // General texts whose cut would drop digits before the point or the exponent.
    QTest::newRow("0.0001234 keeps one digit") << 0.0001234f << QStringLiteral("0.0001");
    QTest::newRow("0.00001234 would cut to 0") << 1.234e-5f << QStringLiteral("1.2E-5");
    QTest::newRow("1.234E-06 keeps its exponent") << 1.234e-6f << QStringLiteral("1.2E-6");
    QTest::newRow("seven whole digits") << 1234567.0f << QStringLiteral("1.2E+6");
    QTest::newRow("1.5E+07") << 1.5e7f << QStringLiteral("1.5E+7");
    QTest::newRow("negative six whole digits") << -123456.7f << QStringLiteral("-1E+5 ");
}

void tst_BearingCatalogue::singleColumn()
{
    QFETCH(float, value);
    QFETCH(QString, column);
    QCOMPARE(EditerLine::singleColumn(value), column);
}

void tst_BearingCatalogue::entryRounding_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("column");
    QTest::newRow("35.5 halves up to even 36") << QStringLiteral("35.5") << QStringLiteral("36");
    QTest::newRow("34.5 halves down to even 34") << QStringLiteral("34.5") << QStringLiteral("34");
    QTest::newRow("62abc reads 62") << QStringLiteral("62abc") << QStringLiteral("62");
    QTest::newRow("no number reads 0") << QStringLiteral("abc") << QStringLiteral("0");
    QTest::newRow("-2.5 halves to -2") << QStringLiteral("-2.5") << QStringLiteral("-2");
    QTest::newRow("-32768 fits") << QStringLiteral("-32768") << QStringLiteral("-32768");
}

void tst_BearingCatalogue::entryRounding()
{
    QFETCH(QString, typed);
    QFETCH(QString, column);
    EditerLine::Entry entry;
    entry.model = QStringLiteral("6204");
    entry.type = 0;
    entry.dimensions = { typed, QStringLiteral("47"), typed };
    QString line;
    EditerLine::Refusal refusal;
    QVERIFY(EditerLine::fromEntry(entry, line, refusal));
    QCOMPARE(EditerLine::columnText(line, EditerLine::ColD), column);
    QCOMPARE(EditerLine::columnText(line, EditerLine::ColOuterD), QStringLiteral("47"));
    QCOMPARE(EditerLine::columnText(line, EditerLine::ColB), column);
}

void tst_BearingCatalogue::entryRefused_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("d");
    QTest::addColumn<QString>("cr");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("index");
    const auto model = static_cast<int>(EditerLine::Field::Model);
    const auto type = static_cast<int>(EditerLine::Field::Type);
    const auto dim = static_cast<int>(EditerLine::Field::Dimension);
    const auto factor = static_cast<int>(EditerLine::Field::Factor);
    const QString m = QStringLiteral("6204");
    const QString ok = QStringLiteral("1");
    QTest::newRow("empty model") << QString() << 0 << ok << ok << model << 0;
    QTest::newRow("blank model") << QStringLiteral("   ") << 0 << ok << ok << model << 0;
    QTest::newRow("no type chosen") << m << -1 << ok << ok << type << 0;
    QTest::newRow("type beyond the list") << m << 5 << ok << ok << type << 0;
    QTest::newRow("d 32767.5 rounds beyond 16 bits")
        << m << 0 << QStringLiteral("32767.5") << ok << dim << 0;
    QTest::newRow("Cr beyond a float") << m << 0 << ok << QStringLiteral("1e39") << factor << 3;
}

void tst_BearingCatalogue::entryRefused()
{
    QFETCH(QString, model);
    QFETCH(int, type);
    QFETCH(QString, d);
    QFETCH(QString, cr);
    QFETCH(int, field);
    QFETCH(int, index);
    EditerLine::Entry entry;
    entry.model = model;
    entry.type = type;
    entry.dimensions[0] = d;
    entry.factors[3] = cr;
    QString line = QStringLiteral("untouched");
    EditerLine::Refusal refusal;
    QVERIFY(!EditerLine::fromEntry(entry, line, refusal));
    QCOMPARE(static_cast<int>(refusal.field), field);
    QCOMPARE(refusal.index, index);
    QCOMPARE(line, QStringLiteral("untouched"));
}

void tst_BearingCatalogue::chineseModelFitsTheField()
{
    // Five Chinese characters take 10 of the field's 12 GBK bytes, leaving room for two letters;
    // the line keeps what the file keeps.
    QCOMPARE(EditerLine::fitModel(QStringLiteral("深沟球轴承ABCD")),
        QStringLiteral("深沟球轴承AB     "));
    QCOMPARE(EditerLine::fitModel(QStringLiteral("深沟球轴承轴承")),
        QStringLiteral("深沟球轴承轴      "));
    QCOMPARE(EditerLine::fitModel(QStringLiteral("6204")), QStringLiteral("6204        "));

    // Shown, the model takes 12 cells: five Chinese characters take ten of them.
    BearingRecord r;
    r.Model = QStringLiteral("深沟球轴承A");
    r.d = 40;
    const QString line = EditerLine::fromRecord(r);
    QCOMPARE(line.mid(12, 6), QStringLiteral("40    "));
    QCOMPARE(EditerLine::displayText(line), QStringLiteral("深沟球轴承A ") + line.mid(12));
    r.Model = QStringLiteral("6204");
    QCOMPARE(EditerLine::displayText(EditerLine::fromRecord(r)), EditerLine::fromRecord(r));
}

void tst_BearingCatalogue::sortOrder_data()
{
    QTest::addColumn<QList<Bearing>>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("prefix 222 < 223 < 231, then d") << QList<Bearing> {
        { "23120", 0, 100 }, { "22320", 0, 100 }, { "22312", 0, 60 }, { "22210", 0, 50 }
    } << texts({ "22210", "22312", "22320", "23120" });
    QTest::newRow("type decides before d")
        << QList<Bearing> { { "32210", 1, 50 }, { "32220", 0, 100 }, { "32208", 1, 40 } }
        << texts({ "32220", "32208", "32210" });
    QTest::newRow("equal keys keep their order") << QList<Bearing> { { "222C", 0, 50 },
        { "2229", 0, 40 }, { "222A", 0, 50 }, { "222B", 0, 50 } }
                                                 << texts({ "2229", "222C", "222A", "222B" });
    QTest::newRow("nu2 and NU2 form one group")
        << QList<Bearing> { { "NU2212", 3, 60 }, { "nu2210", 3, 50 }, { "NU2208", 3, 40 } }
        << texts({ "NU2208", "nu2210", "NU2212" });
    QTest::newRow("blank before digit before letter")
        << QList<Bearing> { { "NJ2", 3, 1 }, { "N20", 3, 1 }, { "N2", 3, 1 }, { "6204", 0, 20 } }
        << texts({ "6204", "N2", "N20", "NJ2" });
    QTest::newRow("one line") << QList<Bearing> { { "6204", 0, 20 } } << texts({ "6204" });
    QTest::newRow("empty") << QList<Bearing> {} << QStringList {};
}

void tst_BearingCatalogue::sortOrder()
{
    QFETCH(QList<Bearing>, input);
    QFETCH(QStringList, expected);
    QStringList lines;
    for (const Bearing &b : input)
        lines.append(lineOf(b));
    BearingCatalogue::sortLines(lines, BearingCatalogue::catalogueCollator());
    QCOMPARE(modelsOf(lines), expected);
}

void tst_BearingCatalogue::sortManyGroups()
{
    // 12 prefixes, each with all 5 types and two bores: 60 type groups. Listed in reverse, they
    // must come back in nested order.
    QStringList expected;
    for (int p = 10; p < 22; ++p)
        for (int type = 0; type < 5; ++type)
            for (int d : { 30, 200 })
                expected.append(lineOf(
                    { QStringLiteral("P%1-%2-%3").arg(p).arg(type).arg(d).toUtf8().constData(),
                        type, d }));
    QStringList lines(expected.crbegin(), expected.crend());
    BearingCatalogue::sortLines(lines, BearingCatalogue::catalogueCollator());
    QCOMPARE(lines, expected);
}

void tst_BearingCatalogue::rewriteStoresTheLines()
{
    BearingRecord r;
    r.Model = QStringLiteral("30210");
    r.Type = 1;
    r.d = 50;
    r.D = 90;
    r.B = 22;
    r.e = 0.2345678f;
    r.Y1 = 1.5f;
    r.Y2 = 0.8f;
    r.Cr = 1234.567f;
    const QStringList lines { lineOf({ "6204", 0, 20 }), EditerLine::fromRecord(r) };
    StoreError error;
    QVERIFY2(BearingCatalogue::rewriteFromLines(RecordFiles::bearingPath(), lines, error),
        qPrintable(error.text()));
    QVERIFY(!QFile::exists(RecordFiles::tempPath()));

    QList<BearingRecord> stored;
    QVERIFY(RecordFiles::readBearingRecords(RecordFiles::bearingPath(), stored, error));
    QCOMPARE(stored.size(), 2);
    QCOMPARE(Conv::trimRight(stored[0].Model), QStringLiteral("6204"));
    const BearingRecord &s = stored[1];
    QCOMPARE(Conv::trimRight(s.Model), QStringLiteral("30210"));
    QCOMPARE(s.Type, std::uint8_t(1));
    QCOMPARE(s.d, std::int16_t(50));
    QCOMPARE(s.D, std::int16_t(90));
    QCOMPARE(s.B, std::int16_t(22));
    QCOMPARE(s.e, 0.2345f); // as the column shows it
    QCOMPARE(s.Y1, 1.5f);
    QCOMPARE(s.Y2, 0.8f);
    QCOMPARE(s.Cr, 1234.5f);

    // An empty list is stored too: the file is emptied.
    QVERIFY(BearingCatalogue::rewriteFromLines(RecordFiles::bearingPath(), {}, error));
    QCOMPARE(QFileInfo(RecordFiles::bearingPath()).size(), 0);
    QVERIFY(!QFile::exists(RecordFiles::tempPath()));
}

void tst_BearingCatalogue::dumpIsGbkWithCrLf()
{
    const QString path = QDir(m_dir.path()).filePath(QStringLiteral("TestData.txt"));
    StoreError error;
    QVERIFY(BearingCatalogue::dumpLines(
        path, { QStringLiteral("型号A"), QStringLiteral("B ") }, error));
    QCOMPARE(fileBytes(path),
        QByteArray("\xd0\xcd\xba\xc5"
                   "A\r\nB \r\n"));
    QVERIFY(BearingCatalogue::dumpLines(path, {}, error));
    QCOMPARE(fileBytes(path), QByteArray());
}

QTEST_GUILESS_MAIN(tst_BearingCatalogue)
#include "tst_bearingcatalogue.moc"
