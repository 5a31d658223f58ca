#include "records/recall.h"

#include "calc/calcinput.h"
#include "calc/conversions.h"

#include <cmath>

namespace Recall {

namespace {

QString name(const char *prefix, int index)
{
    return QString::fromLatin1(prefix) + QString::number(index);
}

Assignment text(const QString &control, const QString &text)
{
    return { Assignment::Text, control, text, 0 };
}

Assignment state(Assignment::Kind kind, const QString &control, int value)
{
    return { kind, control, QString(), value };
}

// The factor boxes and the type of one side; no caret move (the shaft recall ends with its own).
void appendBearing(Plan &plan, Side side, const BearingRecord &bearing)
{
    const char *box = side == Side::A ? "txtBearingA_" : "txtBearingB_";
    plan << text(name(box, 1), valueText(bearing.e)) << text(name(box, 2), valueText(bearing.Y1))
         << text(name(box, 3), valueText(bearing.Y2)) << text(name(box, 4), valueText(bearing.Cr));
    if (bearing.Type <= AngularContactBall) {
        const QString combo
            = side == Side::A ? QStringLiteral("cboTypeA") : QStringLiteral("cboTypeB");
        plan << state(Assignment::Combo, combo, bearing.Type);
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
    plan << text(QStringLiteral("txtParameter_0"), Conv::trimRight(shaft.ShaftNo))
         << text(QStringLiteral("txtParameter_1"), powerText(shaft.P1, shaft.P2))
         << text(QStringLiteral("txtParameter_2"), valueText(shaft.n))
         << text(QStringLiteral("txtParameter_3"), valueText(shaft.L))
         << text(QStringLiteral("txtParameter_4"), valueText(shaft.ALFA));

    // A gear parameter of 0 stays empty (no gear 2 reads as empty boxes, not as zeros).
    for (int i = 0; i < 8; ++i) {
        const int v = shaft.GearParams[static_cast<std::size_t>(i)];
        plan << text(name("txtGear_", i), v != 0 ? valueText(v) : QString());
    }

    const auto bits = Module1::ByteToBits(shaft.Flags);
    auto bit = [&bits](int i) { return bits[static_cast<std::size_t>(i)] != 0 ? 1 : 0; };
    plan << state(Assignment::Option, QStringLiteral("optGear1_0"), bit(1))
         << state(Assignment::Option, QStringLiteral("optGear1_1"), bit(2))
         << state(Assignment::Option, QStringLiteral("optGear2_0"), bit(3))
         << state(Assignment::Option, QStringLiteral("optGear2_1"), bit(4))
         << state(Assignment::Check, QStringLiteral("chkWeight"), bit(5))
         << state(Assignment::Option, QStringLiteral("optAssembleA"), bit(6))
         << state(Assignment::Option, QStringLiteral("optAssembleB"), bit(7));
    if (bit(5))
        plan << text(QStringLiteral("txtWeight"), valueText(shaft.WeightKg));

    plan << text(QStringLiteral("txtBearingA_0"), Conv::trimRight(shaft.ModelA))
         << text(QStringLiteral("txtBearingB_0"), Conv::trimRight(shaft.ModelB));
    if (isFound(bearingA))
        appendBearing(plan, Side::A, bearingA);
    if (isFound(bearingB))
        appendBearing(plan, Side::B, bearingB);
    plan << state(Assignment::CaretToEnd, QStringLiteral("txtParameter_0"), 0);
    return plan;
}

Plan bearingPlan(Side side, const BearingRecord &bearing)
{
    Plan plan;
    appendBearing(plan, side, bearing);
    plan << state(Assignment::CaretToEnd,
        side == Side::A ? QStringLiteral("txtBearingA_0") : QStringLiteral("txtBearingB_0"), 0);
    return plan;
}

bool PlanShaftRecall(const QString &typedNumber, Plan &plan, FileError *error)
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

bool PlanBearingRecall(Side side, const QString &typedModel, Plan &plan, FileError *error)
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

bool PlanBearingBRecall(const QString &typedModelA, const QString &typedModelB,
    const std::array<QString, 4> &factorTextsA, Plan &plan, FileError *error)
{
    if (modelKey(typedModelA) != modelKey(typedModelB))
        return PlanBearingRecall(Side::B, typedModelB, plan, error);
    plan.clear();
    if (error)
        *error = FileError();
    for (int i = 1; i <= 4; ++i)
        plan << text(name("txtBearingB_", i), factorTextsA[static_cast<std::size_t>(i - 1)]);
    return true;
}

} // namespace Recall
