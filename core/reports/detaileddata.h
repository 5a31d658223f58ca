#pragma once

// The detailed calculation data file (详细计算数据): 45 lines with every input and every
// intermediate quantity of the last computation, for checking it by hand.

#include "calc/calcinput.h"

#include <QString>
#include <QStringList>

class Prompter;

// The 45 lines. numberText is the current text of txtParameter(0), assembleA and assembleB the
// current selection states of optAssembleA and optAssembleB (read from the window when the command
// runs, unlike the other values, which are those of the last computation). Floats are written at
// full 32-bit precision in the comma lines, the models as quoted 12-character texts.
QStringList DetailedDataLines(const CalcInput &input, const CalcResult &result,
    const QString &numberText, bool assembleA, bool assembleB);

// The whole command. The dialog proposes dialogFileName (the window's dlgBLC name of the previous
// use by this command or by SaveResultReport) and sets it to the chosen path. Cancel ends silently
// (false); a write failure is reported through prompter.inform naming the file and the reason
// (false), leaving no partial file. True when the file was written.
bool WriteDetailedData(Prompter &prompter, QString &dialogFileName, const CalcInput &input,
    const CalcResult &result, const QString &numberText, bool assembleA, bool assembleB);
