#include "calc/gatherinputs.h"

#include "calc/prompter.h"

#include <cmath>

namespace {

// Reads the controls in the documented order; each conversion can end the gathering with a fault,
// in which case everything before it has been written and nothing after it.
class Gatherer
{
public:
    Gatherer(const InputSource &source)
        : m_source(source)
    {
    }

    QString text(const QString &name) const { return m_source.boxText(name); }

    Fault single(const QString &text, float &out) const
    {
        return Conv::toSingle(Conv::valueOf(text), out);
    }

    Fault integer(const QString &text, std::int16_t &out) const
    {
        return Conv::toInteger(Conv::valueOf(text), out);
    }

    // Helix angles pass through a 32-bit float before they are rounded to whole degrees.
    Fault integerViaSingle(const QString &text, std::int16_t &out) const
    {
        float f = 0;
        if (const Fault fault = single(text, f); fault != Fault::None)
            return fault;
        return Conv::toInteger(static_cast<double>(f), out);
    }

private:
    const InputSource &m_source;
};

QString box(const char *prefix, int index)
{
    return QString::fromLatin1(prefix) + QString::number(index);
}

#define TRY(expr)                                                                                  \
    do {                                                                                           \
        if (const Fault f_ = (expr); f_ != Fault::None)                                            \
            return f_;                                                                             \
    } while (false)

float roundTo2(float value)
{
    return static_cast<float>(Conv::roundHalfEven(static_cast<double>(value), 2));
}

// One bearing: model, type, factors and rating into the calculation, then the bearing record copy
// with its factors kept according to the type, rounded to two decimals.
Fault gatherBearing(const Gatherer &g, const char *boxPrefix, const QString &combo,
    const InputSource &source, QString &model, std::int16_t &type, float &e, float &y1, float &y2,
    float &cr, BearingRecord &copy, QString &shaftModel)
{
    model = Conv::fitText(g.text(box(boxPrefix, 0)), 12);
    const int data = source.comboData(combo);
    if (data < -32768 || data > 32767)
        return Fault::Overflow;
    type = static_cast<std::int16_t>(data);
    TRY(g.single(g.text(box(boxPrefix, 1)), e));
    TRY(g.single(g.text(box(boxPrefix, 2)), y1));
    TRY(g.single(g.text(box(boxPrefix, 3)), y2));
    TRY(g.single(g.text(box(boxPrefix, 4)), cr));

    copy.Model = model;
    if (type < 0 || type > 255)
        return Fault::Overflow; // the type is stored as one byte
    copy.Type = static_cast<std::uint8_t>(type);
    switch (type) {
    case SphericalRoller:
        copy.e = roundTo2(e);
        copy.Y1 = roundTo2(y1);
        copy.Y2 = roundTo2(y2);
        break;
    case SingleRowTapered:
    case PairedTapered:
        copy.e = roundTo2(e);
        copy.Y1 = roundTo2(y1);
        copy.Y2 = 0;
        break;
    default: // cylindrical roller and angular-contact ball bearings carry no factors
        copy.e = 0;
        copy.Y1 = 0;
        copy.Y2 = 0;
        break;
    }
    copy.Cr = roundTo2(cr);
    shaftModel = model;
    return Fault::None;
}

} // namespace

Fault GatherInputs(
    const InputSource &source, CalcInput &in, OptionFlags &flags, RecordCopies &copies)
{
    const Gatherer g(source);
    ShaftRecord &shaft = copies.shaft;

    flags.fill(0);

    in.ShaftNo = Conv::fitText(g.text(QStringLiteral("txtParameter_0")), 15);
    shaft.ShaftNo = in.ShaftNo;

    // Power: one value for both gears, or P1/P2.
    const QString power = g.text(QStringLiteral("txtParameter_1"));
    const qsizetype slash = power.indexOf(u'/');
    if (slash < 0) {
        TRY(g.single(power, in.P1));
        in.P2 = in.P1;
    } else {
        TRY(g.single(power.left(slash), in.P1));
        TRY(g.single(power.mid(slash + 1), in.P2));
    }
    shaft.P1 = in.P1;
    shaft.P2 = in.P2;

    TRY(g.single(g.text(QStringLiteral("txtParameter_2")), in.n));
    shaft.n = in.n;
    TRY(g.integer(g.text(QStringLiteral("txtParameter_3")), in.L));
    shaft.L = in.L;
    TRY(g.integer(g.text(QStringLiteral("txtParameter_4")), in.ALFA));
    shaft.ALFA = in.ALFA;

    TRY(g.integer(g.text(box("txtGear_", 0)), in.L1));
    TRY(g.integer(g.text(box("txtGear_", 1)), in.d1));
    TRY(g.integerViaSingle(g.text(box("txtGear_", 2)), in.BTA1));
    TRY(g.integer(g.text(box("txtGear_", 3)), in.ALFA1));
    TRY(g.integer(g.text(box("txtGear_", 4)), in.L2));
    TRY(g.integer(g.text(box("txtGear_", 5)), in.d2));
    TRY(g.integerViaSingle(g.text(box("txtGear_", 6)), in.BTA2));
    TRY(g.integer(g.text(box("txtGear_", 7)), in.ALFA2));
    shaft.GearParams = { in.L1, in.d1, in.BTA1, in.ALFA1, in.L2, in.d2, in.BTA2, in.ALFA2 };

    // Axial-force directions: 1 left (toward bearing A), 0 right, -1 none.
    if (source.isSelected(QStringLiteral("optGear1_0"))) {
        in.Fa1Dir = 1;
        flags[1] = 1;
    } else if (source.isSelected(QStringLiteral("optGear1_1"))) {
        in.Fa1Dir = 0;
        flags[2] = 1;
    } else {
        in.Fa1Dir = -1;
    }
    if (source.isSelected(QStringLiteral("optGear2_0"))) {
        in.Fa2Dir = 1;
        flags[3] = 1;
    } else if (source.isSelected(QStringLiteral("optGear2_1"))) {
        in.Fa2Dir = 0;
        flags[4] = 1;
    } else {
        in.Fa2Dir = -1;
    }

    TRY(gatherBearing(g, "txtBearingA_", QStringLiteral("cboTypeA"), source, in.ModelA, in.TypeA,
        in.eA, in.Y1A, in.Y2A, in.CrA, copies.bearingA, shaft.ModelA));
    TRY(gatherBearing(g, "txtBearingB_", QStringLiteral("cboTypeB"), source, in.ModelB, in.TypeB,
        in.eB, in.Y1B, in.Y2B, in.CrB, copies.bearingB, shaft.ModelB));

    // Self-weight: a whole number of kg, acting toward bearing A.
    in.WeightOn = static_cast<std::int16_t>(source.checkState(QStringLiteral("chkWeight")));
    const QString weightText = g.text(QStringLiteral("txtWeight"));
    if (in.WeightOn == 1) {
        flags[5] = 1;
        std::int16_t kg = 0;
        TRY(g.integer(weightText, kg));
        TRY(Conv::toSingle(-std::fabs(kg * 9.8), in.G));
    } else {
        in.G = 0;
    }
    TRY(g.integer(weightText, shaft.WeightKg));

    in.AssembleA = source.isSelected(QStringLiteral("optAssembleA"));
    in.AssembleB = source.isSelected(QStringLiteral("optAssembleB"));
    if (in.AssembleA)
        flags[6] = 1;
    if (in.AssembleB)
        flags[7] = 1;
    shaft.Flags = Module1::BitsToByte(flags);
    return Fault::None;
}

namespace {

// The factor of the non-zero product that makes it fail: the first that is zero, else the first
// negative one (n enters squared, so its sign never counts), else the first below 1 in size (a
// product too small to be told from zero).
QString failingFactor(const CalcInput &in)
{
    struct Factor
    {
        const char *box;
        double value;
        bool signCounts;
    };
    const Factor factors[] = {
        { "txtParameter_1", in.P1, true },
        { "txtParameter_2", in.n, false },
        { "txtParameter_3", double(in.L), true },
        { "txtGear_0", double(in.L1), true },
        { "txtGear_1", double(in.d1), true },
        { "txtBearingA_4", in.CrA, true },
        { "txtBearingB_4", in.CrB, true },
    };
    for (int pass = 0; pass < 3; ++pass) {
        for (const Factor &f : factors) {
            const bool fails = pass == 0 ? f.value == 0
                : pass == 1              ? f.signCounts && f.value < 0
                                         : std::fabs(f.value) < 1;
            if (fails)
                return QString::fromLatin1(f.box);
        }
    }
    return QString::fromLatin1(factors[0].box);
}

} // namespace

bool ValidateInputs(
    const InputSource &source, const CalcInput &in, Prompter &prompter, QString *field)
{
    auto refuse = [&prompter, field](const QString &message, const QString &concerned) {
        prompter.inform(message);
        if (field)
            *field = concerned;
        return false;
    };

    if (source.boxText(QStringLiteral("txtParameter_0")).isEmpty())
        return refuse(QStringLiteral("编号不能为空字符串  "), QStringLiteral("txtParameter_0"));

    // The quantities that must not be zero, n twice so that a negative speed passes. A product
    // beyond the float range counts as large, not as a fault.
    const double product
        = static_cast<double>(in.P1) * in.n * in.CrA * in.CrB * in.L * in.L1 * in.d1 * in.n;
    float stored = 0;
    const bool tooSmall
        = Conv::toSingle(product, stored) == Fault::None ? stored < 0.00001 : product < 0;
    if (tooSmall)
        return refuse(QStringLiteral("P, n, L, L1, d1, Cr等不能为零  "), failingFactor(in));

    if (in.BTA1 != 0 && in.Fa1Dir < 0)
        return refuse(QStringLiteral("选择轴向力方向   "), QStringLiteral("optGear1_0"));
    const double gear2 = static_cast<double>(in.L2) * in.d2;
    if (in.BTA2 != 0 && in.Fa2Dir < 0 && gear2 > 0.00001)
        return refuse(QStringLiteral("选择轴向力方向   "), QStringLiteral("optGear2_0"));

    for (const QString &model :
        { QStringLiteral("txtBearingA_0"), QStringLiteral("txtBearingB_0") }) {
        if (source.boxText(model).isEmpty())
            return refuse(QStringLiteral("轴承型号不能为空字符串  "), model);
    }
    return true;
}
