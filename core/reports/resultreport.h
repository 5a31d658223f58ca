#pragma once

// The result report (保存结果): 19 lines with the inputs that matter and the results of the last
// computation, written as GBK with CR LF.

#include "calc/calcinput.h"
#include "records/fileerror.h"

#include <QString>
#include <QStringList>

// The 19 lines of the report. numberText is the current text of txtParameter(0), dateText today's
// date in the user's short date format (the window passes
// QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)). The lines use the styles
// of reports/textfile.h; the labels of lines 2 and 19 are followed by column items 6 and 11
// ("编号" + 1 blank, "计算日期" + 2 blanks).
QStringList ResultReportLines(const CalcInput &input, const CalcResult &result,
    const QString &numberText, const QString &dateText);

// Writes the report to path, replacing a file there; a failure leaves no partial file.
Result<> writeResultReport(const QString &path, const CalcInput &input, const CalcResult &result,
    const QString &numberText, const QString &dateText);
