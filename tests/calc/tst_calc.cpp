// The calculation core: number and text conversions, the load-and-life calculation by type,
// mounting and angle against hand-worked cases and its fault rules, gathering the window's inputs
// and validating them.

#include "calc/computeloads.h"
#include "calc/gatherinputs.h"
#include "records/saveparameters.h"
#include "support/workedexample.h"

#include <QLocale>
#include <QTest>

#include <algorithm>
#include <cfloat>
#include <cmath>

using Fixture::FakeWindow;
using Fixture::strings;
using Fixture::workedInput;

namespace {

// The worked example's inputs with the named fields of "name=value ..." changed.
CalcInput inputWith(const QString &changes)
{
    static const QHash<QStringView, float CalcInput::*> floats { { u"P1", &CalcInput::P1 },
        { u"P2", &CalcInput::P2 }, { u"n", &CalcInput::n }, { u"eA", &CalcInput::eA },
        { u"Y1A", &CalcInput::Y1A }, { u"Y2A", &CalcInput::Y2A }, { u"CrA", &CalcInput::CrA },
        { u"eB", &CalcInput::eB }, { u"Y1B", &CalcInput::Y1B }, { u"Y2B", &CalcInput::Y2B },
        { u"CrB", &CalcInput::CrB }, { u"G", &CalcInput::G } };
    static const QHash<QStringView, std::int16_t CalcInput::*> integers { { u"L", &CalcInput::L },
        { u"ALFA", &CalcInput::ALFA }, { u"L1", &CalcInput::L1 }, { u"d1", &CalcInput::d1 },
        { u"BTA1", &CalcInput::BTA1 }, { u"ALFA1", &CalcInput::ALFA1 }, { u"L2", &CalcInput::L2 },
        { u"d2", &CalcInput::d2 }, { u"TypeA", &CalcInput::TypeA },
        { u"TypeB", &CalcInput::TypeB } };
    CalcInput in = workedInput();
    for (const QString &change : changes.split(u' ', Qt::SkipEmptyParts)) {
        const QString name = change.section(u'=', 0, 0);
        const double v = change.section(u'=', 1).toDouble();
        if (floats.contains(name))
            in.*floats.value(name) = float(v);
        else if (integers.contains(name))
            in.*integers.value(name) = std::int16_t(v);
        else if (name == u"AssembleA" || name == u"AssembleB")
            (name == u"AssembleA" ? in.AssembleA : in.AssembleB) = v != 0;
        else
            qFatal("unknown input %s", qPrintable(name));
    }
    return in;
}

// What GatherInputs and ValidateInputs make of a window, by name: "shaft.X" is the shaft record
// copy's field, "A" and "B" the bearing record copies, "message" and "field" the validation's
// refusal. The span and L1 start at 11 to show they are kept.
QHash<QString, QString> gathered(const FakeWindow &src)
{
    CalcInput in;
    in.L = in.L1 = 11;
    OptionFlags flags {};
    const Fault fault = GatherInputs(src, in, flags);
    const RecordCopies c = recordCopies(in, flags);
    const QStringList names
        = QStringLiteral("P1 shaft.P2 n L ALFA shaft.ALFA L1 BTA1 BTA2 shaft.BTA1 "
                         "shaft.BTA2 G shaft.WeightKg shaft.Flags bits Fa1Dir "
                         "Fa2Dir AssembleA TypeA Y2A")
              .split(u' ');
    const QList<double> values { in.P1, c.shaft.P2, in.n, double(in.L), double(in.ALFA),
        double(c.shaft.ALFA), double(in.L1), double(in.BTA1), double(in.BTA2),
        double(c.shaft.GearParams[2]), double(c.shaft.GearParams[6]), in.G,
        double(c.shaft.WeightKg), double(c.shaft.Flags), double(Module1::BitsToByte(flags)),
        double(in.Fa1Dir), double(in.Fa2Dir), double(in.AssembleA), double(in.TypeA), in.Y2A };
    QHash<QString, QString> got;
    for (qsizetype i = 0; i < names.size(); ++i)
        got[names[i]] = QString::number(values[i]);
    for (const BearingRecord *b : { &c.bearingA, &c.bearingB })
        got[b == &c.bearingA ? QStringLiteral("A") : QStringLiteral("B")]
            = QStringList { b->Model, QString::number(b->Type), QString::number(b->e),
                  QString::number(b->Y1), QString::number(b->Y2), QString::number(b->Cr) }
                  .join(u' ');
    got[QStringLiteral("fault")] = QString::number(int(fault));
    const std::optional<Refusal> refusal = ValidateInputs(src, in);
    got[QStringLiteral("message")] = refusal ? refusal->text : QString();
    got[QStringLiteral("field")] = refusal ? Fixture::controlName(refusal->field) : u"-"_qs;
    return got;
}

} // namespace

class TestCalc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    // clang-format off
    void conversions_data()
    {
        // "text" read as a number; "int" a double to 16 bits, "-" an overflow that leaves the
        // target as it was; "caption" hours as the life caption's 10^4 h with k decimals: 0 above
        // 10^7 h, 1 above 10^5 h, else 2, halves to the even neighbour.
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        const auto row = [](const char *name, const char *call, const QString &input, const char *result) {
            QTest::newRow(name) << QString::fromLatin1(call) << input << QString::fromLatin1(result);
        };
        row("trailing unit", "text", QStringLiteral("12.5kW"), "12.5");
        row("comma is no decimal point", "text", QStringLiteral("12,5"), "12");
        row("blanks inside, sign then blank", "text", QStringLiteral("- 1 2 . 5 "), "-12.5");
        row("D exponent", "text", QStringLiteral("1D2"), "100");
        row("E exponent, blank, sign", "text", QStringLiteral("2E +1"), "20");
        row("d exponent, tab", "text", QStringLiteral("\t3d1"), "30");
        row("letters first", "text", QStringLiteral("kW12"), "0");
        row("second point ends", "text", QStringLiteral("1.2.3"), "1.2");
        row("tiny exponent", "text", QStringLiteral("1e-400"), "0");
        row("310 digits, bare e-: infinite", "text", QString(310, u'9') + QStringLiteral("e-"), "inf");
        row("2.5 to even", "int", QStringLiteral("2.5"), "2");
        row("3.5 to even", "int", QStringLiteral("3.5"), "4");
        row("32767.4", "int", QStringLiteral("32767.4"), "32767");
        row("32767.5 overflows", "int", QStringLiteral("32767.5"), "-");
        row("-32768.5 to even fits", "int", QStringLiteral("-32768.5"), "-32768");
        row("NaN overflows", "int", QStringLiteral("nan"), "-");
        row("85 432 h, two decimals", "caption", QStringLiteral("85432"), "8.54");
        row("6 587 051 h, one decimal", "caption", QStringLiteral("6587051"), "658.7");
        row("12 345 678 h, none", "caption", QStringLiteral("12345678"), "1235");
        row("0.125 to even, down", "caption", QStringLiteral("1250"), "0.12");
        row("12.75 to even, up", "caption", QStringLiteral("127500"), "12.8");
        row("1000.5 to even, down", "caption", QStringLiteral("10005000"), "1000");
        row("1001.5 to even, up", "caption", QStringLiteral("10015000"), "1002");
    }
    // clang-format on
    void conversions()
    {
        QFETCH(QString, call);
        QFETCH(QString, input);
        QFETCH(QString, result);
        std::int16_t out = 77;
        if (call == u"text")
            QCOMPARE(QString::number(Conv::valueOf(input), 'g', 12), result);
        else if (call == u"int")
            QCOMPARE(Conv::toInteger(input.toDouble(), out) == Fault::Overflow && out == 77
                    ? QStringLiteral("-")
                    : QString::number(out),
                result);
        else
            QCOMPARE(lifeCaptionNumber(input.toFloat()), result);
    }

    // Rounding to decimals, the float range and the general text of a float and of a double.
    void roundAndText()
    {
        QCOMPARE(Conv::roundHalfEven(2.675, 2), 2.67); // lies below the half in binary
        QCOMPARE(Conv::roundHalfEven(-12.25, 1), -12.2);
        float f = 0;
        QCOMPARE(
            Conv::toSingle(std::nextafter(std::ldexp(2.0 - std::ldexp(1.0, -24), 127), 0.0), f),
            Fault::None); // just below FLT_MAX plus half an ulp still rounds to FLT_MAX
        QCOMPARE(f, FLT_MAX);
        QCOMPARE(Conv::toSingle(std::ldexp(2.0 - std::ldexp(1.0, -24), 127), f), Fault::Overflow);
        const QStringList texts { Conv::singleText(12345678), Conv::singleText(1e7f),
            Conv::singleText(0.5f), Conv::singleText(-1234.5f), Conv::singleText(0.00001f),
            Conv::singleText(1e-6f), Conv::doubleText(1e-6), Conv::doubleText(0.1 + 0.2) };
        QCOMPARE(texts.join(u' '),
            QStringLiteral("1.234568E+07 1E+07 0.5 -1234.5 0.00001 1E-06 1E-06 0.3"));
        QCOMPARE(
            Conv::fitText(QStringLiteral("ab"), 1) + u'|' + Conv::fitText(QStringLiteral("ab"), 3),
            QStringLiteral("a|ab "));
    }

    // Each row changes the worked example's inputs and names quantities with their expected
    // values, worked out by hand from the rules; a value with decimals matches within 0.6 units of
    // its last digit, a whole number to float precision, 0 only exactly. Every result starts at
    // 99, so 99 means "left as an earlier run left it".
    // The light shaft: 1 kW at 9550 rpm gives T1 = 1 N·m, d1 = 250 gives Ft1 = 8 N, ALFA1 = BTA1
    // = 0 leave no radial and no axial gear force, L2 = 0 removes gear 2, and gear 1 in the middle
    // of the span loads each bearing with R = 4 N, so K = G. With Cr = 0.02 kN the lives are
    // (20 N / P)^3.33333333 x 16666.7 / 9550 h (cube for type 4, 1.71 x 20 N for type 2).
    // clang-format off
    void loads_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *changes, const char *expected) {
            QTest::newRow(name) << QString::fromLatin1(changes) << QString::fromLatin1(expected);
        };
        const auto light = [](const char *name, const char *changes, const char *expected) {
            QTest::newRow(name) << QString(QStringLiteral("P1=1 n=9550 d1=250 ALFA1=0 BTA1=0 L1=150 L2=0 CrA=0.02 CrB=0.02 ")
                    + QString::fromLatin1(changes)) << QString::fromLatin1(expected);
        };
        QStringList published;
        for (const Fixture::Published &p : Fixture::PublishedResults)
            published << QLatin1String(p.name) + u'=' + QString::number(p.value, 'f', p.value > 1e6 ? 0 : 2);
        QTest::newRow("worked example, a = 180: the published results") << QString() << published.join(u' ');
        row("a = 30: Ft2y = -Ft2 cos a, Ft2z = -Ft2 sin a, Fr2y = -Fr2 sin a, Fr2z = Fr2 cos a, r2y = -d2/2 sin a", "ALFA=30",
            "Ft2y=-2756.85 Ft2z=-1591.67 Fr2y=-592.26 Fr2z=1025.83 r2y=-30 r2z=51.96 RxzB=164.92 RxzA=-657.94 "
            "RxyB=1648.04 RxyA=-1163.93 RA=1337.02 RB=1656.27");
        row("a = 90: cos residue cleaned; RxyB = -(-1184.52 x 210 + 80 x 2865 + 676.64 x -60) / 300", "ALFA=90",
            "Ft2y=0 Ft2z=-3183.33 Fr2y=-1184.52 Fr2z=0 r2y=-60 r2z=0 RxzB=2114.36 RxyB=200.49");
        row("d2 = 0: no gear 2, T2 still computed", "d2=0", "T2=191 Ft2=0 Fr2=0 Fa2=0 Ft2y=0 Fr2z=0 r2z=0 RxzB=-113.97 RxyB=-764");
        row("L2 x d2 < 0: no gear 2 either, its lever arms computed", "L2=-10", "Ft2=0 Fr2=0 Fa2=0 r2z=-60 RxzB=-113.97");
        light("light shaft, types 3: P = R, Sa and Sb not formed", "TypeA=3 TypeB=3",
            "Ft1=8 Fr1=0 Fa1=0 RxzA=0 RxzB=0 RxyA=-4 RxyB=-4 RA=4 RB=4 Sa=99 Sb=99 FA=0 FB=0 PA=4 PB=4 LhA=373.03 LhB=373.03");
        // Type 1 face-to-face: Sa = 0.5 RA / Y1A, Sb = -0.5 RB / Y1B; back-to-back the signs swap.
        // PA = 0.4 RA + Y1 FA above e = 0.37, else RA.
        light("1 face-to-face, S = -1 + 4 - 1 > 0: FA = Sa, FB = K + Sa; PA = 1.6 + 0.5 x 4, PB = 1.6 + 2 x 3",
            "Y1A=0.5 Y1B=2 G=-1", "Sa=4 Sb=-1 FA=4 FB=3 PA=3.6 PB=7.6 LhA=529.99");
        light("1 face-to-face, S = -3.5 + 4 - 1 <= 0: FA = K + Sb, FB = Sb; PA = 1.6 + 0.5 x 4.5", "Y1A=0.5 Y1B=2 G=-3.5",
            "Sa=4 Sb=-1 FA=4.5 FB=1 PA=3.85 PB=4");
        light("1 face-to-face, S = 0.0001 + 2 - 2 is not above 0.0001: FA = |K + Sb|", "Y1A=1 Y1B=1 G=0.0001", "Sa=2 Sb=-2 FA=1.9999 FB=2");
        light("1 face-to-face, S = 0.000105 is above 0.0001: FA = Sa, FB = K + Sa", "Y1A=1 Y1B=1 G=0.000105", "FA=2 FB=2.000105");
        light("1 back-to-back, S = -1 - 1 + 4 > 0: FA = K + Sb, FB = Sb; PA = 1.6 + 2 x 3", "AssembleA=0 Y1A=2 Y1B=0.5 G=-1",
            "Sa=-1 Sb=4 FA=3 FB=4 PA=7.6 PB=3.6");
        light("1 back-to-back, S = -5 - 1 + 4 <= 0: FA = Sa, FB = K + Sa; PB = 1.6 + 0.5 x 6", "AssembleA=0 Y1A=2 Y1B=0.5 G=-5",
            "Sa=-1 Sb=4 FA=1 FB=6 PA=4 PB=4.6 LhB=234.11");
        // Type 4: S = +-1.14 R; above FA / RA = 1.14, PA = 0.35 RA + 0.57 FA.
        light("4 face-to-face, B type 0: Sb formed; FA / RA = 1.2: PA = 1.4 + 0.57 x 4.8, PB = 0.67 x 4 + Y2B x 4.56",
            "TypeA=4 TypeB=0 G=-0.24 Y2B=2", "Sa=4.56 Sb=-4.56 FA=4.8 FB=4.56 PA=4.136 PB=11.8 LhA=197.33 LhB=10.13");
        light("4 back-to-back: FA = |Sa|, FB = |K + Sa|; FA / RA = 1.14 is not above", "TypeA=4 TypeB=4 AssembleA=0 G=-1",
            "Sa=-4.56 Sb=4.56 FA=4.56 FB=5.56 PA=4 PB=4.5692 LhA=218.15");
        // Other types of A: A floating, else B floating, else K > 0.001 goes to B.
        light("A floating wins over B floating; B type 0 above e: 0.67 x 4 + 2.5 x 2",
            "TypeA=3 AssembleB=1 TypeB=0 G=-2 eB=0.3 Y1B=9 Y2B=2.5", "Sa=99 FA=0 FB=2 PB=7.68 LhB=42.40");
        light("B floating; A type 0 below e: 4 + 1.5 x 2", "TypeA=0 AssembleA=0 AssembleB=1 TypeB=3 G=-2 eA=0.6 Y1A=1.5 Y2A=9",
            "FA=2 FB=0 PA=7 LhA=57.76");
        light("B type 2 above e: 0.67 x 4 + 1.675 x 2 x 2", "TypeA=3 TypeB=2 G=-2 eB=0.3 Y1B=2", "FB=2 PB=9.38 LhB=130.19");
        light("A type 2 below e: 4 + 1.125 x 2 x 2", "TypeA=2 AssembleA=0 AssembleB=1 TypeB=3 G=-2 eA=0.6 Y1A=2", "FA=2 PA=8.5 LhA=180.80");
        light("B type 1 at FB / RB = e: RB", "TypeA=3 TypeB=1 G=-2 eB=0.5 Y1B=1.5", "FB=2 PB=4");
        light("no axial load, e = -0.00001: q = 0.00001 takes the upper rows of types 0 and 1", "TypeA=0 TypeB=1 AssembleA=0 eA=-0.00001 eB=-0.00001",
            "FA=0 FB=0 PA=2.68 PB=1.6");
        light("no axial load, e = -0.00001: q = 0.00001 takes the lower row of type 2", "TypeA=2 TypeB=3 eA=-0.00001", "FA=0 PA=4");
        light("no option, K = 0.001 is not above 0.001: to A", "TypeA=3 TypeB=3 AssembleA=0 G=0.001", "FA=0.001 FB=0");
        light("no option, K = 0.002 to B; a load above the rating still has a life", "TypeA=3 TypeB=3 AssembleA=0 G=0.002 CrB=0.002",
            "FA=0 FB=0.002 LhB=0.17315");
        // Faults end the computation: what came before keeps its new value, the rest its old one.
        row("Y1B = 0 under tapered A", "Y1B=0", "fault=11 RB=3110.86 Sa=981.50 Sb=99 FA=99 LhA=99 LhB=99");
        row("0/0 in the ratio test", "P1=0 P2=0 TypeA=0 TypeB=0", "fault=6 FA=0 PA=99");
        row("axial load, no radial", "P1=0 P2=0 TypeA=0 TypeB=0 AssembleA=0 G=-100", "fault=11 FA=100 PA=99");
        light("PA = 0 in the life; B's life not reached", "TypeA=3 TypeB=3 L1=300", "fault=11 RA=0 PB=8 LhA=99 LhB=99");
        light("PB = 0 in the life, after A's", "TypeA=3 TypeB=3 L1=0", "fault=11 RB=0 LhA=37.01 LhB=99");
        row("L - L2 beyond 16 bits", "L=32000 L2=-1000", "fault=6 r2z=-60 RxzB=99");
        row("torque beyond float", "P1=3e38", "fault=6 T1=99");
        row("L - L2 = -32768 fits 16 bits", "L=-30000 L2=2768", "fault=0");
        light("zero rating: a life of 0, not skipped", "TypeA=3 TypeB=3 CrA=0", "fault=0 LhA=0");
        row("pressure angle 90 computes: tan of the program's pi/2 is finite", "ALFA1=90", "fault=0");
        row("negative load skips its life only", "TypeA=0 TypeB=0 eB=0 Y2B=-20", "PA=3140.79 PB=-1344.96 LhA=6587051 LhB=99");
    }
    // clang-format on
    void loads()
    {
        QFETCH(QString, changes);
        QFETCH(QString, expected);
        CalcResult r;
        for (const Fixture::Published &p : Fixture::PublishedResults)
            r.*p.field = 99;
        QCOMPARE(int(ComputeLoads(inputWith(changes), r)),
            expected.section(QStringLiteral("fault="), 1).section(u' ', 0, 0).toInt());
        for (const QString &item : expected.split(u' ')) {
            const QString name = item.section(u'=', 0, 0), text = item.section(u'=', 1);
            if (name == u"fault")
                continue;
            const auto *p = std::find_if(std::begin(Fixture::PublishedResults),
                std::end(Fixture::PublishedResults),
                [&name](const Fixture::Published &p) { return name == QLatin1String(p.name); });
            QVERIFY2(p != std::end(Fixture::PublishedResults), qPrintable(name));
            const double v = r.*p->field, e = text.toDouble();
            const qsizetype point = text.indexOf(u'.');
            const double tolerance = point < 0 ? 1e-6 * std::fabs(e)
                                               : 0.6 * std::pow(10.0, -(text.size() - point - 1));
            QVERIFY2(e == 0 ? v == 0 : std::fabs(v - e) <= tolerance,
                qPrintable(name + u'=' + QString::number(v, 'g', 9)));
        }
    }

    // clang-format off
    void gather_data()
    {
        QTest::addColumn<QStringList>("changes"); // to the worked example's window
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("values");
        const auto row = [](const char *name, std::initializer_list<const char *> changes, const char *keys,
                             const char *values) {
            QTest::newRow(name) << strings(changes) << QString::fromLatin1(keys) << QString::fromUtf8(values);
        };
        row("power 20", { "txtParameter_1=20" }, "P1, shaft.P2", "20, 20");
        row("power 20/", { "txtParameter_1=20/" }, "P1, shaft.P2", "20, 0");
        row("power /5", { "txtParameter_1=/5" }, "P1, shaft.P2", "0, 5");
        row("angle between the gears", { "txtParameter_4=90" }, "ALFA, shaft.ALFA", "90, 90");
        row("helices 8.5000001 are the float 8.5, to even", { "txtGear_2=8.5000001", "txtGear_6=8.5000001" },
            "BTA1, BTA2, shaft.BTA1, shaft.BTA2", "8, 8, 8, 8");
        row("span 40000 stops at the span", { "txtParameter_3=40000" }, "fault, n, L, L1", "6, 1000, 11, 11");
        row("weight unticked: no G, stored", { "txtWeight=12.5" }, "G, shaft.WeightKg", "0, 12");
        row("weight always toward A", { "chkWeight=1", "txtWeight=-20" }, "G", "-196");
        row("gear 1 left, gear 2 right, weight, A: 78", { "chkWeight=1" }, "shaft.Flags, bits, Fa1Dir, Fa2Dir, AssembleA",
            "78, 78, 1, 0, 1");
        row("gear 1 right, gear 2 none, weight, B: 37",
            { "chkWeight=1", "-optGear1_0", "+optGear1_1", "-optGear2_1", "-optAssembleA", "+optAssembleB" },
            "shaft.Flags, bits, Fa1Dir, Fa2Dir, AssembleA", "37, 37, 0, -1, 0");
        row("gear 1 none, gear 2 left, A: 18", { "-optGear1_0", "-optGear2_1", "+optGear2_0" },
            "shaft.Flags, bits, Fa1Dir, Fa2Dir", "18, 18, -1, 1");
        row("type data beyond 16 bits: overflow before the type", { "cboTypeA=-32769" }, "fault, TypeA", "6, 0");
        row("type data -32768 fits 16 bits, not the byte", { "cboTypeA=-32768" }, "fault, TypeA", "6, -32768");
        row("type 256 is no byte: overflow", { "cboTypeA=256" }, "fault", "6");
        row("type 255 fits the byte", { "cboTypeA=255" }, "fault, TypeA", "0, 255");
        // The stored copies keep by type what their lists show, rounded halves to even; the
        // calculation keeps the typed values.
        const auto typed = [](const char *typeA, const char *typeB) {
            QStringList changes = strings({ typeA, typeB });
            for (const char *box : { "txtBearing%1_0=22312", "txtBearing%1_1=0.375", "txtBearing%1_2=1.625",
                     "txtBearing%1_3=2.125", "txtBearing%1_4=150.125" })
                changes << QString::fromLatin1(box).arg(QChar(u'A')) << QString::fromLatin1(box).arg(QChar(u'B'));
            return changes;
        };
        QTest::newRow("type 0 keeps e, Y1, Y2") << typed("cboTypeA=0", "cboTypeB=0") << QStringLiteral("A, Y2A")
                                                << QStringLiteral("22312        0 0.38 1.62 2.12 150.12, 2.125");
        QTest::newRow("types 1 and 2 drop Y2") << typed("cboTypeA=1", "cboTypeB=2") << QStringLiteral("A, B")
                                               << QStringLiteral("22312        1 0.38 1.62 0 150.12, 22312        2 0.38 1.62 0 150.12");
        QTest::newRow("types 3 and 4 keep none") << typed("cboTypeA=3", "cboTypeB=4") << QStringLiteral("A, B, Y2A")
                                                 << QStringLiteral("22312        3 0 0 0 150.12, 22312        4 0 0 0 150.12, 2.125");
        // Validation: the first failing check shows its message in the failure box, and names the
        // field the window puts the focus on ("-": none).
        const auto check = [](const char *name, std::initializer_list<const char *> changes, const char *message,
                               const char *field = "-") {
            QTest::newRow(name) << strings(changes) << QStringLiteral("message, field")
                                << QString::fromUtf8(message) + QStringLiteral(", ") + QString::fromLatin1(field);
        };
        const char *zero = "P, n, L, L1, d1, Cr等不能为零  ", *direction = "选择轴向力方向   ";
        const char *noModel = "轴承型号不能为空字符串  ";
        check("all good", {}, "");
        check("empty number first", { "txtParameter_0=", "txtParameter_2=0", "-optGear1_0", "txtBearingA_0=" },
              "编号不能为空字符串  ", "txtParameter_0");
        check("blank number passes", { "txtParameter_0= " }, "");
        check("zero before direction", { "txtParameter_2=0", "-optGear1_0" }, zero, "txtParameter_2");
        check("power for gear 2 only", { "txtParameter_1=/20" }, zero, "txtParameter_1");
        check("negative power", { "txtParameter_1=-20" }, zero, "txtParameter_1");
        check("negative speed passes", { "txtParameter_2=-1000" }, "");
        check("Cr B empty", { "txtBearingB_4=" }, zero, "txtBearingB_4");
        check("zero L1", { "txtGear_0=0" }, zero, "txtGear_0");
        check("zero d1 named before a negative P", { "txtParameter_1=-20", "txtGear_1=0" }, zero, "txtGear_1");
        check("negative Cr A, negative speed beside it", { "txtParameter_2=-1000", "txtBearingA_4=-150" }, zero,
              "txtBearingA_4");
        check("tiny product: the factor below 1", { "txtParameter_1=1", "txtBearingA_4=1e-22" }, zero, "txtBearingA_4");
        check("small product passes", { "txtBearingA_4=1e-20" }, "");
        check("negative span", { "txtParameter_3=-300" }, zero, "txtParameter_3");
        check("negative P named before a Cr below 1", { "txtParameter_1=-20", "txtBearingB_4=0.5" }, zero,
              "txtParameter_1");
        check("tiny P", { "txtParameter_1=1e-25" }, zero, "txtParameter_1");
        check("huge product passes", { "txtParameter_1=1e30", "txtParameter_2=1e30" }, "");
        check("gear 1 straight needs no direction", { "-optGear1_0", "txtGear_2=0" }, "");
        check("gear 1 right passes", { "-optGear1_0", "+optGear1_1" }, "");
        check("gear 2 absent needs no direction", { "-optGear2_1", "txtGear_4=0" }, "");
        check("gear 2 with L2 x d2 < 0 absent too", { "-optGear2_1", "txtGear_4=-10" }, "");
        check("gear 2 helix 1 needs a direction", { "-optGear2_1", "txtGear_6=1" }, direction, "optGear2_0");
        check("L2 d2 = 120000 beyond 16 bits", { "-optGear2_1", "txtGear_4=300", "txtGear_5=400" }, direction,
              "optGear2_0");
        check("direction before model", { "-optGear1_0", "txtBearingB_0=" }, direction, "optGear1_0");
        check("model A empty", { "txtBearingA_0=", "txtBearingB_0=" }, noModel, "txtBearingA_0");
        check("model B empty", { "txtBearingB_0=" }, noModel, "txtBearingB_0");
    }
    // clang-format on
    void gather()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, keys);
        QFETCH(QString, values);
        FakeWindow src;
        src.apply(changes);
        const QHash<QString, QString> got = gathered(src);
        QStringList shown;
        for (const QString &key : keys.split(QStringLiteral(", ")))
            shown << got.value(key, QStringLiteral("?"));
        QCOMPARE(shown.join(QStringLiteral(", ")), values);
    }
};

QTEST_GUILESS_MAIN(TestCalc)
#include "tst_calc.moc"
