#pragma once

// Saving the parameters of the main window (保存参数) as a shaft record of gear.sav and adding its
// two bearings to the catalogue bearing.sav when their models are new there.
//
// Use from the window (cmdSaveParameter and mnuSaveParameter):
//     const SaveOutcome out = SaveParameters(source, m_input, m_flags, m_copies, prompter);
//     if (out.kind == SaveOutcome::Declined) { focus txtParameter(0) and select its whole text }
// SaveParameters runs GatherInputs first; a conversion fault there (Fault::Overflow, for instance a
// span of 40000) is reported as "数值溢出  " like the compute command does and nothing is written.
// Callers that gather themselves must do the same before calling SaveShaftRecord: it writes the
// copies as they are.

#include "calc/calcinput.h"
#include "calc/conversions.h"
#include "calc/gatherinputs.h"
#include "records/recordfile.h"

#include <QString>
#include <QStringList>

class InputSource;
class Prompter;

struct SaveOutcome
{
    enum Kind {
        Saved, // shaft record written, bearings appended where new, closing message shown
        Declined, // the number is in use and the user answered No: nothing written
        Refused, // a character GBK lacks, already shown: nothing written
        Failed, // a file error, already shown; gear.sav holds either the old or the new record
        ConversionFault, // a conversion fault in GatherInputs, already shown; nothing written
    };
    Kind kind = Failed;
    int recordNo = 0; // gear.sav record written (1-based), 0 when none
    bool replaced = false; // the number was in use and its first record was replaced
    bool bearingAppended = false; // at least one model was new in bearing.sav
    QStringList notes; // torn tails dropped and kept in a backup (WriteNote::text)
    FileError error; // the file error of Failed
};

// "编号 <number without trailing blanks> 已经用过。是否替换？"
QString replaceQuestion(const QString &shaftNo);
// "参数已保存,快用工具\数据管理器完善. " when a bearing was added, "参数已保存     " otherwise.
QString savedMessage(bool bearingAppended);

// AppendBearingRecord for copy A, then for copy B (both run, even for equal models). appended
// tells whether either added a record; notes collects what a writer said about a torn tail.
// Stops at the first file error (false, error filled).
bool AppendBearingCopies(
    const RecordCopies &copies, bool &appended, QStringList &notes, FileError &error);

// Steps after the gathering: refuses a number or model holding a character GBK lacks
// (outsideGbkMessage) before anything is written; stores the shaft record, asking replaceQuestion
// (Yes, No; Yes default; information icon; title "Tolvenar") when the number is in use and then
// finding the number again in gear.sav as it is at that moment (another copy of the program may
// have written meanwhile); appends the bearings and shows savedMessage, followed by a line for each
// torn tail a writer dropped (and kept in its backup). A file error is shown with
// prompter.inform(error.text()).
SaveOutcome SaveShaftRecord(const RecordCopies &copies, Prompter &prompter);

// The whole command: GatherInputs into input, flags and copies, then SaveShaftRecord.
SaveOutcome SaveParameters(const InputSource &source, CalcInput &input, OptionFlags &flags,
    RecordCopies &copies, Prompter &prompter);
