#pragma once

// Reading the main window's texts and choices into CalcInput, and the validation that decides
// whether a computation may run.

#include "calc/calcinput.h"
#include "calc/conversions.h"

#include <QString>

#include <array>
#include <optional>

// Everything the calculation needs of the main window, as the user typed and chose it. The window
// fills it in one place; nothing here knows a control.
struct MainInputs
{
    std::array<QString, 5> parameter; // number, power ("P" or "P1/P2"), speed, span, angle
    std::array<QString, 8> gear; // L1, d1, β1, α1, L2, d2, β2, α2
    std::array<QString, 5> bearingA, bearingB; // model, e, Y1, Y2, Cr
    QString weight; // kg
    std::array<bool, 2> gear1Direction {}, gear2Direction {}; // 左, 右
    bool assembleA = false, assembleB = false;
    bool weightOn = false;
    int typeA = 0, typeB = 0; // type codes chosen in the two lists
};

// One field of the main window, by its group and its index within the group (Assemble: 0 for A,
// 1 for B; the direction groups: 0 左, 1 右).
struct MainField
{
    enum Group {
        Parameter,
        Gear,
        BearingA,
        BearingB,
        Weight,
        Gear1Direction,
        Gear2Direction,
        Assemble,
        WeightOn,
        TypeA,
        TypeB,
    };
    Group group = Parameter;
    int index = 0;

    bool operator==(const MainField &) const = default;
};

// Why a computation may not run, and the field where the user has to act.
struct Refusal
{
    QString text;
    MainField field;

    bool operator==(const Refusal &) const = default;
};

// Fills input and flags from the window's texts and choices, in the documented order. A
// conversion fault (Fault::Overflow) ends it at the failing field: the fields before it hold new
// values, the later ones keep theirs.
Fault GatherInputs(const MainInputs &window, CalcInput &input, OptionFlags &flags);

// The five checks in order; the first that fails is returned (the window shows its text and puts
// the focus on its field): the empty number box; the first of P, n, L, L1, d1, CrA, CrB that makes
// the product fail; the 左 option of the gear without a direction; the empty model box.
std::optional<Refusal> ValidateInputs(const MainInputs &window, const CalcInput &input);
