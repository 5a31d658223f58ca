#include "calc/gatherinputs.h"

#include <cmath>

namespace {

Fault single(const QString &text, float &out)
{
    return Conv::toSingle(Conv::valueOf(text), out);
}

Fault integer(const QString &text, std::int16_t &out)
{
    return Conv::toInteger(Conv::valueOf(text), out);
}

// Helix angles pass through a 32-bit float before they are rounded to whole degrees.
Fault integerViaSingle(const QString &text, std::int16_t &out)
{
    float f = 0;
    RETURN_IF_FAULT(single(text, f));
    return Conv::toInteger(static_cast<double>(f), out);
}

// One bearing: model, type, factors and rating. The type must fit the record's one byte.
Fault gatherBearing(const std::array<QString, 5> &texts, int data, QString &model,
    std::int16_t &type, float &e, float &y1, float &y2, float &cr)
{
    model = Conv::fitText(texts[0], 12);
    if (data < -32768 || data > 32767)
        return Fault::Overflow;
    type = static_cast<std::int16_t>(data);
    RETURN_IF_FAULT(single(texts[1], e));
    RETURN_IF_FAULT(single(texts[2], y1));
    RETURN_IF_FAULT(single(texts[3], y2));
    RETURN_IF_FAULT(single(texts[4], cr));
    return type < 0 || type > 255 ? Fault::Overflow : Fault::None;
}

// Axial-force direction of one gear: 1 left (toward bearing A), 0 right, -1 none; the flags of
// 左 and 右 follow it.
std::int16_t direction(const std::array<bool, 2> &options, std::uint8_t &left, std::uint8_t &right)
{
    left = options[0] ? 1 : 0;
    right = !options[0] && options[1] ? 1 : 0;
    return options[0] ? 1 : options[1] ? 0 : -1;
}

} // namespace

Fault GatherInputs(const MainInputs &w, CalcInput &in, OptionFlags &flags)
{
    flags.fill(0);

    in.ShaftNo = Conv::fitText(w.parameter[0], 15);

    // Power: one value for both gears, or P1/P2.
    const QString &power = w.parameter[1];
    const qsizetype slash = power.indexOf(u'/');
    if (slash < 0) {
        RETURN_IF_FAULT(single(power, in.P1));
        in.P2 = in.P1;
    } else {
        RETURN_IF_FAULT(single(power.left(slash), in.P1));
        RETURN_IF_FAULT(single(power.mid(slash + 1), in.P2));
    }

    RETURN_IF_FAULT(single(w.parameter[2], in.n));
    RETURN_IF_FAULT(integer(w.parameter[3], in.L));
    RETURN_IF_FAULT(integer(w.parameter[4], in.ALFA));

    RETURN_IF_FAULT(integer(w.gear[0], in.L1));
    RETURN_IF_FAULT(integer(w.gear[1], in.d1));
    RETURN_IF_FAULT(integerViaSingle(w.gear[2], in.BTA1));
    RETURN_IF_FAULT(integer(w.gear[3], in.ALFA1));
    RETURN_IF_FAULT(integer(w.gear[4], in.L2));
    RETURN_IF_FAULT(integer(w.gear[5], in.d2));
    RETURN_IF_FAULT(integerViaSingle(w.gear[6], in.BTA2));
    RETURN_IF_FAULT(integer(w.gear[7], in.ALFA2));

    in.Fa1Dir = direction(w.gear1Direction, flags[1], flags[2]);
    in.Fa2Dir = direction(w.gear2Direction, flags[3], flags[4]);

    RETURN_IF_FAULT(
        gatherBearing(w.bearingA, w.typeA, in.ModelA, in.TypeA, in.eA, in.Y1A, in.Y2A, in.CrA));
    RETURN_IF_FAULT(
        gatherBearing(w.bearingB, w.typeB, in.ModelB, in.TypeB, in.eB, in.Y1B, in.Y2B, in.CrB));

    // Self-weight: a whole number of kg, acting toward bearing A.
    in.WeightOn = w.weightOn ? 1 : 0;
    if (w.weightOn) {
        flags[5] = 1;
        std::int16_t kg = 0;
        RETURN_IF_FAULT(integer(w.weight, kg));
        RETURN_IF_FAULT(Conv::toSingle(-std::fabs(kg * 9.8), in.G));
    } else {
        in.G = 0;
    }
    RETURN_IF_FAULT(integer(w.weight, in.WeightKg));

    in.AssembleA = w.assembleA;
    in.AssembleB = w.assembleB;
    flags[6] = in.AssembleA ? 1 : 0;
    flags[7] = in.AssembleB ? 1 : 0;
    return Fault::None;
}

namespace {

// The factor of the non-zero product that makes it fail: the first that is zero, else the first
// negative one (n enters squared, so its sign never counts), else the first below 1 in size (a
// product too small to be told from zero).
MainField failingFactor(const CalcInput &in)
{
    struct Factor
    {
        MainField field;
        double value;
        bool signCounts;
    };
    const Factor factors[] = {
        { { MainField::Parameter, 1 }, in.P1, true },
        { { MainField::Parameter, 2 }, in.n, false },
        { { MainField::Parameter, 3 }, double(in.L), true },
        { { MainField::Gear, 0 }, double(in.L1), true },
        { { MainField::Gear, 1 }, double(in.d1), true },
        { { MainField::BearingA, 4 }, in.CrA, true },
        { { MainField::BearingB, 4 }, in.CrB, true },
    };
    for (int pass = 0; pass < 3; ++pass) {
        for (const Factor &f : factors) {
            const bool fails = pass == 0 ? f.value == 0
                : pass == 1              ? f.signCounts && f.value < 0
                                         : std::fabs(f.value) < 1;
            if (fails)
                return f.field;
        }
    }
    return factors[0].field;
}

} // namespace

std::optional<Refusal> ValidateInputs(const MainInputs &w, const CalcInput &in)
{
    if (w.parameter[0].isEmpty())
        return Refusal { QStringLiteral("编号不能为空字符串  "), { MainField::Parameter, 0 } };

    // The quantities that must not be zero, n twice so that a negative speed passes. A product
    // beyond the float range counts as large, not as a fault.
    const double product
        = static_cast<double>(in.P1) * in.n * in.CrA * in.CrB * in.L * in.L1 * in.d1 * in.n;
    float stored = 0;
    const bool tooSmall
        = Conv::toSingle(product, stored) == Fault::None ? stored < 0.00001 : product < 0;
    if (tooSmall)
        return Refusal { QStringLiteral("P, n, L, L1, d1, Cr等不能为零  "), failingFactor(in) };

    if (in.BTA1 != 0 && in.Fa1Dir < 0)
        return Refusal { QStringLiteral("选择轴向力方向   "), { MainField::Gear1Direction, 0 } };
    const double gear2 = static_cast<double>(in.L2) * in.d2;
    if (in.BTA2 != 0 && in.Fa2Dir < 0 && gear2 > 0.00001)
        return Refusal { QStringLiteral("选择轴向力方向   "), { MainField::Gear2Direction, 0 } };

    if (w.bearingA[0].isEmpty())
        return Refusal { QStringLiteral("轴承型号不能为空字符串  "), { MainField::BearingA, 0 } };
    if (w.bearingB[0].isEmpty())
        return Refusal { QStringLiteral("轴承型号不能为空字符串  "), { MainField::BearingB, 0 } };
    return std::nullopt;
}
