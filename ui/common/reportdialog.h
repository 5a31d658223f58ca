#pragma once

// The save dialog of the two report commands (保存结果, 详细计算数据): the window asks for the
// path, the core writes the file there, and a failure is shown in the program's failure box.

#include "records/fileerror.h"

#include <QString>

#include <functional>

class Prompter;

namespace ReportDialog {

// The filter of both report dialogs.
QString fileFilter();

// Writes a report to the path the user chooses. dialogFileName is the window's dlgBLC name, kept
// between uses by both commands: it is set to proposedName, which the dialog proposes, and then
// to the chosen path. Cancel ends silently (false); a write failure is shown through
// prompter.inform naming the file and the reason (false). True when the file was written.
bool save(Prompter &prompter, QString &dialogFileName, const QString &proposedName,
    const std::function<Result<>(const QString &path)> &write);

} // namespace ReportDialog
