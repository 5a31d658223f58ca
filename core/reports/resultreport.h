#pragma once

// The result report (保存结果): 19 lines with the inputs that matter and the results of the last
// computation, written as GBK with CR LF through the save dialog.

#include "calc/calcinput.h"

#include <QString>
#include <QStringList>

class Prompter;

// The filter of the report dialogs (result report and detailed data).
inline QString reportFileFilter()
{
    return QStringLiteral("文本文件(*.txt)");
}

// The 19 lines of the report. numberText is the current text of txtParameter(0), dateText today's
// date in the user's short date format (the window passes
// QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)). The lines use the styles
// of reports/textfile.h; the labels of lines 2 and 19 are followed by column items 6 and 11
// ("编号" + 1 blank, "计算日期" + 2 blanks).
QStringList ResultReportLines(const CalcInput &input, const CalcResult &result,
    const QString &numberText, const QString &dateText);

// The whole command after the window has read what it needs. dialogFileName is the window's
// dlgBLC file name, kept between uses: it is set to numberText as the proposed name, and to the
// chosen path once one is chosen. Cancel ends silently (false). A file that cannot be written is
// reported through prompter.inform naming the file and the reason (false), and no partial file is
// left behind. True when the report was written.
bool SaveResultReport(Prompter &prompter, QString &dialogFileName, const CalcInput &input,
    const CalcResult &result, const QString &numberText, const QString &dateText);
