#pragma once

// Saving the parameters of the main window (保存参数) as a shaft record of gear.sav and adding its
// two bearings to the catalogue bearing.sav when their models are new there.
//
// Use from the window (the button and the menu entry 保存参数):
//     const SaveOutcome out = SaveParameters(inputs, m_input, m_flags, m_copies, talk);
//     if (out.kind == SaveOutcome::Declined) { focus the number box and select its whole text }
// SaveParameters gathers first; a conversion fault there (Fault::Overflow, for instance a span of
// 40000) is told with faultText like the compute command does and nothing is written.

#include "calc/calcinput.h"
#include "calc/conversions.h"
#include "calc/gatherinputs.h"
#include "records/fileerror.h"
#include "records/recordfile.h"
#include "records/records.h"

#include <QString>
#include <QStringList>

#include <functional>

// The in-memory record copies of one save: the shaft record and the two catalogue bearings.
struct RecordCopies
{
    ShaftRecord shaft;
    BearingRecord bearingA;
    BearingRecord bearingB;
};

// What a save says to the user, supplied by the window: a question answered Yes (true) or No, and
// a message (refusals, file errors, the closing message).
struct SaveTalk
{
    std::function<bool(const QString &question)> ask;
    std::function<void(const QString &text)> tell;
};

struct SaveOutcome
{
    enum Kind {
        Saved, // shaft record written, bearings appended where new, closing message told
        Declined, // the number is in use and the user answered No: nothing written
        Refused, // a character GBK lacks, already told: nothing written
        Failed, // a file error, already told; gear.sav holds either the old or the new record
        ConversionFault, // a conversion fault while gathering, already told; nothing written
    };
    Kind kind = Failed;
    int recordNo = 0; // gear.sav record written (1-based), 0 when none
    bool replaced = false; // the number was in use and its first record was replaced
    bool bearingAppended = false; // at least one model was new in bearing.sav
    QStringList notes; // torn tails dropped and kept in a backup (WriteNote::text)
    FileError error; // the file error of Failed
};

// The record copies of gathered inputs: the shaft record, and each bearing with the factors its
// type uses (the others zero), factors and rating rounded to two decimals.
RecordCopies recordCopies(const CalcInput &input, const OptionFlags &flags);

// Steps after the gathering: refuses a number or model holding a character GBK lacks
// (outsideGbkMessage) before anything is written; stores the shaft record, asking "编号 <number
// without trailing blanks> 已经用过。是否替换？" when the number is in use and then finding the
// number again in gear.sav as it is at that moment (another copy of the program may have written
// meanwhile); appends the bearings of copy A, then of copy B, where their models are new (both run,
// even for equal models) and tells "参数已保存,快用工具\数据管理器完善. " when a bearing was added,
// "参数已保存     " otherwise, followed by a line for each torn tail a writer dropped (and kept in
// its backup). A file error is told as error.text().
SaveOutcome saveShaftRecord(const RecordCopies &copies, const SaveTalk &talk);

// The whole command: GatherInputs into input and flags, their recordCopies into copies (left
// alone after a conversion fault), then saveShaftRecord.
SaveOutcome SaveParameters(const MainInputs &window, CalcInput &input, OptionFlags &flags,
    RecordCopies &copies, const SaveTalk &talk);
