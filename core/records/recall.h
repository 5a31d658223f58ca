#pragma once

// Recalling a saved shaft record or a catalogue bearing into the main window (Enter in the number
// box or a model box), without the window: the lookups, and the ordered list of field
// assignments the window then makes one after another. Each assignment is an ordinary edit of the
// field's control, so its change handling (type rules, invalidation) runs; the
// order matters and must be kept.
//
// Use from the window (the Enter key is swallowed in every case):
//   RecallShaft:    Recall::planShaftRecall(typed number, plan, &error); a found record clears
//                   the window, then applies the plan; a failed error is shown either way.
//   RecallBearingA: Recall::planBearingRecall(Recall::Side::A, typed model), then apply.
//   RecallBearingB: Recall::planBearingBRecall(model A, model B, A's four factor texts).

#include "calc/gatherinputs.h"
#include "records/recordfile.h"
#include "records/records.h"

#include <QList>
#include <QString>

#include <array>

namespace Recall {

struct Assignment
{
    enum Kind {
        Text, // the text box `field` shows text
        Option, // option button `field` selected when value is 1, unselected when 0
        Check, // check box `field` state = value (0 clear, 1 ticked)
        Combo, // select list position value of the type list `field`
        CaretToEnd, // move the caret of text box `field` to the end of its text
    };
    Kind kind = Text;
    MainField field;
    QString text;
    int value = 0;

    bool operator==(const Assignment &) const = default;
};
using Plan = QList<Assignment>;

enum class Side { A, B };

// Keys as looked up: the typed text in upper case, cut or padded to 15 (number) or 12 (model).
QString shaftKey(const QString &typed);
QString modelKey(const QString &typed);

// A lookup counts as found only by its numbers: P1 > 0.001, Cr > 0.001.
bool isFound(const ShaftRecord &record);
bool isFound(const BearingRecord &record);

// Numbers as written into the boxes: general decimal text of a float (at most 7 significant
// digits, no trailing zeros, "5.5", "150"); digits of an integer.
QString valueText(float value);
QString valueText(int value);

// The power box: P1 alone when |P1 - P2| (a 32-bit float difference) is at most 0.01, otherwise
// "P1/P2".
QString powerText(float p1, float p2);

// The assignments of a shaft recall after Clear, in order: number, power, speed, span, angle, the
// eight gear boxes (empty for 0), the four direction options, the self-weight tick, the two
// mounting options, the weight box (only with self-weight on), both model boxes, bearing A's four
// factors and type (when bearingA is found), the same for B, caret of the number box to the end. A
// stored type outside 0 to 4 fills the factors but leaves the type selection alone.
Plan shaftPlan(
    const ShaftRecord &shaft, const BearingRecord &bearingA, const BearingRecord &bearingB);

// The assignments of a found bearing on one side: the four factor boxes, the type (when 0 to 4),
// the caret of the model box to the end.
Plan bearingPlan(Side side, const BearingRecord &bearing);

// RecallShaft: looks the typed number up (upper-cased) in gear.sav and both stored models in
// bearing.sav. Returns true with the plan when the record is found; false (plan empty) when it is
// not, or when gear.sav cannot be read (error filled). A bearing.sav error leaves those bearings
// out of the plan and fills error while the result stays true.
bool planShaftRecall(const QString &typedNumber, Plan &plan, FileError *error = nullptr);

// RecallBearingA (and RecallBearingB when the models differ): true with the plan when the typed
// model is in the catalogue.
bool planBearingRecall(
    Side side, const QString &typedModel, Plan &plan, FileError *error = nullptr);

// RecallBearingB. When the typed models of A and B are equal (upper-cased, 12 characters) no file
// is read: the plan copies A's four factor texts (as they stand, empty ones included) into
// B's four factor boxes and leaves B's type and caret alone. Otherwise as planBearingRecall for B.
bool planBearingBRecall(const QString &typedModelA, const QString &typedModelB,
    const std::array<QString, 4> &factorTextsA, Plan &plan, FileError *error = nullptr);

} // namespace Recall
