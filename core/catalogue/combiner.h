#pragma once

// Merging the bearing catalogue of another record file into bearing.sav (the record combiner).
// Bearings whose model the target already has (letter case ignored, models added by the same
// merge included) and implausible bearings are skipped; nothing already in the target is changed.
// The duplicate test is one hash lookup per source record, so a full source merges into a full
// target in a fraction of a second.

#include "records/recordfile.h"
#include "records/records.h"

#include <QString>

namespace Combiner {

struct MergeResult
{
    bool merged = false; // both files were opened and the source was read; false: no change
    qint64 targetCount = 0; // records in the target afterwards
    int added = 0; // records appended by this merge
    StoreError error; // why the merge stopped early or could not start; empty when it ran
                      // through
    QString note; // a torn tail of the target dropped and kept in its backup (WriteNote::text)
};

// The plausibility test of a source record: a model that is not blank and decoded cleanly from
// GBK (no replacement characters), a type code up to 4,
// 0 <= e < 1, 1 < Cr < 20000, 0 <= Y1 < 10 and 0 <= Y2 < 10.
bool isPlausible(const BearingRecord &record);

// The key under which two models count as the same: the 12-character field without trailing
// blanks, case-folded.
QString modelKey(const QString &model);

// Merges the bearing records of sourcePath into targetPath. A source path that is empty or names
// no file does nothing (merged false, no error). The target is created when missing; the merge
// runs under its lock (RecordFiles::modifyBearingFile): its records are read once (at most
// RecordLayout::MaxRecords), the source in chunks, and the new records go after the target's
// last whole record, the target being replaced in one step, so a failure or a crash never leaves
// part of a merge. A target already full stops at once; one that would pass MaxRecords records
// stops the merge there with an error: the records accepted before are written and kept. A write
// failure leaves the target as it was (added 0) and reports the file and the reason.
MergeResult mergeBearingFiles(const QString &sourcePath, const QString &targetPath);

// The number of whole records in a bearing file, creating it empty when missing. Returns -1 and
// fills error when it cannot be opened or created.
qint64 countBearingRecords(const QString &path, StoreError &error);

// "目标文件中有 N 个记录"
QString targetCountText(qint64 targetCount);
// "目标文件中有 N 个记录  新增 M 个记录"
QString mergeResultText(qint64 targetCount, int added);

} // namespace Combiner
