#pragma once

// Merging the bearing catalogue of another record file into bearing.sav (the record combiner).
// Bearings whose model the target already has (letter case ignored, models added by the same
// merge included) and implausible bearings are skipped; nothing already in the target is changed.
// The duplicate test is one hash lookup per source record, so a full source merges into a full
// target in a fraction of a second.

#include "records/recordfile.h"
#include "records/records.h"

#include <QString>

#include <optional>

namespace Combiner {

struct MergeResult
{
    qint64 targetCount = 0; // records in the target afterwards
    int added = 0; // records appended by this merge
    // Why the merge stopped before the source's end (the record limit, a source that could not be
    // read on); the records accepted before were written.
    std::optional<FileError> stopped;
    QString note; // a torn tail of the target dropped and kept in its backup (WriteNote::text)
};

// The plausibility test of a source record: a model that is not blank and decoded cleanly from
// GBK (no replacement characters), a type code up to 4,
// 0 <= e < 1, 1 < Cr < 20000, 0 <= Y1 < 10 and 0 <= Y2 < 10.
bool isPlausible(const BearingRecord &record);

// The key under which the merge counts two models as the same: the 12-character field without
// trailing blanks, case-folded. (Recall looks models up by their exact field instead.)
QString duplicateKey(const QString &model);

// Merges the bearing records of sourcePath into targetPath. A source path that is empty or names
// no file does nothing (nullopt). The target is created when missing; the merge runs under its
// lock (RecordFiles::modifyBearingFile): its records are read once (at most
// RecordLayout::MaxRecords), the source in chunks, and the new records go after the target's
// last whole record, the target being replaced in one step, so a failure or a crash never leaves
// part of a merge. A target already full adds nothing (stopped says so); one that would pass
// MaxRecords records stops the merge there: the records accepted before are written and kept. An
// error (the source or the target could not be read, the write failed) leaves the target as it
// was.
Result<std::optional<MergeResult>> mergeBearingFiles(
    const QString &sourcePath, const QString &targetPath);

// The number of whole records in a bearing file, creating it empty when missing.
Result<qint64> countBearingRecords(const QString &path);

// "目标文件中有 N 个记录"
QString targetCountText(qint64 targetCount);
// "目标文件中有 N 个记录  新增 M 个记录"
QString mergeResultText(qint64 targetCount, int added);

} // namespace Combiner
