#pragma once

// The detailed calculation data file (详细计算数据): 45 lines with every input and every
// intermediate quantity of the last computation, for checking it by hand.

#include "calc/calcinput.h"
#include "records/fileerror.h"

#include <QString>
#include <QStringList>

// The 45 lines. numberText is the current text of txtParameter(0), assembleA and assembleB the
// current selection states of optAssembleA and optAssembleB (read from the window when the command
// runs, unlike the other values, which are those of the last computation). Floats are written at
// full 32-bit precision in the comma lines, the models as quoted 12-character texts.
QStringList DetailedDataLines(const CalcInput &input, const CalcResult &result,
    const QString &numberText, bool assembleA, bool assembleB);

// Writes the 45 lines to path, replacing a file there; a failure leaves no partial file.
Result<> writeDetailedData(const QString &path, const CalcInput &input, const CalcResult &result,
    const QString &numberText, bool assembleA, bool assembleB);
