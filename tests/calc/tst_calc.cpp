// The calculation core: conversions, loads and lives by type, mounting and angle against
// hand-worked cases with their fault rules, and gathering and validating the window's inputs.

#include "calc/computeloads.h"
#include "calc/gatherinputs.h"
#include "records/saveparameters.h"
#include "support/workedexample.h"

#include <QtTest>

using namespace Fixture;
using namespace Qt::StringLiterals;

class TestCalc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    // clang-format off
    void conversions_data()
    {
        // "text" read as a number; "int" a double to 16 bits, "-" an overflow that leaves the target as it
        // was; "caption" hours as 10^4 h with 0 decimals above 10^7 h, 1 above 10^5 h, else 2, halves to even.
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        const auto row = [](const char *name, const char *call, const QString &input, const char *result) { QTest::newRow(name) << QString::fromLatin1(call) << input << QString::fromLatin1(result); };
        row("trailing unit", "text", u"12.5kW"_s, "12.5");
        row("comma is no decimal point", "text", u"12,5"_s, "12");
        row("blanks inside, sign then blank", "text", u"- 1 2 . 5 "_s, "-12.5");
        row("D exponent", "text", u"1D2"_s, "100");
        row("E exponent, blank, sign", "text", u"2E +1"_s, "20");
        row("d exponent, tab", "text", u"\t3d1"_s, "30");
        row("CR and LF are blanks", "text", u"1\r\n2"_s, "12");
        row("letters first", "text", u"kW12"_s, "0");
        row("second point ends", "text", u"1.2.3"_s, "1.2");
        row("tiny exponent", "text", u"1e-400"_s, "0");
        row("310 digits, bare e-: infinite", "text", QString(310, u'9') + u"e-"_s, "inf");
        row("2.5 to even", "int", u"2.5"_s, "2");
        row("3.5 to even", "int", u"3.5"_s, "4");
        row("32767.4", "int", u"32767.4"_s, "32767");
        row("32767.5 overflows", "int", u"32767.5"_s, "-");
        row("-32768.5 to even fits", "int", u"-32768.5"_s, "-32768");
        row("-32769 overflows", "int", u"-32769"_s, "-");
        row("NaN overflows", "int", u"nan"_s, "-");
        row("only blanks trimmed to nothing", "trim", u"   "_s, "[]");
        row("trailing blanks trimmed, the leading kept", "trim", u" a b  "_s, "[ a b]");
        row("85 432 h, two decimals", "caption", u"85432"_s, "8.54");
        row("0.125 to even, down", "caption", u"1250"_s, "0.12");
        row("12.75 to even, up", "caption", u"127500"_s, "12.8");
        row("1000.5 to even, down", "caption", u"10005000"_s, "1000");
        row("1001.5 to even, up", "caption", u"10015000"_s, "1002");
    }
    // clang-format on
    void conversions()
    {
        QFETCH(QString, call);
        QFETCH(QString, input);
        QFETCH(QString, result);
        std::int16_t out = 77;
        const Fault fault = call == u"int" ? Conv::toInteger(input.toDouble(), out) : Fault::None;
        QCOMPARE(call == u"text"     ? QString::number(Conv::valueOf(input), 'g', 12)
                : call == u"caption" ? lifeCaptionNumber(input.toFloat())
                : call == u"trim"    ? u'[' + Conv::trimRight(input) + u']'
                : fault == Fault::Overflow && out == 77 ? u"-"_s
                                                        : QString::number(out),
            result);
    }

    // Decimals halve to even by value (2.675 is below the half in binary); FLT_MAX plus just under
    // half an ulp rounds to FLT_MAX, the half overflows; general texts of floats and doubles.
    void roundAndText()
    {
        const double half = std::ldexp(2.0 - std::ldexp(1.0, -24), 127);
        float f = 0;
        const bool max = Conv::toSingle(std::nextafter(half, 0.), f) == Fault::None
            && f == std::numeric_limits<float>::max();
        const QStringList got { QString::number(Conv::roundHalfEven(2.675, 2)),
            QString::number(Conv::roundHalfEven(-12.25, 1)), QString::number(max),
            QString::number(int(Conv::toSingle(half, f))), Conv::singleText(1e7f),
            Conv::singleText(0.5f), Conv::singleText(-1234.5f), Conv::singleText(0.00001f),
            Conv::doubleText(1e-6), Conv::doubleText(0.1 + 0.2),
            Conv::fitText(u"ab"_s, 1) + u'|' + Conv::fitText(u"ab"_s, 3) };
        QCOMPARE(got.join(u' '), u"2.67 -12.2 1 6 1E+07 0.5 -1234.5 0.00001 1E-06 0.3 a|ab "_s);
    }

    // Rows change the worked example's inputs and name results with hand-worked values (decimals
    // within 0.6 units of the last digit, whole to float precision, 0 exactly); results start at
    // 99, the fault is 0 unless named. Light shaft: 1 kW at 9550 rpm, d1 = 250: Ft1 = 8 N alone,
    // gear 1 mid-span: R = 4 N, K = G; Cr = 0.02 kN: lives (20 N / P)^3.33333333 x 16666.7 / 9550 h
    // (cube for type 4, 1.71 x 20 N for type 2). Type 1: S = +-0.5 R / Y1, P = 0.4 R + Y1 F above
    // e; type 4: S = +-1.14 R, P = 0.35 R + 0.57 F above F / R = 1.14. Else A floating, B, K >
    // 0.001 to B.
    // clang-format off
    void loads_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *changes, const char *expected) { QTest::newRow(name) << QString::fromLatin1(changes) << QString::fromLatin1(expected); };
        const auto light = [](const char *name, const char *changes, const char *expected) { QTest::newRow(name) << QString(u"P1=1 n=9550 d1=250 ALFA1=0 BTA1=0 L1=150 L2=0 CrA=0.02 CrB=0.02 "_s + QString::fromLatin1(changes)) << QString::fromLatin1(expected); };
        QStringList published;
        for (const Published &p : PublishedResults)
            published << QLatin1String(p.name) + u'=' + QString::number(p.value, 'f', p.value > 1e6 ? 0 : 2);
        QTest::newRow("worked example, a = 180: the published results") << QString() << published.join(u' ');
        row("a = 30: Ft2y = -Ft2 cos a, Ft2z = -Ft2 sin a, Fr2y = -Fr2 sin a, Fr2z = Fr2 cos a, r2y = -d2/2 sin a", "ALFA=30", "Ft2y=-2756.85 Ft2z=-1591.67 Fr2y=-592.26 Fr2z=1025.83 r2y=-30 r2z=51.96 RxzB=164.92 RxzA=-657.94 RxyB=1648.04 RxyA=-1163.93 RA=1337.02 RB=1656.27");
        row("a = 90: cos residue cleaned; RxyB = -(-1184.52 x 210 + 80 x 2865 + 676.64 x -60) / 300", "ALFA=90", "Ft2y=0 Ft2z=-3183.33 Fr2y=-1184.52 Fr2z=0 r2y=-60 r2z=0 RxzB=2114.36 RxyB=200.49");
        row("d2 = 0: no gear 2, T2 still computed", "d2=0", "T2=191 Ft2=0 Fr2=0 Fa2=0 Ft2y=0 Fr2z=0 r2z=0 RxzB=-113.97 RxyB=-764");
        row("L2 x d2 < 0: no gear 2 either, its lever arms computed", "L2=-10", "Ft2=0 Fr2=0 Fa2=0 r2z=-60 RxzB=-113.97");
        light("light shaft, types 3: P = R, Sa and Sb not formed", "TypeA=3 TypeB=3", "Ft1=8 Fr1=0 Fa1=0 RxzA=0 RxzB=0 RxyA=-4 RxyB=-4 RA=4 RB=4 Sa=99 Sb=99 FA=0 FB=0 PA=4 PB=4 LhA=373.03 LhB=373.03");
        light("1 face-to-face, S = -1 + 4 - 1 > 0: FA = Sa, FB = K + Sa; PA = 1.6 + 0.5 x 4, PB = 1.6 + 2 x 3", "Y1A=0.5 Y1B=2 G=-1", "Sa=4 Sb=-1 FA=4 FB=3 PA=3.6 PB=7.6 LhA=529.99");
        light("1 face-to-face, S = -3.5 + 4 - 1 <= 0: FA = K + Sb, FB = Sb; PA = 1.6 + 0.5 x 4.5", "Y1A=0.5 Y1B=2 G=-3.5", "Sa=4 Sb=-1 FA=4.5 FB=1 PA=3.85 PB=4");
        light("1 face-to-face, S = 0.0001 + 2 - 2 is not above 0.0001: FA = |K + Sb|", "Y1A=1 Y1B=1 G=0.0001", "Sa=2 Sb=-2 FA=1.9999 FB=2");
        light("1 face-to-face, S = 0.000105 is above 0.0001: FA = Sa, FB = K + Sa", "Y1A=1 Y1B=1 G=0.000105", "FA=2 FB=2.000105");
        light("1 back-to-back, S = -1 - 1 + 4 > 0: FA = K + Sb, FB = Sb; PA = 1.6 + 2 x 3", "AssembleA=0 Y1A=2 Y1B=0.5 G=-1", "Sa=-1 Sb=4 FA=3 FB=4 PA=7.6 PB=3.6");
        light("1 back-to-back, S = -5 - 1 + 4 <= 0: FA = Sa, FB = K + Sa; PB = 1.6 + 0.5 x 6", "AssembleA=0 Y1A=2 Y1B=0.5 G=-5", "Sa=-1 Sb=4 FA=1 FB=6 PA=4 PB=4.6 LhB=234.11");
        light("4 face-to-face, B type 0: Sb formed; FA / RA = 1.2: PA = 1.4 + 0.57 x 4.8, PB = 0.67 x 4 + Y2B x 4.56", "TypeA=4 TypeB=0 G=-0.24 Y2B=2", "Sa=4.56 Sb=-4.56 FA=4.8 FB=4.56 PA=4.136 PB=11.8 LhA=197.33 LhB=10.13");
        light("4 back-to-back: FA = |Sa|, FB = |K + Sa|; FA / RA = 1.14 is not above", "TypeA=4 TypeB=4 AssembleA=0 G=-1", "Sa=-4.56 Sb=4.56 FA=4.56 FB=5.56 PA=4 PB=4.5692 LhA=218.15");
        light("A floating wins over B floating; B type 0 above e: 0.67 x 4 + 2.5 x 2", "TypeA=3 AssembleB=1 TypeB=0 G=-2 eB=0.3 Y1B=9 Y2B=2.5", "Sa=99 FA=0 FB=2 PB=7.68 LhB=42.40");
        light("B floating; A type 0 below e: 4 + 1.5 x 2", "TypeA=0 AssembleA=0 AssembleB=1 TypeB=3 G=-2 eA=0.6 Y1A=1.5 Y2A=9", "FA=2 FB=0 PA=7 LhA=57.76");
        light("B type 2 above e: 0.67 x 4 + 1.675 x 2 x 2", "TypeA=3 TypeB=2 G=-2 eB=0.3 Y1B=2", "FB=2 PB=9.38 LhB=130.19");
        light("A type 2 below e: 4 + 1.125 x 2 x 2", "TypeA=2 AssembleA=0 AssembleB=1 TypeB=3 G=-2 eA=0.6 Y1A=2", "FA=2 PA=8.5 LhA=180.80");
        light("B type 1 at FB / RB = e: RB", "TypeA=3 TypeB=1 G=-2 eB=0.5 Y1B=1.5", "FB=2 PB=4");
        light("no axial load, e = -0.00001: q = 0.00001 takes the upper rows of types 0 and 1", "TypeA=0 TypeB=1 AssembleA=0 eA=-0.00001 eB=-0.00001", "FA=0 FB=0 PA=2.68 PB=1.6");
        light("no axial load, e = -0.00001: q = 0.00001 takes the lower row of type 2", "TypeA=2 TypeB=3 eA=-0.00001", "FA=0 PA=4");
        light("no option, K = 0.001 is not above 0.001: to A", "TypeA=3 TypeB=3 AssembleA=0 G=0.001", "FA=0.001 FB=0");
        light("no option, K = 0.002 to B; a load above the rating still has a life", "TypeA=3 TypeB=3 AssembleA=0 G=0.002 CrB=0.002", "FA=0 FB=0.002 LhB=0.17315");
        row("Y1B = 0 under tapered A", "Y1B=0", "fault=11 RB=3110.86 Sa=981.50 Sb=99 FA=99 LhA=99 LhB=99");
        row("0/0 in the ratio test", "P1=0 P2=0 TypeA=0 TypeB=0", "fault=6 FA=0 PA=99");
        row("axial load, no radial", "P1=0 P2=0 TypeA=0 TypeB=0 AssembleA=0 G=-100", "fault=11 FA=100 PA=99");
        light("PA = 0 in the life; B's life not reached", "TypeA=3 TypeB=3 L1=300", "fault=11 RA=0 PB=8 LhA=99 LhB=99");
        light("PB = 0 in the life, after A's", "TypeA=3 TypeB=3 L1=0", "fault=11 RB=0 LhA=37.01 LhB=99");
        row("L - L2 beyond 16 bits", "L=32000 L2=-1000", "fault=6 r2z=-60 RxzB=99");
        row("torque beyond float", "P1=3e38", "fault=6 T1=99");
        row("L - L2 = -32768 fits 16 bits", "L=-30000 L2=2768", "fault=0");
        row("L - L2 = 32767 fits 16 bits", "L=30000 L2=-2767", "fault=0");
        light("zero rating: a life of 0, not skipped", "TypeA=3 TypeB=3 CrA=0", "fault=0 LhA=0");
        row("pressure angle 90 computes: tan of the program's pi/2 is finite", "ALFA1=90", "fault=0");
        row("negative load skips its life only", "TypeA=0 TypeB=0 eB=0 Y2B=-20", "PA=3140.79 PB=-1344.96 LhA=6587051 LhB=99");
    }
#define SET(x) { u"" #x, [](CalcInput &in, double v) { in.x = decltype(in.x)(v); } }
    // clang-format on
    void loads()
    {
        QFETCH(QString, changes);
        QFETCH(QString, expected);
        static const QHash<QStringView, void (*)(CalcInput &, double)> set { SET(P1), SET(P2),
            SET(n), SET(L), SET(ALFA), SET(L1), SET(d1), SET(BTA1), SET(ALFA1), SET(L2), SET(d2),
            SET(G), SET(eA), SET(Y1A), SET(Y2A), SET(CrA), SET(TypeA), SET(AssembleA), SET(eB),
            SET(Y1B), SET(Y2B), SET(CrB), SET(TypeB), SET(AssembleB) };
        CalcInput in = workedInput();
        for (const QString &change : changes.split(u' ', Qt::SkipEmptyParts))
            set.value(change.section(u'=', 0, 0))(in, change.section(u'=', 1).toDouble());
        CalcResult r;
        for (const Published &p : PublishedResults)
            r.*p.field = 99;
        QHash<QString, double> got { { u"fault"_s, int(ComputeLoads(in, r)) } };
        for (const Published &p : PublishedResults)
            got[QLatin1String(p.name)] = r.*p.field;
        const QString all = expected.contains(u"fault=") ? expected : u"fault=0 "_s + expected;
        for (const QString &item : all.split(u' ')) {
            const QString name = item.section(u'=', 0, 0), t = item.section(u'=', 1);
            const double v = got.value(name, qQNaN()), e = t.toDouble();
            const qsizetype dot = t.indexOf(u'.');
            const double tol = dot < 0 ? qAbs(e) / 1e6 : 0.6 * std::pow(10, dot + 1 - t.size());
            QVERIFY2(e == 0 ? v == 0 : std::fabs(v - e) <= tol,
                qPrintable(name + u'=' + QString::number(v, 'g', 9)));
        }
    }

    // The worked example's window changed, gathered and validated: "shaft.X" the shaft record
    // copy's field, "A", "B" the bearing copies (by type as their lists show them), the refusal's
    // message and field ("-" none); L and L1 start at 11.
    // clang-format off
    void gather_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("expected"); // name=value|name=value
        const auto row = [](const char *name, std::initializer_list<const char *> changes, const char *expected) { QTest::newRow(name) << strings(changes) << QString::fromUtf8(expected); };
        const QStringList typed = u"txtBearingA_0=22312 txtBearingA_1=0.375 txtBearingA_2=1.625 txtBearingA_3=2.125 txtBearingA_4=150.125 txtBearingB_0=22312 txtBearingB_1=0.375 txtBearingB_2=1.625 txtBearingB_3=2.125 txtBearingB_4=150.125"_s.split(u' ');
        const auto check = [](const char *name, std::initializer_list<const char *> changes, const char *message, const char *field = "-", const char *gathered = "") { QTest::newRow(name) << strings(changes) << QString::asprintf("%smessage=%s|field=%s", gathered, message, field); };
        const char *zero = "P, n, L, L1, d1, Cr等不能为零  ", *direction = "选择轴向力方向   ", *noModel = "轴承型号不能为空字符串  ";
        check("power 20; a blank number and a negative speed pass", { "txtParameter_0= ", "txtParameter_1=20", "txtParameter_2=-1000" }, "", "-", "P1=20|shaft.P2=20|");
        row("power 20/", { "txtParameter_1=20/" }, "P1=20|shaft.P2=0");
        check("power /5: none for gear 1, refused there", { "txtParameter_1=/5" }, zero, "txtParameter_1", "P1=0|shaft.P2=5|");
        row("angles: 90 between the gears, pressure 25 and 15, helices 8.5000001 the float 8.5, to even", { "txtParameter_4=90", "txtGear_2=8.5000001", "txtGear_3=25", "txtGear_6=8.5000001", "txtGear_7=15" }, "shaft.ALFA=90|ALFA1=25|ALFA2=15|shaft.BTA1=8|shaft.BTA2=8");
        row("span 40000 stops at the span", { "txtParameter_3=40000" }, "fault=6|n=1000|L=11|L1=11");
        row("gear 1 left, gear 2 right, weight -20 always toward A, A: 78", { "chkWeight=1", "txtWeight=-20" }, "shaft.Flags=78|Fa1Dir=1|Fa2Dir=0|AssembleA=1|G=-196");
        row("gear 1 right, gear 2 none, weight 20 toward A, B: 37", { "chkWeight=1", "txtWeight=20", "-optGear1_0", "+optGear1_1", "-optGear2_1", "-optAssembleA", "+optAssembleB" }, "shaft.Flags=37|Fa1Dir=0|Fa2Dir=-1|AssembleA=0|G=-196");
        row("gear 1 none, gear 2 left, A, weight 12.5 unticked (no G, stored): 18", { "-optGear1_0", "-optGear2_1", "+optGear2_0", "txtWeight=12.5" }, "shaft.Flags=18|Fa1Dir=-1|Fa2Dir=1|G=0|shaft.WeightKg=12");
        row("type data beyond 16 bits: overflow before the type", { "cboTypeA=-32769" }, "fault=6|TypeA=0");
        row("type data -32768 fits 16 bits, not the byte", { "cboTypeA=-32768" }, "fault=6|TypeA=-32768");
        row("type 256 is no byte: overflow", { "cboTypeA=256" }, "fault=6");
        row("type 255 fits the byte", { "cboTypeA=255" }, "fault=0|TypeA=255");
        row("type data 32767 fits 16 bits, not the byte", { "cboTypeA=32767" }, "fault=6|TypeA=32767");
        QTest::newRow("type 0 keeps e, Y1, Y2") << typed + strings({ "cboTypeA=0", "cboTypeB=0" }) << u"A=22312        0 0.38 1.62 2.12 150.12|Y2A=2.125|fault=0"_s;
        QTest::newRow("types 1 and 2 drop Y2") << typed + strings({ "cboTypeA=1", "cboTypeB=2" }) << u"A=22312        1 0.38 1.62 0 150.12|B=22312        2 0.38 1.62 0 150.12"_s;
        QTest::newRow("types 3 and 4 keep none") << typed + strings({ "cboTypeA=3", "cboTypeB=4" }) << u"A=22312        3 0 0 0 150.12|B=22312        4 0 0 0 150.12|Y2A=2.125"_s;
        check("all good", {}, "");
        check("empty number first", { "txtParameter_0=", "txtParameter_2=0", "-optGear1_0", "txtBearingA_0=" }, "编号不能为空字符串  ", "txtParameter_0");
        check("zero before direction", { "txtParameter_2=0", "-optGear1_0" }, zero, "txtParameter_2");
        check("negative power", { "txtParameter_1=-20" }, zero, "txtParameter_1");
        check("Cr B empty", { "txtBearingB_4=" }, zero, "txtBearingB_4");
        check("zero L1", { "txtGear_0=0" }, zero, "txtGear_0");
        check("zero d1 named before a negative P", { "txtParameter_1=-20", "txtGear_1=0" }, zero, "txtGear_1");
        check("negative Cr A, negative speed beside it", { "txtParameter_2=-1000", "txtBearingA_4=-150" }, zero, "txtBearingA_4");
        check("tiny product: the factor below 1", { "txtParameter_1=1", "txtBearingA_4=1e-22" }, zero, "txtBearingA_4");
        check("small product passes", { "txtBearingA_4=1e-20" }, "");
        check("product 1.05e-5 passes", { "txtParameter_1=1.05e-5", "txtParameter_2=1", "txtParameter_3=1", "txtGear_0=1", "txtGear_1=1", "txtBearingA_4=1", "txtBearingB_4=1" }, "");
        check("negative span", { "txtParameter_3=-300" }, zero, "txtParameter_3");
        check("negative P named before a Cr below 1", { "txtParameter_1=-20", "txtBearingB_4=0.5" }, zero, "txtParameter_1");
        check("tiny P", { "txtParameter_1=1e-25" }, zero, "txtParameter_1");
        check("huge product passes", { "txtParameter_1=1e30", "txtParameter_2=1e30" }, "");
        check("gear 1 straight needs no direction", { "-optGear1_0", "txtGear_2=0" }, "");
        check("gear 1 right passes", { "-optGear1_0", "+optGear1_1" }, "");
        check("gear 2 absent needs no direction", { "-optGear2_1", "txtGear_4=0" }, "");
        check("gear 2 with L2 x d2 < 0 absent too", { "-optGear2_1", "txtGear_4=-10" }, "");
        check("gear 2 helix 1 needs a direction", { "-optGear2_1", "txtGear_6=1" }, direction, "optGear2_0");
        check("L2 d2 = 120000 beyond 16 bits", { "-optGear2_1", "txtGear_4=300", "txtGear_5=400" }, direction, "optGear2_0");
        check("direction before model", { "-optGear1_0", "txtBearingB_0=" }, direction, "optGear1_0");
        check("model A empty", { "txtBearingA_0=", "txtBearingB_0=" }, noModel, "txtBearingA_0");
        check("model B empty", { "txtBearingB_0=" }, noModel, "txtBearingB_0");
    }
    // clang-format on
    void gather()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, expected);
        FakeWindow src;
        src.apply(changes);
        CalcInput in;
        in.L = in.L1 = 11;
        OptionFlags flags {};
        const Fault fault = GatherInputs(src, in, flags);
        const RecordCopies c = recordCopies(in, flags);
        const std::optional<Refusal> refusal = ValidateInputs(src, in);
        QHash<QString, QString> got { { u"message"_s, refusal ? refusal->text : QString() },
            { u"field"_s, refusal ? controlName(refusal->field) : u"-"_s } };
        // clang-format off
        const std::pair<const char *, double> values[] { { "P1", in.P1 }, { "shaft.P2", c.shaft.P2 }, { "n", in.n }, { "L", in.L }, { "shaft.ALFA", c.shaft.ALFA }, { "L1", in.L1 },
            { "ALFA1", in.ALFA1 }, { "ALFA2", in.ALFA2 }, { "shaft.BTA1", c.shaft.GearParams[2] }, { "shaft.BTA2", c.shaft.GearParams[6] }, { "G", in.G }, { "shaft.WeightKg", c.shaft.WeightKg },
            { "shaft.Flags", c.shaft.Flags }, { "Fa1Dir", in.Fa1Dir }, { "Fa2Dir", in.Fa2Dir }, { "AssembleA", in.AssembleA }, { "TypeA", in.TypeA }, { "Y2A", in.Y2A }, { "fault", double(fault) } };
        for (const BearingRecord *b : { &c.bearingA, &c.bearingB })
            got[b == &c.bearingA ? u"A"_s : u"B"_s] = QStringList { b->Model, QString::number(b->Type), QString::number(b->e), QString::number(b->Y1), QString::number(b->Y2), QString::number(b->Cr) }.join(u' ');
        // clang-format on
        for (const auto &[name, v] : values)
            got[QLatin1String(name)] = QString::number(v);
        for (const QString &item : expected.split(u'|'))
            QCOMPARE(got.value(item.section(u'=', 0, 0), u"?"_s), item.section(u'=', 1));
    }
};

QTEST_GUILESS_MAIN(TestCalc)
#include "tst_calc.moc"
