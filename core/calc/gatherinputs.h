#pragma once

// Gathering the main window's controls into CalcInput and the record copies, and the validation
// that decides whether a computation may run.

#include "calc/calcinput.h"
#include "calc/conversions.h"
#include "records/records.h"

#include <QString>

class Prompter;

// What the calculation needs of the main window. Controls are named by their object names:
// "txtParameter_0".."txtParameter_4", "txtGear_0".."txtGear_7", "txtBearingA_0".."txtBearingA_4",
// "txtBearingB_0".."txtBearingB_4", "txtWeight"; options "optGear1_0", "optGear1_1",
// "optGear2_0", "optGear2_1", "optAssembleA", "optAssembleB"; "chkWeight"; "cboTypeA", "cboTypeB".
class InputSource
{
public:
    virtual ~InputSource() = default;
    virtual QString boxText(const QString &name) const = 0;
    virtual bool isSelected(const QString &option) const = 0;
    virtual int checkState(const QString &check) const = 0; // 0 clear, 1 ticked
    virtual int comboData(const QString &combo) const = 0; // item data of the selected entry
};

// The in-memory record copies that GatherInputs fills.
struct RecordCopies
{
    ShaftRecord shaft;
    BearingRecord bearingA;
    BearingRecord bearingB;
};

// Fills input, flags and copies from the source, in the documented order. A conversion fault
// (Fault::Overflow) ends it at the failing field: the fields before it hold new values, the later
// ones keep theirs.
Fault GatherInputs(
    const InputSource &source, CalcInput &input, OptionFlags &flags, RecordCopies &copies);

// Applies the five checks in order; the first that fails shows its message (OK, information icon,
// title "Tolvenar") and the result is false. The window then puts the focus where the user has to
// act: field receives the object name of the first control concerned (the empty number box; the
// first of P, n, L, L1, d1, CrA, CrB that makes the product fail; the 左 option of the gear
// without a direction; the empty model box).
bool ValidateInputs(const InputSource &source, const CalcInput &input, Prompter &prompter,
    QString *field = nullptr);
