// The calculation core: number and text conversions, the load-and-life calculation against the
// published worked example and its fault rules, gathering the window's inputs and validating them.

#include "calc/computeloads.h"
#include "calc/gatherinputs.h"
#include "support/workedexample.h"

#include <QLocale>
#include <QTest>

#include <cmath>

using Fixture::FakeWindow;
using Fixture::strings;
using Fixture::workedInput;

namespace {

// What GatherInputs makes of a window, by name; the span and L1 start at 11 to show they are kept.
QHash<QString, QString> gathered(const FakeWindow &src)
{
    CalcInput in;
    in.L = in.L1 = 11;
    OptionFlags flags {};
    RecordCopies c;
    const Fault fault = GatherInputs(src, in, flags, c);
    const auto n = [](double v) { return QString::number(v); };
    const BearingRecord &a = c.bearingA;
    return { { QStringLiteral("fault"),
                 fault == Fault::Overflow ? QStringLiteral("overflow") : n(int(fault)) },
        { QStringLiteral("P1"), n(in.P1) }, { QStringLiteral("P2"), n(c.shaft.P2) },
        { QStringLiteral("n"), n(in.n) }, { QStringLiteral("L"), n(in.L) },
        { QStringLiteral("L1"), n(in.L1) }, { QStringLiteral("BTA1"), n(in.BTA1) },
        { QStringLiteral("stored BTA1"), n(c.shaft.GearParams[2]) },
        { QStringLiteral("G"), n(in.G) }, { QStringLiteral("WeightKg"), n(c.shaft.WeightKg) },
        { QStringLiteral("Flags"), n(c.shaft.Flags) },
        { QStringLiteral("bits"), n(Module1::BitsToByte(flags)) },
        { QStringLiteral("Fa1Dir"), n(in.Fa1Dir) }, { QStringLiteral("Fa2Dir"), n(in.Fa2Dir) },
        { QStringLiteral("AssembleA"), n(in.AssembleA) }, { QStringLiteral("Y2A"), n(in.Y2A) },
        { QStringLiteral("stored A"),
            QStringList { a.Model, n(a.Type), n(a.e), n(a.Y1), n(a.Y2), n(a.Cr) }.join(u' ') } };
}

} // namespace

class TestCalc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    // clang-format off
    void valueOf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("trailing unit") << QStringLiteral("12.5kW") << 12.5;
        QTest::newRow("comma is no decimal point") << QStringLiteral("12,5") << 12.0;
        QTest::newRow("blanks inside, sign then blank") << QStringLiteral("- 1 2 . 5 ") << -12.5;
        QTest::newRow("D exponent") << QStringLiteral("1D2") << 100.0;
        QTest::newRow("letters first") << QStringLiteral("kW12") << 0.0;
        QTest::newRow("second point ends") << QStringLiteral("1.2.3") << 1.2;
        QTest::newRow("tiny exponent") << QStringLiteral("1e-400") << 0.0;
    }
    // clang-format on
    void valueOf()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(Conv::valueOf(text), value);
    }

    void toInteger_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("result"); // 77: overflow, the target untouched
        QTest::newRow("2.5 to even") << 2.5 << 2;
        QTest::newRow("3.5 to even") << 3.5 << 4;
        QTest::newRow("32767.4") << 32767.4 << 32767;
        QTest::newRow("32767.5 overflows") << 32767.5 << 77;
        QTest::newRow("-32768.5 to even fits") << -32768.5 << -32768;
        QTest::newRow("NaN overflows") << std::nan("") << 77;
    }
    void toInteger()
    {
        QFETCH(double, value);
        QFETCH(int, result);
        std::int16_t out = 77;
        QCOMPARE(Conv::toInteger(value, out) == Fault::Overflow, result == 77);
        QCOMPARE(int(out), result);
    }

    void roundHalfEven()
    {
        QCOMPARE(Conv::roundHalfEven(2.675, 2), 2.67); // lies below the half in binary
        QCOMPARE(Conv::roundHalfEven(-12.25, 1), -12.2);
    }

    void workedExample_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 26; ++i) // all but the two lives
            QTest::newRow(Fixture::PublishedResults[i].name) << i;
    }
    void workedExample()
    {
        QFETCH(int, index);
        const Fixture::Published &p = Fixture::PublishedResults[index];
        CalcResult r;
        QCOMPARE(ComputeLoads(workedInput(), r), Fault::None);
        const float v = r.*p.field;
        QCOMPARE(std::round(double(v) * 100) / 100, p.value);
        if (p.value == 0) // the residue of sin 180° is cleaned to exactly 0
            QCOMPARE(v, 0.0f);
    }

    void workedExampleLives()
    {
        CalcResult r;
        QCOMPARE(ComputeLoads(workedInput(), r), Fault::None);
        QVERIFY2(std::fabs(r.LhA - 6587051.0) <= 1.0, qPrintable(QString::number(r.LhA, 'f', 1)));
        QVERIFY2(std::fabs(r.LhB - 6961850.0) <= 1.0, qPrintable(QString::number(r.LhB, 'f', 1)));
    }

    void noGear2()
    {
        for (std::int16_t CalcInput::*absent : { &CalcInput::L2, &CalcInput::d2 }) {
            CalcInput in = workedInput();
            in.*absent = 0;
            CalcResult r;
            r.Ft2 = r.Fr2 = r.Fa2 = 99; // stale values of an earlier run are overwritten
            QCOMPARE(ComputeLoads(in, r), Fault::None);
            QCOMPARE(QList<float>({ r.Ft2, r.Fr2, r.Fa2, r.Ft2y, r.Fr2z, r.T2 }),
                QList<float>({ 0, 0, 0, 0, 0, 191 }));
        }
    }

    // One straight gear in the middle: equal reactions, and with K = 0 the tapered bearings'
    // internal forces S = 0 do not count as pushing toward B.
    void symmetricShaft()
    {
        CalcInput in = workedInput();
        in.L1 = 150, in.L2 = 0, in.BTA1 = 0;
        CalcResult r;
        QCOMPARE(ComputeLoads(in, r), Fault::None);
        QCOMPARE(QList<float>({ r.RxzA, r.RxzB, r.RxyA, r.RxyB }),
            QList<float>({ -r.Fr1 / 2, -r.Fr1 / 2, -r.Ft1 / 2, -r.Ft1 / 2 }));
        QCOMPARE(r.FA, std::fabs(r.Sb));
        QCOMPARE(double(r.FB), double(0.5f * r.RB / 1.6f));
    }

    // clang-format off
    void floatingMounting_data()
    {
        QTest::addColumn<QString>("options"); // optAssembleA / optAssembleB selected
        QTest::addColumn<float>("weight");    // G, the only external axial force
        QTest::addColumn<QString>("loads");   // FA FB
        QTest::newRow("no option, K = -0.0005 goes to A") << QString() << -0.0005f << QStringLiteral("0.0005 0");
        QTest::newRow("A floating takes none") << QStringLiteral("A") << -50.0f << QStringLiteral("0 50");
        QTest::newRow("A floating wins over B") << QStringLiteral("AB") << -50.0f << QStringLiteral("0 50");
        QTest::newRow("B floating takes none") << QStringLiteral("B") << -50.0f << QStringLiteral("50 0");
    }
    // clang-format on
    void floatingMounting()
    {
        QFETCH(QString, options);
        QFETCH(float, weight);
        QFETCH(QString, loads);
        CalcInput in = workedInput();
        in.BTA1 = in.BTA2 = 0;
        in.TypeA = in.TypeB = SphericalRoller;
        in.G = weight;
        in.AssembleA = options.contains(u'A');
        in.AssembleB = options.contains(u'B');
        CalcResult r;
        QCOMPARE(ComputeLoads(in, r), Fault::None);
        QCOMPARE(QString::number(r.FA) + u' ' + QString::number(r.FB), loads);
    }

    // Bearing B of each type under the worked example's loads (A tapered: RB 3110.86 N, FB
    // 1152.96 N, FB/RB - e > 0): PB by its type's rule, and LhB = (C/PB)^p x 16666.7 / n, where
    // C is 1.71 Cr for a paired bearing and p is 3 for ball bearings, else 10/3.
    // clang-format off
    void equivalentLoadAndLifeByType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("PB");
        QTest::addColumn<double>("LhB");
        QTest::newRow("0 spherical: 0.67 RB + Y2 FB, Y2 = 2") << 0 << 4390.20 << 2157119.0;
        QTest::newRow("1 tapered: 0.4 RB + Y1 FB") << 1 << 3089.08 << 6961850.0;
        QTest::newRow("2 paired: 0.67 RB + 1.675 Y1 FB, 1.71 Cr") << 2 << 5174.21 << 7458662.0;
        QTest::newRow("3 cylindrical: RB") << 3 << 3110.86 << 6800679.0;
        QTest::newRow("4 angular: RB below 1.14, cube") << 4 << 3110.86 << 1868452.0;
    }
    // clang-format on
    void equivalentLoadAndLifeByType()
    {
        QFETCH(int, type);
        QFETCH(double, PB);
        QFETCH(double, LhB);
        CalcInput in = workedInput();
        in.TypeB = std::int16_t(type);
        in.Y2B = 2;
        CalcResult r;
        QCOMPARE(ComputeLoads(in, r), Fault::None);
        QVERIFY2(std::fabs(r.PB - PB) < 0.02, qPrintable(QString::number(r.PB)));
        QVERIFY2(std::fabs(r.LhB / LhB - 1) < 2e-5, qPrintable(QString::number(r.LhB, 'f', 0)));
    }

    void angularContactFormsSbForAnyB()
    {
        CalcInput in = workedInput();
        in.TypeA = AngularContactBall;
        in.TypeB = SphericalRoller;
        CalcResult r;
        QCOMPARE(ComputeLoads(in, r), Fault::None);
        QCOMPARE(r.Sa, float(r.RA * 1.14));
        QCOMPARE(r.Sb, float(r.RB * -1.14));
        in.AssembleA = false;
        QCOMPARE(ComputeLoads(in, r), Fault::None);
        QCOMPARE(r.Sb, float(r.RB * 1.14));
        in.TypeA = SphericalRoller; // other types of A keep the internal forces of the last run
        const float sb = r.Sb;
        QCOMPARE(ComputeLoads(in, r), Fault::None);
        QCOMPARE(r.Sb, sb);
    }

    void faults_data()
    {
        QTest::addColumn<CalcInput>("input");
        QTest::addColumn<int>("fault");
        CalcInput in = workedInput();
        in.Y1B = 0; // B switched to a type without Y1
        QTest::newRow("Y1B = 0 under tapered A") << in << int(Fault::DivisionByZero);
        CalcInput noLoad = workedInput();
        noLoad.P1 = noLoad.P2 = 0;
        noLoad.TypeA = noLoad.TypeB = SphericalRoller;
        QTest::newRow("0/0 in the ratio test") << noLoad << int(Fault::Overflow);
        in = noLoad;
        in.G = -100, in.AssembleA = false; // the weight goes to A, which has no radial load
        QTest::newRow("axial load, no radial") << in << int(Fault::DivisionByZero);
        in = noLoad;
        in.TypeA = in.TypeB = CylindricalRoller;
        QTest::newRow("zero load in the life") << in << int(Fault::DivisionByZero);
        in = workedInput();
        in.L = 32000, in.L2 = -1000;
        QTest::newRow("L - L2 beyond 16 bits") << in << int(Fault::Overflow);
        in = workedInput();
        in.P1 = 3e38f;
        QTest::newRow("torque beyond float") << in << int(Fault::Overflow);
        in = workedInput();
        in.ALFA1 = 90; // tan of the program's pi/2 is large but finite
        QTest::newRow("pressure angle 90 computes") << in << int(Fault::None);
        in = workedInput();
        in.TypeA = in.TypeB = SphericalRoller; // A floating: PA = RA
        in.eB = 0, in.Y2B = -20; // PB = 0.67 RB - 20 FB < 0: only LhB is skipped
        QTest::newRow("negative load skips its life only") << in << int(Fault::None);
    }
    void faults()
    {
        QFETCH(CalcInput, input);
        QFETCH(int, fault);
        CalcResult r;
        r.LhA = 123, r.LhB = 456;
        QCOMPARE(int(ComputeLoads(input, r)), fault);
        QCOMPARE(r.LhA == 123.0f, fault != int(Fault::None)); // lives untouched after a fault
        QCOMPARE(r.LhB == 456.0f, fault != int(Fault::None) || r.PB < 0);
    }

    // clang-format off
    void captionNumber_data()
    {
        // k decimals: 0 above 10^7 h, 1 above 10^5 h, else 2; halves to the even neighbour.
        QTest::addColumn<float>("hours");
        QTest::addColumn<QString>("caption");
        QTest::newRow("85 432 h, two decimals") << 85432.0f << QStringLiteral("8.54");
        QTest::newRow("6 587 051 h, one decimal") << 6587051.0f << QStringLiteral("658.7");
        QTest::newRow("12 345 678 h, none") << 12345678.0f << QStringLiteral("1235");
        QTest::newRow("0.125 to even, down") << 1250.0f << QStringLiteral("0.12");
        QTest::newRow("12.75 to even, up") << 127500.0f << QStringLiteral("12.8");
        QTest::newRow("1000.5 to even, down") << 10005000.0f << QStringLiteral("1000");
        QTest::newRow("1001.5 to even, up") << 10015000.0f << QStringLiteral("1002");
    }
    // clang-format on
    void captionNumber()
    {
        QFETCH(float, hours);
        QFETCH(QString, caption);
        QCOMPARE(lifeCaptionNumber(hours), caption);
    }

    // clang-format off
    void gather_data()
    {
        QTest::addColumn<QStringList>("changes"); // to the worked example's window
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("values");
        const auto row = [](const char *name, std::initializer_list<const char *> changes, const char *keys,
                             const char *values) {
            QTest::newRow(name) << strings(changes) << QString::fromLatin1(keys) << QString::fromLatin1(values);
        };
        row("power 20", { "txtParameter_1=20" }, "P1, P2", "20, 20");
        row("power 20/", { "txtParameter_1=20/" }, "P1, P2", "20, 0");
        row("helix 8.5 through float to even", { "txtGear_2=8.5" }, "BTA1, stored BTA1", "8, 8");
        row("helix 9.5 to even", { "txtGear_2=9.5" }, "BTA1", "10");
        row("span 40000 stops at the span", { "txtParameter_3=40000" }, "fault, n, L, L1", "overflow, 1000, 11, 11");
        row("weight unticked: no G, stored", { "txtWeight=12.5" }, "G, WeightKg", "0, 12");
        row("weight always toward A", { "chkWeight=1", "txtWeight=-20" }, "G", "-196");
        row("gear 1 left, gear 2 right, weight, A: 78", { "chkWeight=1" }, "Flags, bits, Fa1Dir, Fa2Dir, AssembleA",
            "78, 78, 1, 0, 1");
        row("gear 1 right, gear 2 none, weight, B: 37",
            { "chkWeight=1", "-optGear1_0", "+optGear1_1", "-optGear2_1", "-optAssembleA", "+optAssembleB" },
            "Flags, bits, Fa1Dir, Fa2Dir, AssembleA", "37, 37, 0, -1, 0");
        // The stored copy keeps by type what its list shows, rounded halves to even; the
        // calculation keeps the typed values.
        const auto typed = [](const char *type) {
            return strings({ type, "txtBearingA_0=22312", "txtBearingA_1=0.375", "txtBearingA_2=1.625",
                "txtBearingA_3=2.125", "txtBearingA_4=150.125" });
        };
        QTest::newRow("type 0 keeps e, Y1, Y2") << typed("cboTypeA=0") << QStringLiteral("stored A, Y2A")
                                                << QStringLiteral("22312        0 0.38 1.62 2.12 150.12, 2.125");
        QTest::newRow("type 1 drops Y2") << typed("cboTypeA=1") << QStringLiteral("stored A")
                                         << QStringLiteral("22312        1 0.38 1.62 0 150.12");
        QTest::newRow("type 3 keeps none") << typed("cboTypeA=3") << QStringLiteral("stored A, Y2A")
                                           << QStringLiteral("22312        3 0 0 0 150.12, 2.125");
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

    // clang-format off
    void validation_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("message"); // empty: the input passes
        QTest::addColumn<QString>("field");   // the control the window puts the focus on
        const QString noNumber = QStringLiteral("编号不能为空字符串  ");
        const QString zero = QStringLiteral("P, n, L, L1, d1, Cr等不能为零  ");
        const QString direction = QStringLiteral("选择轴向力方向   ");
        const QString noModel = QStringLiteral("轴承型号不能为空字符串  ");
        const auto row = [](const char *name, std::initializer_list<const char *> changes, const QString &message,
                            const char *field = "") {
            QTest::newRow(name) << strings(changes) << message << QString::fromLatin1(field);
        };
        row("all good", {}, QString());
        row("empty number first", { "txtParameter_0=", "txtParameter_2=0", "-optGear1_0", "txtBearingA_0=" }, noNumber, "txtParameter_0");
        row("blank number passes", { "txtParameter_0= " }, QString());
        row("zero before direction", { "txtParameter_2=0", "-optGear1_0" }, zero, "txtParameter_2");
        row("power for gear 2 only", { "txtParameter_1=/20" }, zero, "txtParameter_1");
        row("negative power", { "txtParameter_1=-20" }, zero, "txtParameter_1");
        row("negative speed passes", { "txtParameter_2=-1000" }, QString());
        row("Cr B empty", { "txtBearingB_4=" }, zero, "txtBearingB_4");
        row("zero d1 named before a negative P", { "txtParameter_1=-20", "txtGear_1=0" }, zero, "txtGear_1");
        row("negative Cr A, negative speed beside it", { "txtParameter_2=-1000", "txtBearingA_4=-150" }, zero, "txtBearingA_4");
        row("tiny product: the factor below 1", { "txtParameter_1=1", "txtBearingA_4=1e-22" }, zero, "txtBearingA_4");
        row("small product passes", { "txtBearingA_4=1e-20" }, QString());
        row("negative span", { "txtParameter_3=-300" }, zero, "txtParameter_3");
        row("negative P named before a Cr below 1", { "txtParameter_1=-20", "txtBearingB_4=0.5" }, zero, "txtParameter_1");
        row("tiny P", { "txtParameter_1=1e-25" }, zero, "txtParameter_1");
        row("huge product passes", { "txtParameter_1=1e30", "txtParameter_2=1e30" }, QString());
        row("gear 1 straight needs no direction", { "-optGear1_0", "txtGear_2=0" }, QString());
        row("gear 2 absent needs no direction", { "-optGear2_1", "txtGear_4=0" }, QString());
        row("gear 1 right passes", { "-optGear1_0", "+optGear1_1" }, QString());
        row("gear 2 helix 1 needs a direction", { "-optGear2_1", "txtGear_6=1" }, direction, "optGear2_0");
        row("L2 d2 = 120000 beyond 16 bits", { "-optGear2_1", "txtGear_4=300", "txtGear_5=400" }, direction, "optGear2_0");
        row("direction before model", { "-optGear1_0", "txtBearingB_0=" }, direction, "optGear1_0");
        row("model A empty", { "txtBearingA_0=", "txtBearingB_0=" }, noModel, "txtBearingA_0");
        row("model B empty", { "txtBearingB_0=" }, noModel, "txtBearingB_0");
    }
    // clang-format on
    void validation()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        QFETCH(QString, field);
        FakeWindow src;
        src.apply(changes);
        CalcInput in;
        OptionFlags flags {};
        RecordCopies copies;
        QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
        ScriptedPrompter prompter;
        QString concerned = QStringLiteral("untouched");
        QCOMPARE(ValidateInputs(src, in, prompter, &concerned), message.isEmpty());
        QCOMPARE(prompter.texts(), message.isEmpty() ? QStringList() : QStringList { message });
        if (!message.isEmpty())
            QVERIFY(Fixture::isFailureBox(prompter.shown[0]));
        QCOMPARE(concerned, message.isEmpty() ? QStringLiteral("untouched") : field);
    }
};

QTEST_GUILESS_MAIN(TestCalc)
#include "tst_calc.moc"
