#include "catalogue/combiner.h"

#include "calc/conversions.h"
#include "records/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

using namespace RecordLayout;

namespace Combiner {

namespace {

// Bytes of a bearing record's data; the rest of a slot is written as blanks.
constexpr int BearingData = 35;
// Source slotBytes read per call.
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
    // Written so that NaN fails every test. A model whose bytes are not GBK decodes with
    // replacement characters: it could not be typed, and a rewrite from its text would change it.
    return !isBlankModel(r.Model) && !r.Model.contains(QChar::ReplacementCharacter) && r.Type <= 4
        && r.e >= 0 && r.e < 1 && r.Cr > 1 && r.Cr < 20000 && r.Y1 >= 0 && r.Y1 < 10 && r.Y2 >= 0
        && r.Y2 < 10;
}

QString modelKey(const QString &model)
{
    return Conv::trimRight(Conv::fitText(model, ModelWidth)).toCaseFolded();
}

qint64 countBearingRecords(const QString &path, StoreError &error)
{
    error = StoreError();
    // A missing file is created empty, never through a link (a dangling link is refused).
    QString target;
    if (!SafeFile::resolve(path, target, error))
        return -1;
    const QFileInfo info(target);
    if (info.exists() && !info.isFile()) {
        error = failure(path, QStringLiteral("不是一个文件"));
        return -1;
    }
    if (!info.exists()) {
        const int fd = ::open(QFile::encodeName(target).constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            error = failure(
                path, QStringLiteral("无法创建文件"), QString::fromLocal8Bit(std::strerror(errno)));
            return -1;
        }
        ::close(fd);
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

    // The whole merge runs inside the target's lock: its records are read there (at most
    // MaxRecords of them, whatever the file's size), so records another copy of the program adds
    // meanwhile are neither lost nor duplicated.
    qint64 targetWhole = 0;
    StoreError stopped; // why the merge stopped early; the records accepted before are written
    RecordFiles::WriteNote note;
    StoreError writeError;
    const bool ran = RecordFiles::modifyBearingFile(
        targetPath,
        [&](const QByteArray &slotBytes, qint64 wholeSlots, QByteArray &out, StoreError &err) {
            targetWhole = wholeSlots;
            result.merged = true;
            result.targetCount = wholeSlots;
            if (wholeSlots >= MaxRecords) {
                // Nothing can be added: the source is not read at all.
                err = failure(targetPath,
                    QStringLiteral("记录数已达上限 %1，不能再添加记录").arg(MaxRecords));
                return false;
            }
            const qint64 count = slotBytes.size() / BearingSlot;
            QSet<QString> models;
            models.reserve(count * 2);
            for (qint64 i = 0; i < count; ++i)
                models.insert(
                    modelKey(decodeText(slotBytes.constData() + i * BearingSlot, ModelWidth)));

            // Source records in record order, read a chunk at a time; the accepted ones collect in
            // one block, which stays below the record limit.
            QByteArray accepted;
            const qint64 sourceSlots = source.size() / BearingSlot;
            qint64 sourceNo = 0;
            bool full = false;
            while (!full && sourceNo < sourceSlots) {
                const qint64 chunkCount = std::min(ChunkSlots, sourceSlots - sourceNo);
                const QByteArray chunk = source.read(chunkCount * BearingSlot);
                if (chunk.size() != chunkCount * BearingSlot) {
                    stopped = failure(sourcePath, QStringLiteral("读取失败"), source.errorString());
                    break;
                }
                for (qint64 i = 0; i < chunkCount; ++i) {
                    ++sourceNo;
                    const char *slot = chunk.constData() + i * BearingSlot;
                    // A blank model (a zero-filled or sparse stretch) is never plausible: skipped
                    // without decoding.
                    if (std::all_of(
                            slot, slot + ModelWidth, [](char c) { return c == 0 || c == ' '; }))
                        continue;
                    const BearingRecord record = decodeBearing(slot);
                    const QString key = modelKey(record.Model);
                    if (models.contains(key) || !isPlausible(record))
                        continue;
                    if (result.targetCount >= MaxRecords) {
                        stopped = failure(targetPath,
                            QStringLiteral("记录数已达上限 %1，合并在源文件第 %2 个记录处停止")
                                .arg(MaxRecords)
                                .arg(sourceNo));
                        full = true;
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
            // The target's whole records followed by the accepted ones replace the target in one
            // step, so a failure or a crash leaves the old target or the merged one, never a part
            // of the merge. Nothing accepted: nothing is written.
            if (!accepted.isEmpty())
                out = slotBytes + accepted;
            return true;
        },
        writeError, &note);
    if (!ran) {
        // Either the target could not be read or locked, it is full, or the write failed: the
        // target is as it was.
        result.targetCount = targetWhole;
        result.added = 0;
        result.error = writeError;
        return result;
    }
    result.error = stopped;
    if (note.kept())
        result.note = note.text();
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
