#include "records/recall.h"

#include "calc/calcinput.h"
#include "calc/conversions.h"

#include <cmath>

namespace Recall {

namespace {

Assignment text(MainField::Group group, int index, const QString &text)
{
    return { Assignment::Text, { group, index }, text, 0 };
}

Assignment state(Assignment::Kind kind, MainField::Group group, int index, int value)
{
    return { kind, { group, index }, QString(), value };
}

MainField::Group boxes(Side side)
{
    return side == Side::A ? MainField::BearingA : MainField::BearingB;
}

// The factor boxes and the type of one side; no caret move (the shaft recall ends with its own).
void appendBearing(Plan &plan, Side side, const BearingRecord &bearing)
{
    const MainField::Group box = boxes(side);
    plan << text(box, 1, valueText(bearing.e)) << text(box, 2, valueText(bearing.Y1))
         << text(box, 3, valueText(bearing.Y2)) << text(box, 4, valueText(bearing.Cr));
    if (bearing.Type <= AngularContactBall) {
        const MainField::Group list = side == Side::A ? MainField::TypeA : MainField::TypeB;
        plan << state(Assignment::Combo, list, 0, bearing.Type);
    }
}

} // namespace

QString shaftKey(const QString &typed)
{
    return Conv::fitText(typed.toUpper(), RecordLayout::ShaftNoWidth);
}

QString modelKey(const QString &typed)
{
    return Conv::fitText(typed.toUpper(), RecordLayout::ModelWidth);
}

bool isFound(const ShaftRecord &record)
{
    return record.P1 > 0.001f;
}

bool isFound(const BearingRecord &record)
{
    return record.Cr > 0.001f;
}

QString valueText(float value)
{
    return Conv::singleText(value);
}

QString valueText(int value)
{
    return QString::number(value);
}

QString powerText(float p1, float p2)
{
    const float difference = std::fabs(p1 - p2);
    if (static_cast<double>(difference) <= 0.01)
        return valueText(p1);
    return valueText(p1) + u'/' + valueText(p2);
}

Plan shaftPlan(
    const ShaftRecord &shaft, const BearingRecord &bearingA, const BearingRecord &bearingB)
{
    Plan plan;
    plan << text(MainField::Parameter, 0, Conv::trimRight(shaft.ShaftNo))
         << text(MainField::Parameter, 1, powerText(shaft.P1, shaft.P2))
         << text(MainField::Parameter, 2, valueText(shaft.n))
         << text(MainField::Parameter, 3, valueText(shaft.L))
         << text(MainField::Parameter, 4, valueText(shaft.ALFA));

    // A gear parameter of 0 stays empty (no gear 2 reads as empty boxes, not as zeros).
    for (int i = 0; i < 8; ++i) {
        const int v = shaft.GearParams[static_cast<std::size_t>(i)];
        plan << text(MainField::Gear, i, v != 0 ? valueText(v) : QString());
    }

    const auto bits = Module1::ByteToBits(shaft.Flags);
    auto bit = [&bits](int i) { return bits[static_cast<std::size_t>(i)] != 0 ? 1 : 0; };
    plan << state(Assignment::Option, MainField::Gear1Direction, 0, bit(1))
         << state(Assignment::Option, MainField::Gear1Direction, 1, bit(2))
         << state(Assignment::Option, MainField::Gear2Direction, 0, bit(3))
         << state(Assignment::Option, MainField::Gear2Direction, 1, bit(4))
         << state(Assignment::Check, MainField::WeightOn, 0, bit(5))
         << state(Assignment::Option, MainField::Assemble, 0, bit(6))
         << state(Assignment::Option, MainField::Assemble, 1, bit(7));
    if (bit(5))
        plan << text(MainField::Weight, 0, valueText(shaft.WeightKg));

    plan << text(MainField::BearingA, 0, Conv::trimRight(shaft.ModelA))
         << text(MainField::BearingB, 0, Conv::trimRight(shaft.ModelB));
    if (isFound(bearingA))
        appendBearing(plan, Side::A, bearingA);
    if (isFound(bearingB))
        appendBearing(plan, Side::B, bearingB);
    plan << state(Assignment::CaretToEnd, MainField::Parameter, 0, 0);
    return plan;
}

Plan bearingPlan(Side side, const BearingRecord &bearing)
{
    Plan plan;
    appendBearing(plan, side, bearing);
    plan << state(Assignment::CaretToEnd, boxes(side), 0, 0);
    return plan;
}

bool planShaftRecall(const QString &typedNumber, Plan &plan, FileError *error)
{
    plan.clear();
    const Result<std::optional<ShaftRecord>> found
        = Module1::FindShaftRecord(shaftKey(typedNumber));
    if (!found) {
        if (error)
            *error = found.error();
        return false;
    }
    const ShaftRecord shaft = found->value_or(ShaftRecord());
    if (!isFound(shaft))
        return false;

    // The stored models are looked up as stored (not upper-cased again).
    const Result<std::optional<BearingRecord>> a = Module1::FindBearingRecord(shaft.ModelA);
    const Result<std::optional<BearingRecord>> b = Module1::FindBearingRecord(shaft.ModelB);
    if (error)
        *error = !a ? a.error() : !b ? b.error() : FileError();
    plan = shaftPlan(shaft, a ? a->value_or(BearingRecord()) : BearingRecord(),
        b ? b->value_or(BearingRecord()) : BearingRecord());
    return true;
}

bool planBearingRecall(Side side, const QString &typedModel, Plan &plan, FileError *error)
{
    plan.clear();
    const Result<std::optional<BearingRecord>> found
        = Module1::FindBearingRecord(modelKey(typedModel));
    if (error)
        *error = found ? FileError() : found.error();
    const BearingRecord bearing = found ? found->value_or(BearingRecord()) : BearingRecord();
    if (!found || !isFound(bearing))
        return false;
    plan = bearingPlan(side, bearing);
    return true;
}

bool planBearingBRecall(const QString &typedModelA, const QString &typedModelB,
    const std::array<QString, 4> &factorTextsA, Plan &plan, FileError *error)
{
    if (modelKey(typedModelA) != modelKey(typedModelB))
        return planBearingRecall(Side::B, typedModelB, plan, error);
    plan.clear();
    if (error)
        *error = FileError();
    for (int i = 1; i <= 4; ++i)
        plan << text(MainField::BearingB, i, factorTextsA[static_cast<std::size_t>(i - 1)]);
    return true;
}

} // namespace Recall
