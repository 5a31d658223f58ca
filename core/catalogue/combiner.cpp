#include "catalogue/combiner.h"

#include "calc/conversions.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

using namespace RecordLayout;

namespace Combiner {

namespace {

// Source slots read per call.
constexpr qint64 ChunkSlots = 4096;

bool isBlankModel(const QString &model)
{
    // A zero-filled slot carries NUL bytes where a model would be.
    return std::all_of(
        model.begin(), model.end(), [](QChar c) { return c.isSpace() || c.unicode() == 0; });
}

// The duplicate keys of the target's records.
QSet<QString> targetKeys(const QByteArray &slotBytes)
{
    const qint64 count = slotBytes.size() / BearingSlot;
    QSet<QString> keys;
    keys.reserve(count * 2);
    for (qint64 i = 0; i < count; ++i)
        keys.insert(duplicateKey(decodeText(slotBytes.constData() + i * BearingSlot, ModelWidth)));
    return keys;
}

// One merge's walk through the source: the accepted records collect in one block, which stays
// below the record limit.
struct SourceWalk
{
    QFile &source;
    QSet<QString> keys;
    MergeResult &result;
    QByteArray accepted;
    qint64 sourceNo = 0;

    // Takes one source slot when it is new to the target and plausible; false when the target is
    // full (stopped says so).
    bool take(const char *slot, const QString &targetPath)
    {
        ++sourceNo;
        // A blank model (a zero-filled or sparse stretch) is never plausible: skipped without
        // decoding.
        if (std::all_of(slot, slot + ModelWidth, [](char c) { return c == 0 || c == ' '; }))
            return true;
        const BearingRecord record = decodeBearing(slot);
        const QString key = duplicateKey(record.Model);
        if (keys.contains(key) || !isPlausible(record))
            return true;
        if (result.targetCount >= MaxRecords) {
            result.stopped = fileError(targetPath,
                QStringLiteral("记录数已达上限 %1，合并在源文件第 %2 个记录处停止")
                    .arg(MaxRecords)
                    .arg(sourceNo));
            return false;
        }
        // The record goes over unchanged, byte for byte.
        accepted.append(slot, BearingData);
        accepted.append(BearingSlot - BearingData, ' ');
        keys.insert(key);
        ++result.targetCount;
        ++result.added;
        return true;
    }

    // The source's records in record order, read a chunk at a time.
    void run(const QString &sourcePath, const QString &targetPath)
    {
        const qint64 sourceSlots = source.size() / BearingSlot;
        while (sourceNo < sourceSlots) {
            const qint64 chunkCount = std::min(ChunkSlots, sourceSlots - sourceNo);
            const QByteArray chunk = source.read(chunkCount * BearingSlot);
            if (chunk.size() != chunkCount * BearingSlot) {
                result.stopped = fileError(sourcePath, Reason::readFailed(), source.errorString());
                return;
            }
            for (qint64 i = 0; i < chunkCount; ++i) {
                if (!take(chunk.constData() + i * BearingSlot, targetPath))
                    return;
            }
        }
    }
};

} // namespace

bool isPlausible(const BearingRecord &r)
{
    // Written so that NaN fails every test. A model whose bytes are not GBK decodes with
    // replacement characters: it could not be typed, and a rewrite from its text would change it.
    return !isBlankModel(r.Model) && !r.Model.contains(QChar::ReplacementCharacter) && r.Type <= 4
        && r.e >= 0 && r.e < 1 && r.Cr > 1 && r.Cr < 20000 && r.Y1 >= 0 && r.Y1 < 10 && r.Y2 >= 0
        && r.Y2 < 10;
}

QString duplicateKey(const QString &model)
{
    return Conv::trimRight(Conv::fitText(model, ModelWidth)).toCaseFolded();
}

Result<qint64> countBearingRecords(const QString &path)
{
    return RecordFiles::countRecords(path, BearingSlot);
}

Result<std::optional<MergeResult>> mergeBearingFiles(
    const QString &sourcePath, const QString &targetPath)
{
    if (sourcePath.isEmpty() || !QFileInfo(sourcePath).isFile())
        return std::optional<MergeResult>();
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return fileError(sourcePath, Reason::cannotOpen(), source.errorString());

    // The whole merge runs inside the target's lock: its records are read there (at most
    // MaxRecords of them, whatever the file's size), so records another copy of the program adds
    // meanwhile are neither lost nor duplicated.
    MergeResult result;
    const Result<RecordFiles::WriteNote> written = RecordFiles::modifyBearingFile(
        targetPath, [&](const QByteArray &slotBytes, qint64 wholeSlots) -> QByteArray {
            result.targetCount = wholeSlots;
            if (wholeSlots >= MaxRecords) {
                // Nothing can be added: the source is not read at all.
                result.stopped = fileError(targetPath, Reason::recordLimit());
                return {};
            }
            SourceWalk walk { source, targetKeys(slotBytes), result, {}, 0 };
            walk.run(sourcePath, targetPath);
            // The target's whole records followed by the accepted ones replace the target in one
            // step, so a failure or a crash leaves the old target or the merged one, never a part
            // of the merge. Nothing accepted: nothing is written.
            return walk.accepted.isEmpty() ? QByteArray() : QByteArray(slotBytes + walk.accepted);
        });
    if (!written)
        return written.error(); // the target is as it was
    if (written->kept())
        result.note = written->text();
    return std::optional<MergeResult>(result);
}

QString targetCountText(qint64 targetCount)
{
    return QStringLiteral("目标文件中有 ") + QString::number(targetCount)
        + QStringLiteral(" 个记录");
}

QString mergeResultText(qint64 targetCount, int added)
{
    return targetCountText(targetCount) + QStringLiteral("  新增 ") + QString::number(added)
        + QStringLiteral(" 个记录");
}

} // namespace Combiner
