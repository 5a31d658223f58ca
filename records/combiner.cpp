#include "records/combiner.h"

#include "calc/conversions.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

using namespace RecordLayout;

namespace Combiner {

namespace {

// Bytes of a bearing record's data; the rest of a slot is written as blanks.
constexpr int BearingData = 35;
// Source slots read per call.
constexpr qint64 ChunkSlots = 4096;

StoreError failure(const QString &path, const QString &reason, const QString &detail = QString())
{
    StoreError error;
    error.path = path;
    error.reason
        = detail.isEmpty() ? reason : reason + QStringLiteral("（") + detail + QStringLiteral("）");
    return error;
}

bool isBlankModel(const QString &model)
{
    // A zero-filled slot carries NUL bytes where a model would be.
    return std::all_of(
        model.begin(), model.end(), [](QChar c) { return c.isSpace() || c.unicode() == 0; });
}

} // namespace

bool isPlausible(const BearingRecord &r)
{
    // Written so that NaN fails every test.
    return !isBlankModel(r.Model) && r.Type <= 4 && r.e >= 0 && r.e < 1 && r.Cr > 1 && r.Cr < 20000
        && r.Y1 >= 0 && r.Y1 < 10 && r.Y2 >= 0 && r.Y2 < 10;
}

QString modelKey(const QString &model)
{
    return Conv::trimRight(Conv::fitText(model, ModelWidth)).toCaseFolded();
}

qint64 countBearingRecords(const QString &path, StoreError &error)
{
    error = StoreError();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        error = failure(path, QStringLiteral("不是一个文件"));
        return -1;
    }
    if (!info.exists()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite)) {
            error = failure(path, QStringLiteral("无法创建文件"), file.errorString());
            return -1;
        }
        return 0;
    }
    return info.size() / BearingSlot;
}

MergeResult mergeBearingFiles(const QString &sourcePath, const QString &targetPath)
{
    MergeResult result;
    if (sourcePath.isEmpty() || !QFileInfo(sourcePath).isFile())
        return result;

    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        result.error = failure(sourcePath, QStringLiteral("无法打开文件"), source.errorString());
        return result;
    }
    const QFileInfo targetInfo(targetPath);
    if (targetInfo.exists() && !targetInfo.isFile()) {
        result.error = failure(targetPath, QStringLiteral("不是一个文件"));
        return result;
    }
    QFile target(targetPath);
    // Opened for writing: a missing target is created, and one that cannot be written is refused
    // before anything is read.
    if (!target.open(QIODevice::ReadWrite)) {
        result.error = failure(targetPath,
            targetInfo.exists() ? QStringLiteral("无法打开文件") : QStringLiteral("无法创建文件"),
            target.errorString());
        return result;
    }

    // The models the target holds, read once.
    const qint64 targetSize = target.size();
    const qint64 targetWhole = targetSize / BearingSlot;
    QSet<QString> models;
    models.reserve(std::min<qint64>(targetWhole, MaxRecords) * 2);
    QByteArray merged = target.read(targetWhole * BearingSlot);
    if (merged.size() != targetWhole * BearingSlot) {
        result.error = failure(targetPath, QStringLiteral("读取失败"), target.errorString());
        return result;
    }
    for (qint64 i = 0; i < targetWhole; ++i)
        models.insert(modelKey(decodeText(merged.constData() + i * BearingSlot, ModelWidth)));
    target.close();
    result.merged = true;
    result.targetCount = targetWhole;

    // Source records in record order; the accepted ones collect in one block. The source is read
    // whole before the target is written, so a source that is the target itself is read as it
    // was.
    QByteArray accepted;
    const qint64 sourceSlots = source.size() / BearingSlot;
    qint64 sourceNo = 0;
    bool stop = false;
    while (!stop && sourceNo < sourceSlots) {
        const qint64 count = std::min(ChunkSlots, sourceSlots - sourceNo);
        const QByteArray chunk = source.read(count * BearingSlot);
        if (chunk.size() != count * BearingSlot) {
            result.error = failure(sourcePath, QStringLiteral("读取失败"), source.errorString());
            break;
        }
        for (qint64 i = 0; i < count; ++i) {
            ++sourceNo;
            const char *slot = chunk.constData() + i * BearingSlot;
            const BearingRecord record = decodeBearing(slot);
            const QString key = modelKey(record.Model);
            if (models.contains(key) || !isPlausible(record))
                continue;
            if (result.targetCount >= MaxRecords) {
                result.error = failure(targetPath,
                    QStringLiteral("记录数已达上限 %1，合并在源文件第 %2 个记录处停止")
                        .arg(MaxRecords)
                        .arg(sourceNo));
                stop = true;
                break;
            }
            // The record goes over unchanged, byte for byte.
            accepted.append(slot, BearingData);
            accepted.append(BearingSlot - BearingData, ' ');
            models.insert(key);
            ++result.targetCount;
            ++result.added;
        }
    }
    if (accepted.isEmpty()) {
        result.targetCount = targetWhole;
        return result;
    }

    // The target's whole records followed by the accepted ones replace the target in one step
    // (through temp.sav), so a failure or a crash leaves the old target or the merged one, never a
    // part of the merge. A torn tail of the target is not a record and is left out.
    merged += accepted;
    StoreError writeError;
    if (!RecordFiles::rewriteBearingSlots(targetPath, merged, writeError)) {
        result.targetCount = targetWhole;
        result.added = 0;
        result.error = writeError;
    }
    return result;
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
