// The load-and-life calculation against the published worked example and the fault rules.

#include "calc/computeloads.h"
#include "calc/gatherinputs.h"
#include "fakeinputsource.h"

#include <QTest>

#include <cmath>

namespace {

CalcInput workedInput()
{
    CalcInput in;
    in.P1 = 30;
    in.P2 = 20;
    in.n = 1000;
    in.L = 300;
    in.ALFA = 180;
    in.L1 = 80;
    in.d1 = 200;
    in.BTA1 = 10;
    in.ALFA1 = 20;
    in.Fa1Dir = 1;
    in.L2 = 90;
    in.d2 = 120;
    in.BTA2 = 12;
    in.ALFA2 = 20;
    in.Fa2Dir = 0;
    in.TypeA = in.TypeB = SingleRowTapered;
    in.eA = in.eB = 0.37f;
    in.Y1A = in.Y1B = 1.6f;
    in.CrA = in.CrB = 150;
    in.AssembleA = true;
    return in;
}

// The value as the reports print it: two decimals.
double twoDecimals(float v)
{
    return std::round(static_cast<double>(v) * 100.0) / 100.0;
}

} // namespace

class TestComputeLoads : public QObject
{
    Q_OBJECT

private slots:
    void workedExample_data();
    void workedExample();
    void workedExampleLives();
    void halfCircleCleansResidue();
    void sameSideGears();
    void noGear2();
    void gearInMiddle();
    void floatingMounting_data();
    void floatingMounting();
    void taperedWithoutExternalForce();
    void angularContactFormsSbForAnyB();
    void staleInternalForcesKept();
    void faults_data();
    void faults();
    void negativeLoadSkipsLifeOnly();
    void pressureAngle90();
    void captionNumber_data();
    void captionNumber();
};

void TestComputeLoads::workedExample_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("expected");
    // Published figures of the worked example, to two decimals.
    const std::pair<const char *, double> rows[] = {
        {"T1", 286.50},    {"T2", 191.00},    {"Ft1", 2865.00},  {"Fr1", 1058.86},
        {"Fa1", -505.18},  {"Ft2", 3183.33},  {"Fr2", 1184.52},  {"Fa2", 676.64},
        {"Ft2y", 3183.33}, {"Ft2z", 0},       {"Fr2y", 0},       {"Fr2z", -1184.52},
        {"r2y", 0},        {"r2z", -60.00},   {"RxzB", 850.52},  {"RxzA", -724.86},
        {"RxyB", -2992.33}, {"RxyA", -3056.00}, {"RA", 3140.79}, {"RB", 3110.86},
        {"Sa", 981.50},    {"Sb", -972.14},   {"FA", 981.50},    {"FB", 1152.96},
        {"PA", 3140.79},   {"PB", 3089.08},
    };
    for (const auto &[name, value] : rows)
        QTest::newRow(name) << QString::fromLatin1(name) << value;
}

void TestComputeLoads::workedExample()
{
    QFETCH(QString, field);
    QFETCH(double, expected);
    CalcResult r;
    QCOMPARE(ComputeLoads(workedInput(), r), Fault::None);
    const QHash<QString, float> values = {
        {QStringLiteral("T1"), r.T1},     {QStringLiteral("T2"), r.T2},
        {QStringLiteral("Ft1"), r.Ft1},   {QStringLiteral("Fr1"), r.Fr1},
        {QStringLiteral("Fa1"), r.Fa1},   {QStringLiteral("Ft2"), r.Ft2},
        {QStringLiteral("Fr2"), r.Fr2},   {QStringLiteral("Fa2"), r.Fa2},
        {QStringLiteral("Ft2y"), r.Ft2y}, {QStringLiteral("Ft2z"), r.Ft2z},
        {QStringLiteral("Fr2y"), r.Fr2y}, {QStringLiteral("Fr2z"), r.Fr2z},
        {QStringLiteral("r2y"), r.r2y},   {QStringLiteral("r2z"), r.r2z},
        {QStringLiteral("RxzB"), r.RxzB}, {QStringLiteral("RxzA"), r.RxzA},
        {QStringLiteral("RxyB"), r.RxyB}, {QStringLiteral("RxyA"), r.RxyA},
        {QStringLiteral("RA"), r.RA},     {QStringLiteral("RB"), r.RB},
        {QStringLiteral("Sa"), r.Sa},     {QStringLiteral("Sb"), r.Sb},
        {QStringLiteral("FA"), r.FA},     {QStringLiteral("FB"), r.FB},
        {QStringLiteral("PA"), r.PA},     {QStringLiteral("PB"), r.PB},
    };
    QVERIFY(values.contains(field));
    QCOMPARE(twoDecimals(values.value(field)), expected);
}

void TestComputeLoads::workedExampleLives()
{
    CalcResult r;
    QCOMPARE(ComputeLoads(workedInput(), r), Fault::None);
    // ≈ 6 587 051 h and 6 961 850 h: to the hour, allowing the float's own resolution (0.5 h).
    QVERIFY2(std::fabs(r.LhA - 6587051.0) <= 1.0, qPrintable(QString::number(r.LhA, 'f', 1)));
    QVERIFY2(std::fabs(r.LhB - 6961850.0) <= 1.0, qPrintable(QString::number(r.LhB, 'f', 1)));
    QCOMPARE(lifeCaptionNumber(r.LhA), QStringLiteral("658.7"));
    QCOMPARE(lifeCaptionNumber(r.LhB), QStringLiteral("696.2"));
}

void TestComputeLoads::halfCircleCleansResidue()
{
    CalcResult r;
    QCOMPARE(ComputeLoads(workedInput(), r), Fault::None);
    // sin 180° of the slightly short pi is not 0; the residue is cleaned to exactly 0.
    QCOMPARE(r.Ft2z, 0.0f);
    QCOMPARE(r.Fr2y, 0.0f);
    QCOMPARE(r.r2y, 0.0f);
    QCOMPARE(r.Ft2y, r.Ft2);
    QCOMPARE(r.Fr2z, -r.Fr2);
    QCOMPARE(r.r2z, -60.0f);
}

void TestComputeLoads::sameSideGears()
{
    CalcInput in = workedInput();
    in.ALFA = 0;
    CalcResult r;
    QCOMPARE(ComputeLoads(in, r), Fault::None);
    QCOMPARE(r.Ft2y, -r.Ft2);
    QCOMPARE(r.Fr2z, r.Fr2);
    QCOMPARE(r.r2z, 60.0f);
    QCOMPARE(r.Ft2z, 0.0f);
}

void TestComputeLoads::noGear2()
{
    for (int which = 0; which < 2; ++which) {
        CalcInput in = workedInput();
        (which == 0 ? in.L2 : in.d2) = 0;
        CalcResult r;
        r.Ft2 = r.Fr2 = r.Fa2 = 99; // stale values from an earlier run are overwritten
        QCOMPARE(ComputeLoads(in, r), Fault::None);
        QCOMPARE(r.Ft2, 0.0f);
        QCOMPARE(r.Fr2, 0.0f);
        QCOMPARE(r.Fa2, 0.0f);
        QCOMPARE(r.Ft2y, 0.0f);
        QCOMPARE(r.Fr2z, 0.0f);
        QCOMPARE(twoDecimals(r.T2), 191.00); // still computed
    }
}

void TestComputeLoads::gearInMiddle()
{
    CalcInput in = workedInput();
    in.L1 = 150;
    in.L2 = 0;
    in.BTA1 = 0;
    CalcResult r;
    QCOMPARE(ComputeLoads(in, r), Fault::None);
    QCOMPARE(r.Fa1, 0.0f);
    QCOMPARE(r.RxzA, -r.Fr1 / 2);
    QCOMPARE(r.RxzB, -r.Fr1 / 2);
    QCOMPARE(r.RxyA, -r.Ft1 / 2);
    QCOMPARE(r.RxyB, -r.Ft1 / 2);
}

void TestComputeLoads::floatingMounting_data()
{
    QTest::addColumn<float>("weight"); // G, the only external axial force here
    QTest::addColumn<bool>("assembleA");
    QTest::addColumn<bool>("assembleB");
    QTest::addColumn<float>("FA");
    QTest::addColumn<float>("FB");
    QTest::newRow("no option, K=0.0005 goes to A") << -0.0005f << false << false << 0.0005f << 0.0f;
    QTest::newRow("no option, K=-50 goes to A") << -50.0f << false << false << 50.0f << 0.0f;
    QTest::newRow("A floating takes none") << -50.0f << true << false << 0.0f << 50.0f;
    QTest::newRow("A floating wins over B") << -50.0f << true << true << 0.0f << 50.0f;
    QTest::newRow("B floating takes none") << -50.0f << false << true << 50.0f << 0.0f;
}

void TestComputeLoads::floatingMounting()
{
    QFETCH(float, weight);
    QFETCH(bool, assembleA);
    QFETCH(bool, assembleB);
    QFETCH(float, FA);
    QFETCH(float, FB);
    CalcInput in = workedInput();
    in.BTA1 = 0; // no gear axial forces: K is the weight alone
    in.BTA2 = 0;
    in.TypeA = in.TypeB = SphericalRoller;
    in.G = weight;
    in.AssembleA = assembleA;
    in.AssembleB = assembleB;
    CalcResult r;
    QCOMPARE(ComputeLoads(in, r), Fault::None);
    QCOMPARE(r.FA, FA);
    QCOMPARE(r.FB, FB);
}

void TestComputeLoads::taperedWithoutExternalForce()
{
    // Equal RA/Y1A and RB/Y1B with K = 0: S = 0 is not above the threshold.
    CalcInput in = workedInput();
    in.L1 = 150;
    in.L2 = 0;
    in.BTA1 = 0;
    CalcResult r;
    QCOMPARE(ComputeLoads(in, r), Fault::None);
    QCOMPARE(r.RA, r.RB);
    QCOMPARE(r.FA, std::fabs(r.Sb));
    QCOMPARE(r.FB, std::fabs(r.Sb));
    QCOMPARE(static_cast<double>(r.FB), static_cast<double>(0.5f * r.RB / 1.6f));
}

void TestComputeLoads::angularContactFormsSbForAnyB()
{
    CalcInput in = workedInput();
    in.TypeA = AngularContactBall;
    in.TypeB = SphericalRoller;
    in.Y2B = 2.0f;
    CalcResult r;
    QCOMPARE(ComputeLoads(in, r), Fault::None);
    QCOMPARE(r.Sa, static_cast<float>(r.RA * 1.14));
    QCOMPARE(r.Sb, static_cast<float>(r.RB * -1.14));
    in.AssembleA = false;
    QCOMPARE(ComputeLoads(in, r), Fault::None);
    QCOMPARE(r.Sb, static_cast<float>(r.RB * 1.14));
}

void TestComputeLoads::staleInternalForcesKept()
{
    CalcResult r;
    QCOMPARE(ComputeLoads(workedInput(), r), Fault::None);
    const float sa = r.Sa;
    const float sb = r.Sb;
    CalcInput in = workedInput();
    in.TypeA = SphericalRoller;
    QCOMPARE(ComputeLoads(in, r), Fault::None);
    QCOMPARE(r.Sa, sa);
    QCOMPARE(r.Sb, sb);
}

void TestComputeLoads::faults_data()
{
    QTest::addColumn<CalcInput>("input");
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("livesUntouched");

    CalcInput y1bZero = workedInput();
    y1bZero.Y1B = 0; // bearing B switched to a type without Y1
    QTest::newRow("Y1B = 0 with tapered A") << y1bZero << int(Fault::DivisionByZero) << true;

    CalcInput noLoad = workedInput(); // no torque at all: radial loads 0, axial 0
    noLoad.P1 = noLoad.P2 = 0;
    noLoad.TypeA = noLoad.TypeB = SphericalRoller;
    QTest::newRow("0/0 in the ratio test") << noLoad << int(Fault::Overflow) << true;

    CalcInput axialOnly = noLoad;
    axialOnly.G = -100;
    axialOnly.AssembleA = false; // no option: the weight goes to bearing A, which has no radial load
    QTest::newRow("axial load, no radial") << axialOnly << int(Fault::DivisionByZero) << true;

    CalcInput cylindrical = noLoad;
    cylindrical.TypeA = cylindrical.TypeB = CylindricalRoller;
    QTest::newRow("zero load in the life") << cylindrical << int(Fault::DivisionByZero) << true;

    CalcInput span = workedInput();
    span.L = 32000;
    span.L2 = -1000;
    QTest::newRow("L - L2 beyond 16 bits") << span << int(Fault::Overflow) << true;

    CalcInput huge = workedInput();
    huge.P1 = 3e38f;
    QTest::newRow("torque beyond float") << huge << int(Fault::Overflow) << true;
}

void TestComputeLoads::faults()
{
    QFETCH(CalcInput, input);
    QFETCH(int, fault);
    QFETCH(bool, livesUntouched);
    CalcResult r;
    r.LhA = 123;
    r.LhB = 456;
    QCOMPARE(int(ComputeLoads(input, r)), fault);
    if (livesUntouched) {
        QCOMPARE(r.LhA, 123.0f);
        QCOMPARE(r.LhB, 456.0f);
    }
}

void TestComputeLoads::negativeLoadSkipsLifeOnly()
{
    CalcInput in = workedInput();
    in.TypeA = SphericalRoller;
    in.AssembleA = true; // A floating: FA = 0, so PA = RA + Y1A·0 > 0
    in.TypeB = SphericalRoller;
    in.eB = 0;
    in.Y2B = -20; // PB = 0.67 RB - 20 FB < 0
    CalcResult r;
    r.LhB = 777;
    QCOMPARE(ComputeLoads(in, r), Fault::None);
    QVERIFY(r.PB < 0);
    QCOMPARE(r.LhB, 777.0f); // skipped
    QVERIFY(r.LhA > 0);      // computed
}

void TestComputeLoads::pressureAngle90()
{
    CalcInput in = workedInput();
    in.ALFA1 = 90;
    CalcResult r;
    QCOMPARE(ComputeLoads(in, r), Fault::None);
    QVERIFY(std::isfinite(r.Fr1));
    QVERIFY(r.Fr1 > 1e9f);
}

void TestComputeLoads::captionNumber_data()
{
    QTest::addColumn<float>("hours");
    QTest::addColumn<QString>("caption");
    QTest::newRow("85 432 h, two decimals") << 85432.0f << QStringLiteral("8.54");
    QTest::newRow("6 587 051 h, one decimal") << 6587051.0f << QStringLiteral("658.7");
    QTest::newRow("12 345 678 h, none") << 12345678.0f << QStringLiteral("1235");
    QTest::newRow("10^5 h exactly takes two") << 100000.0f << QStringLiteral("10");
    QTest::newRow("10^7 h exactly takes one") << 1.0e7f << QStringLiteral("1000");
    QTest::newRow("just above 10^7 takes none") << 10000001.0f << QStringLiteral("1000");
    // Exact binary halves: 0.125, 0.375, 12.25, 12.75, 1000.5, 1001.5 (万小时).
    QTest::newRow("0.125 to even, down") << 1250.0f << QStringLiteral("0.12");
    QTest::newRow("0.375 to even, up") << 3750.0f << QStringLiteral("0.38");
    QTest::newRow("12.25 to even, down") << 122500.0f << QStringLiteral("12.2");
    QTest::newRow("12.75 to even, up") << 127500.0f << QStringLiteral("12.8");
    QTest::newRow("1000.5 to even, down") << 10005000.0f << QStringLiteral("1000");
    QTest::newRow("1001.5 to even, up") << 10015000.0f << QStringLiteral("1002");
    QTest::newRow("below one keeps its zero") << 5000.0f << QStringLiteral("0.5");
}

void TestComputeLoads::captionNumber()
{
    QFETCH(float, hours);
    QFETCH(QString, caption);
    QCOMPARE(lifeCaptionNumber(hours), caption);
}

QTEST_GUILESS_MAIN(TestComputeLoads)
#include "tst_computeloads.moc"
