// Recall: the texts and states a stored shaft record puts into the window, in their order, and the
// lookups of the three Enter-key recalls.

#include "records/recall.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using Recall::Assignment;
using Recall::Plan;

namespace {

Assignment text(const char *control, const QString &value)
{
    return { Assignment::Text, QString::fromLatin1(control), value, 0 };
}

Assignment state(Assignment::Kind kind, const char *control, int value)
{
    return { kind, QString::fromLatin1(control), QString(), value };
}

BearingRecord bearing(const QString &model, int type, float e, float y1, float y2, float cr)
{
    BearingRecord b;
    b.Model = model;
    b.Type = static_cast<std::uint8_t>(type);
    b.e = e;
    b.Y1 = y1;
    b.Y2 = y2;
    b.Cr = cr;
    return b;
}

// A one-gear shaft: P1 5 kW, P2 5.005 kW, gear 2 all zeros, gear 1 force left, optAssembleA,
// self-weight off although 25 kg are stored.
ShaftRecord oneGearShaft()
{
    ShaftRecord r;
    r.ShaftNo = QStringLiteral("G-7            ");
    r.P1 = 5;
    r.P2 = 5.005f;
    r.n = 1450;
    r.L = 260;
    r.ALFA = 180;
    r.GearParams = { 130, 96, 8, 20, 0, 0, 0, 0 };
    r.Flags = 64 + 2;
    r.WeightKg = 25;
    r.ModelA = QStringLiteral("30208       ");
    r.ModelB = QStringLiteral("6208        ");
    return r;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestRecall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    void powerText_data();
    void powerText();
    void oneGearRecordWithBearingA();
    void selfWeightOnAndUnknownType();
    void shaftLookup_data();
    void shaftLookup();
    void bearingLookup();
    void bearingBSameAsA();
};

void TestRecall::powerText_data()
{
    QTest::addColumn<float>("p1");
    QTest::addColumn<float>("p2");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one power") << 5.0f << 5.0f << QStringLiteral("5");
    QTest::newRow("P2 5.005 is within 0.01") << 5.0f << 5.005f << QStringLiteral("5");
    QTest::newRow("P2 7.5") << 5.0f << 7.5f << QStringLiteral("5/7.5");
    // 5.01 - 5 in floats is 0.0100002, just above 0.01.
    QTest::newRow("P2 5.01") << 5.0f << 5.01f << QStringLiteral("5/5.01");
    QTest::newRow("P2 0") << 20.0f << 0.0f << QStringLiteral("20/0");
    QTest::newRow("fractions") << 0.75f << 12.25f << QStringLiteral("0.75/12.25");
}

void TestRecall::powerText()
{
    QFETCH(float, p1);
    QFETCH(float, p2);
    QFETCH(QString, expected);
    QCOMPARE(Recall::powerText(p1, p2), expected);
}

void TestRecall::oneGearRecordWithBearingA()
{
    const BearingRecord a = bearing(QStringLiteral("30208"), 1, 0.37f, 1.6f, 0, 63);
    const Plan plan = Recall::shaftPlan(oneGearShaft(), a, BearingRecord()); // B not in catalogue

    const Plan expected = {
        text("txtParameter_0", QStringLiteral("G-7")),
        text("txtParameter_1", QStringLiteral("5")),
        text("txtParameter_2", QStringLiteral("1450")),
        text("txtParameter_3", QStringLiteral("260")),
        text("txtParameter_4", QStringLiteral("180")),
        text("txtGear_0", QStringLiteral("130")),
        text("txtGear_1", QStringLiteral("96")),
        text("txtGear_2", QStringLiteral("8")),
        text("txtGear_3", QStringLiteral("20")),
        text("txtGear_4", QString()), // gear 2 stays empty rather than showing 0
        text("txtGear_5", QString()),
        text("txtGear_6", QString()),
        text("txtGear_7", QString()),
        state(Assignment::Option, "optGear1_0", 1),
        state(Assignment::Option, "optGear1_1", 0),
        state(Assignment::Option, "optGear2_0", 0),
        state(Assignment::Option, "optGear2_1", 0),
        state(Assignment::Check, "chkWeight", 0),
        state(Assignment::Option, "optAssembleA", 1),
        state(Assignment::Option, "optAssembleB", 0),
        // no txtWeight: self-weight is off, the stored 25 kg are not shown
        text("txtBearingA_0", QStringLiteral("30208")),
        text("txtBearingB_0", QStringLiteral("6208")),
        text("txtBearingA_1", QStringLiteral("0.37")),
        text("txtBearingA_2", QStringLiteral("1.6")),
        text("txtBearingA_3", QStringLiteral("0")),
        text("txtBearingA_4", QStringLiteral("63")),
        state(Assignment::Combo, "cboTypeA", 1), // after the options: its type rules win
        state(Assignment::CaretToEnd, "txtParameter_0", 0),
    };
    QCOMPARE(plan.size(), expected.size());
    for (qsizetype i = 0; i < plan.size(); ++i) {
        QVERIFY2(plan.at(i) == expected.at(i),
            qPrintable(QStringLiteral("step %1: %2").arg(i).arg(plan.at(i).control)));
    }
}

void TestRecall::selfWeightOnAndUnknownType()
{
    ShaftRecord r = oneGearShaft();
    r.Flags = 64 + 8 + 4 + 2; // 78: gear 1 left, gear 2 right, self-weight, optAssembleA
    r.WeightKg = -3;
    const BearingRecord b = bearing(QStringLiteral("6208"), 7, 0, 0, 0, 29.5f);
    const Plan plan = Recall::shaftPlan(r, BearingRecord(), b);

    const qsizetype check = plan.indexOf(state(Assignment::Check, "chkWeight", 1));
    QVERIFY(check > 0);
    QCOMPARE(plan.at(check - 1), state(Assignment::Option, "optGear2_1", 1));
    QCOMPARE(plan.at(check + 3), text("txtWeight", QStringLiteral("-3"))); // after both mountings
    QCOMPARE(plan.at(check + 4), text("txtBearingA_0", QStringLiteral("30208")));
    // B's factors are filled; a type beyond the five list entries selects nothing.
    QVERIFY(plan.contains(text("txtBearingB_4", QStringLiteral("29.5"))));
    for (const Assignment &a : plan)
        QVERIFY(a.kind != Assignment::Combo);
    QVERIFY(!plan.contains(text("txtBearingA_1", QStringLiteral("0"))));
}

void TestRecall::shaftLookup_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    QTest::newRow("typed in lower case") << QStringLiteral("g-7") << true;
    QTest::newRow("trailing blanks") << QStringLiteral("G-7   ") << true;
    QTest::newRow("P1 of 0.0005 counts as absent") << QStringLiteral("TINY") << false;
    QTest::newRow("not on file") << QStringLiteral("G-8") << false;
}

void TestRecall::shaftLookup()
{
    QFETCH(QString, typed);
    QFETCH(bool, found);
    QTemporaryDir dir;
    RecordFiles::setAppDirectory(dir.path());
    ShaftRecord tiny = oneGearShaft();
    tiny.ShaftNo = QStringLiteral("TINY");
    tiny.P1 = 0.0005f;
    writeFile(RecordFiles::gearPath(),
        RecordLayout::encodeShaft(tiny) + RecordLayout::encodeShaft(oneGearShaft()));
    writeFile(RecordFiles::bearingPath(),
        RecordLayout::encodeBearing(bearing(QStringLiteral("6208"), 0, 0.24f, 2.8f, 4.2f, 29.5f)));

    Plan plan;
    StoreError error;
    QCOMPARE(Recall::PlanShaftRecall(typed, plan, &error), found);
    QVERIFY(!error.failed());
    if (!found) {
        QVERIFY(plan.isEmpty());
        return;
    }
    // B (6208, type 0) is in the catalogue, A (30208) is not: only B's factors and type follow.
    QVERIFY(plan.contains(text("txtBearingB_3", QStringLiteral("4.2"))));
    QVERIFY(plan.contains(state(Assignment::Combo, "cboTypeB", 0)));
    for (const Assignment &a : plan)
        QVERIFY(a.control != QStringLiteral("cboTypeA")
            && a.control != QStringLiteral("txtBearingA_1"));
}

void TestRecall::bearingLookup()
{
    QTemporaryDir dir;
    RecordFiles::setAppDirectory(dir.path());
    writeFile(RecordFiles::bearingPath(),
        RecordLayout::encodeBearing(bearing(QStringLiteral("7208C"), 4, 0, 0, 0, 36.8f))
            + RecordLayout::encodeBearing(bearing(QStringLiteral("7208C"), 1, 1, 1, 1, 99)));

    Plan plan;
    QVERIFY(Recall::PlanBearingRecall(Recall::Side::B, QStringLiteral("7208c"), plan));
    const Plan expected = {
        text("txtBearingB_1", QStringLiteral("0")),
        text("txtBearingB_2", QStringLiteral("0")),
        text("txtBearingB_3", QStringLiteral("0")),
        text("txtBearingB_4", QStringLiteral("36.8")), // the first of two records
        state(Assignment::Combo, "cboTypeB", 4),
        state(Assignment::CaretToEnd, "txtBearingB_0", 0),
    };
    QVERIFY(plan == expected);
    QVERIFY(!Recall::PlanBearingRecall(Recall::Side::A, QStringLiteral("7209C"), plan));
    QVERIFY(plan.isEmpty());
}

void TestRecall::bearingBSameAsA()
{
    QTemporaryDir dir;
    RecordFiles::setAppDirectory(dir.path());
    // A's boxes as they stand, unsaved edit and empty box included; B's model typed differently
    // only in case and trailing blanks.
    const std::array<QString, 4> aTexts
        = { QStringLiteral("0.4"), QStringLiteral("1.5"), QString(), QStringLiteral("80") };
    Plan plan;
    QVERIFY(Recall::PlanBearingBRecall(
        QStringLiteral("NU208"), QStringLiteral("nu208  "), aTexts, plan));
    const Plan expected = {
        text("txtBearingB_1", QStringLiteral("0.4")),
        text("txtBearingB_2", QStringLiteral("1.5")),
        text("txtBearingB_3", QString()),
        text("txtBearingB_4", QStringLiteral("80")),
    };
    QVERIFY(plan == expected); // no type, no caret
    QVERIFY(!QFile::exists(RecordFiles::bearingPath())); // no file was read (or created)
}

QTEST_GUILESS_MAIN(TestRecall)
#include "tst_recall.moc"
