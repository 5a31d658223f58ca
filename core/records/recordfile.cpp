#include "records/recordfile.h"

#include "records/safefile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace RecordLayout;

QString FileError::text() const
{
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
}

namespace {

QString &appDirectoryOverride()
{
    static QString dir;
    return dir;
}

QString reasonText(const QString &reason, const QString &detail)
{
    if (detail.isEmpty())
        return reason;
    return reason + QStringLiteral("（") + detail + QStringLiteral("）");
}

bool fail(StoreError &error, const QString &path, const QString &reason,
    const QString &detail = QString())
{
    error.path = path;
    error.reason = reasonText(reason, detail);
    return false;
}

QString limitReason()
{
    return QStringLiteral("记录数已达上限 %1，不能再添加记录").arg(MaxRecords);
}

// Opens a record file for reading. A missing file is created empty (never through a link: a
// dangling link is refused); anything that exists but is not a plain file (a directory, a device)
// is refused.
bool openRecordFile(QFile &file, StoreError &error)
{
    const QString path = file.fileName();
    QString target;
    if (!SafeFile::resolve(path, target, error))
        return false;
    const QFileInfo info(target);
    const bool exists = info.exists();
    if (exists && !info.isFile())
        return fail(error, path, QStringLiteral("不是一个文件"));
    if (!exists) {
        const int fd = ::open(QFile::encodeName(target).constData(),
            O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0)
            return fail(error, path, QStringLiteral("无法创建文件"),
                QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
    }
    file.setFileName(target);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(error, path, QStringLiteral("无法打开文件"), file.errorString());
    return true;
}

// The start of an open record file, read in one call: its whole slotBytes, at most MaxRecords.
struct SlotGrid
{
    int slotSize = 0;
    QByteArray bytes;
    qint64 fileSize = 0;
    qint64 wholeSlots = 0; // in the whole file, may exceed MaxRecords
    int count = 0; // slotBytes held in bytes
    bool complete() const { return fileSize == wholeSlots * slotSize && wholeSlots <= MaxRecords; }
};

bool readSlots(QFile &file, int slotSize, SlotGrid &out, StoreError &error)
{
    out.slotSize = slotSize;
    out.fileSize = file.size();
    out.wholeSlots = out.fileSize / slotSize;
    const qint64 wanted = std::min<qint64>(out.wholeSlots, MaxRecords) * slotSize;
    out.bytes.resize(wanted);
    qint64 got = 0;
    if (wanted > 0) {
        got = file.read(out.bytes.data(), wanted);
        if (got < 0)
            return fail(error, file.fileName(), QStringLiteral("读取失败"), file.errorString());
    }
    if (got < wanted) {
        // The file got shorter between size() and read(): keep what is there.
        out.fileSize = got;
        out.wholeSlots = got / slotSize;
        out.bytes.truncate(out.wholeSlots * slotSize);
    }
    out.count = static_cast<int>(out.bytes.size() / slotSize);
    return true;
}

QByteArray fingerprintOf(qint64 size, const QByteArray &slotBytes)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::number(size).append(':'));
    hash.addData(slotBytes);
    return hash.result();
}

// The scratch file that a record file is replaced through: temp.sav for bearing.sav, gear.tmp for
// gear.sav.
QString scratchFor(int slotSize)
{
    return slotSize == ShaftSlot ? QStringLiteral("gear.tmp") : QStringLiteral("temp.sav");
}

// A record file as its writer finds it inside the lock.
struct Current
{
    QByteArray slotBytes; // whole slotBytes, at most the number the writer asked for
    qint64 size = 0;
    qint64 wholeSlots = 0;
    bool created = false; // it was missing
    int count(int slotSize) const { return int(slotBytes.size() / slotSize); }
};

// What the writer makes of it.
struct Change
{
    bool write = false;
    QByteArray content;
    bool backup = false; // keep the old bytes in the backup even without a torn tail
};

using Modify = std::function<bool(const Current &, Change &, StoreError &)>;

// The read-modify-replace of every record-file writer: resolves a link to its target, locks the
// target against other writers, reads at most maxSlots of it, lets modify decide the new content,
// keeps the old bytes in the backup when a torn tail is dropped (or modify asks for it), and
// replaces the file. Errors name path, the file the user knows.
bool modifyRecordFile(const QString &path, int slotSize, qint64 maxSlots, const Modify &modify,
    StoreError &error, RecordFiles::WriteNote *note)
{
    error = StoreError();
    if (note)
        *note = RecordFiles::WriteNote();
    const auto named = [&] {
        error.path = path;
        return false;
    };
    QString target;
    if (!SafeFile::resolve(path, target, error))
        return false;
    SafeFile::Lock lock;
    if (!lock.acquire(target, error))
        return named();
    Current current;
    current.created = lock.created();
    current.size = lock.size();
    current.wholeSlots = current.size / slotSize;
    const qint64 wanted = std::min(current.wholeSlots, maxSlots) * slotSize;
    if (!lock.read(0, wanted, current.slotBytes, error))
        return named();
    current.slotBytes.truncate(current.slotBytes.size() / slotSize * slotSize);

    Change change;
    if (!modify(current, change, error))
        return named();
    if (!change.write)
        return true;

    const qint64 torn = current.size % slotSize;
    if (torn != 0 || change.backup) {
        const QString backup = RecordFiles::backupPathFor(path);
        // The backup lies beside the name the user knows (for a linked catalogue: in the user's
        // folder, not in the shared one). Its name is the program's own: a link standing there is
        // replaced, not followed.
        SafeFile::Rules rules;
        rules.scratchName = scratchFor(slotSize);
        rules.followLinks = false;
        if (!SafeFile::copyFrom(lock.handle(), backup, rules, error))
            return false;
        if (note) {
            note->path = path;
            note->backupPath = backup;
            note->tornBytes = torn;
        }
    }
    SafeFile::Rules rules;
    rules.scratchName = scratchFor(slotSize);
    if (!SafeFile::replace(target, change.content, rules, error))
        return named();
    return true;
}

bool appendRecordSlot(
    const QString &path, const QByteArray &slot, StoreError &error, RecordFiles::WriteNote *note)
{
    const int slotSize = int(slot.size());
    return modifyRecordFile(
        path, slotSize, MaxRecords,
        [&](const Current &current, Change &change, StoreError &err) {
            if (current.wholeSlots >= MaxRecords)
                return fail(err, path, limitReason());
            change.write = true;
            change.content = current.slotBytes + slot;
            return true;
        },
        error, note);
}

template <typename Record, typename Decode>
bool readRecords(const QString &path, int slotSize, Decode decode, QList<Record> &out,
    StoreError &error, bool *complete)
{
    out.clear();
    error = StoreError();
    if (complete)
        *complete = false;
    QFile file(path);
    if (!openRecordFile(file, error))
        return false;
    SlotGrid grid;
    if (!readSlots(file, slotSize, grid, error))
        return false;
    out.reserve(grid.count);
    const char *data = grid.bytes.constData();
    for (int i = 0; i < grid.count; ++i)
        out.append(decode(data + qsizetype(i) * slotSize));
    if (complete)
        *complete = grid.complete();
    return true;
}

// Index of the first slot whose key field (at offset 0, width bytes) equals key, or -1.
int findKey(const QByteArray &slotBytes, int slotSize, const QString &key, int width)
{
    const QString wanted = fitField(key, width);
    const qsizetype count = slotBytes.size() / slotSize;
    for (qsizetype i = 0; i < count; ++i) {
        const char *field = slotBytes.constData() + i * slotSize;
        // A plain ASCII field reads as itself: compare it without building a string.
        const bool ascii = std::all_of(
            field, field + width, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii ? QLatin1StringView(field, width) == wanted : decodeText(field, width) == wanted)
            return int(i);
    }
    return -1;
}

} // namespace

namespace RecordFiles {

namespace {

// The folders a package installs the program to: record files never go there, root or not.
bool isInstallDirectory(const QString &dir)
{
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    for (const char *installed :
        { TOLVENAR_INSTALL_BINDIR, "/usr/bin", "/usr/local/bin", "/bin" }) {
        if (canonical == QFileInfo(QString::fromUtf8(installed)).canonicalFilePath())
            return true;
    }
    return false;
}

} // namespace

QString appDirectory()
{
    if (!appDirectoryOverride().isEmpty())
        return appDirectoryOverride();
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable() && !isInstallDirectory(exeDir))
        return exeDir;
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);
    return dataDir;
}

void setAppDirectory(const QString &dir)
{
    appDirectoryOverride() = dir;
}

QString gearPath()
{
    return QDir(appDirectory()).filePath(QStringLiteral("gear.sav"));
}

QString bearingPath()
{
    return QDir(appDirectory()).filePath(QStringLiteral("bearing.sav"));
}

QString tempPath()
{
    return QDir(appDirectory()).filePath(QStringLiteral("temp.sav"));
}

bool readShaftRecords(
    const QString &path, QList<ShaftRecord> &out, StoreError &error, bool *complete)
{
    return readRecords(path, ShaftSlot, decodeShaft, out, error, complete);
}

bool readBearingRecords(
    const QString &path, QList<BearingRecord> &out, StoreError &error, bool *complete)
{
    return readRecords(path, BearingSlot, decodeBearing, out, error, complete);
}

QString WriteNote::text() const
{
    if (!kept())
        return QString();
    const QString name = QFileInfo(path).fileName();
    const QString kept = QStringLiteral("原文件已保存为 ") + QDir::toNativeSeparators(backupPath);
    if (tornBytes == 0)
        return name + QStringLiteral(": ") + kept;
    return name + QStringLiteral(" 末尾有 %1 个字节不是完整记录，已删去；").arg(tornBytes) + kept;
}

QString backupPathFor(const QString &path)
{
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".bak"));
}

QByteArray fingerprint(qint64 size, const QByteArray &slotBytes)
{
    return fingerprintOf(size, slotBytes);
}

bool readSnapshot(const QString &path, int slotSize, Snapshot &out, StoreError &error)
{
    out = Snapshot();
    error = StoreError();
    QFile file(path);
    SlotGrid grid;
    if (!openRecordFile(file, error) || !readSlots(file, slotSize, grid, error))
        return false;
    out.slotBytes = grid.bytes;
    out.size = grid.fileSize;
    out.wholeSlots = grid.wholeSlots;
    out.fingerprint = fingerprintOf(out.size, out.slotBytes);
    return true;
}

bool appendShaftRecord(
    const QString &path, const ShaftRecord &record, StoreError &error, WriteNote *note)
{
    return appendRecordSlot(path, encodeShaft(record), error, note);
}

bool appendBearingRecord(
    const QString &path, const BearingRecord &record, StoreError &error, WriteNote *note)
{
    return appendRecordSlot(path, encodeBearing(record), error, note);
}

bool replaceShaftRecord(const QString &path, int recordNo, const ShaftRecord &record,
    StoreError &error, WriteNote *note)
{
    // The whole file is read (records beyond MaxRecords stay) and replaced with the new slot in
    // place of record recordNo: a slot overwritten in place could be left half old, half new by a
    // crash.
    return modifyRecordFile(
        path, ShaftSlot, std::numeric_limits<qint64>::max(),
        [&](const Current &current, Change &change, StoreError &err) {
            const qint64 whole = std::min<qint64>(current.wholeSlots, MaxRecords);
            if (recordNo < 1 || recordNo > whole)
                return fail(err, path,
                    QStringLiteral("记录号 %1 超出范围（共 %2 条记录）").arg(recordNo).arg(whole));
            change.write = true;
            change.content = current.slotBytes;
            change.content.replace(
                qsizetype(recordNo - 1) * ShaftSlot, ShaftSlot, encodeShaft(record));
            return true;
        },
        error, note);
}

bool storeShaftRecord(const QString &path, const ShaftRecord &record, bool mayReplace,
    int &recordNo, bool &inUse, StoreError &error, WriteNote *note)
{
    recordNo = 0;
    inUse = false;
    return modifyRecordFile(
        path, ShaftSlot, std::numeric_limits<qint64>::max(),
        [&](const Current &current, Change &change, StoreError &err) {
            const QByteArray known = current.slotBytes.left(qsizetype(MaxRecords) * ShaftSlot);
            const int found = findKey(known, ShaftSlot, record.ShaftNo, ShaftNoWidth);
            inUse = found >= 0;
            if (inUse && !mayReplace)
                return true;
            change.content = current.slotBytes;
            if (found >= 0) {
                change.content.replace(
                    qsizetype(found) * ShaftSlot, ShaftSlot, encodeShaft(record));
                recordNo = found + 1;
            } else {
                if (current.wholeSlots >= MaxRecords)
                    return fail(err, path, limitReason());
                change.content += encodeShaft(record);
                recordNo = int(current.wholeSlots) + 1;
            }
            change.write = true;
            return true;
        },
        error, note);
}

bool rewriteBearingFile(const QString &path, const QList<BearingRecord> &records, StoreError &error)
{
    error = StoreError();
    if (records.size() > MaxRecords)
        return fail(error, path, QStringLiteral("记录数超过上限 %1").arg(MaxRecords));
    QByteArray bytes;
    bytes.reserve(qsizetype(records.size()) * BearingSlot);
    for (const BearingRecord &record : records)
        bytes += encodeBearing(record);
    return rewriteBearingSlots(path, bytes, error);
}

bool rewriteBearingSlots(const QString &path, const QByteArray &bytes, StoreError &error)
{
    bool changed = false;
    return rewriteBearingSlotsIfUnchanged(path, bytes, QByteArray(), false, changed, error);
}

bool rewriteBearingSlotsIfUnchanged(const QString &path, const QByteArray &bytes,
    const QByteArray &fingerprint, bool backup, bool &changed, StoreError &error, WriteNote *note)
{
    error = StoreError();
    changed = false;
    if (bytes.size() % BearingSlot != 0)
        return fail(error, path, QStringLiteral("记录不完整"));
    if (bytes.size() / BearingSlot > MaxRecords)
        return fail(error, path, QStringLiteral("记录数超过上限 %1").arg(MaxRecords));
    return modifyRecordFile(
        path, BearingSlot, MaxRecords,
        [&](const Current &current, Change &change, StoreError &) {
            if (!fingerprint.isEmpty() && !current.created
                && fingerprintOf(current.size, current.slotBytes) != fingerprint) {
                changed = true;
                return true;
            }
            change.write = true;
            change.backup = backup && !current.created;
            change.content = bytes;
            return true;
        },
        error, note);
}

bool modifyBearingFile(
    const QString &path, const BearingChange &change, StoreError &error, WriteNote *note)
{
    return modifyRecordFile(
        path, BearingSlot, MaxRecords,
        [&](const Current &current, Change &out, StoreError &err) {
            if (!change(current.slotBytes, current.wholeSlots, out.content, err))
                return false;
            out.write = !out.content.isEmpty();
            return true;
        },
        error, note);
}

bool keysEqual(const QString &a, const QString &b, int width)
{
    return fitField(a, width) == fitField(b, width);
}

} // namespace RecordFiles

namespace Module1 {

namespace {

// Reads the whole grid of a record file; on failure fills *error (when given).
bool scan(const QString &path, int slotSize, QFile &file, SlotGrid &grid, StoreError *error)
{
    StoreError local;
    StoreError &err = error ? *error : local;
    err = StoreError();
    file.setFileName(path);
    return openRecordFile(file, err) && readSlots(file, slotSize, grid, err);
}

} // namespace

BearingRecord FindBearingRecord(const QString &key, StoreError *error)
{
    QFile file;
    SlotGrid grid;
    if (!scan(RecordFiles::bearingPath(), BearingSlot, file, grid, error))
        return BearingRecord();
    const int i = findKey(grid.bytes, BearingSlot, key, ModelWidth);
    if (i < 0)
        return BearingRecord();
    return decodeBearing(grid.bytes.constData() + qsizetype(i) * BearingSlot);
}

ShaftRecord FindShaftRecord(const QString &key, StoreError *error)
{
    QFile file;
    SlotGrid grid;
    if (!scan(RecordFiles::gearPath(), ShaftSlot, file, grid, error))
        return ShaftRecord();
    const int i = findKey(grid.bytes, ShaftSlot, key, ShaftNoWidth);
    if (i < 0)
        return ShaftRecord();
    return decodeShaft(grid.bytes.constData() + qsizetype(i) * ShaftSlot);
}

bool AppendBearingRecord(const QString &model, std::uint8_t type, float e, float Y1, float Y2,
    float Cr, StoreError *error, RecordFiles::WriteNote *note)
{
    BearingRecord record;
    record.Model = fitField(model, ModelWidth);
    record.Type = type;
    record.e = e;
    record.Y1 = Y1;
    record.Y2 = Y2;
    record.Cr = Cr;

    StoreError local;
    StoreError &err = error ? *error : local;
    bool appended = false;
    // The model is looked for in the file as it is inside the lock, so that a copy of the program
    // adding the same model meanwhile is seen.
    RecordFiles::modifyBearingFile(
        RecordFiles::bearingPath(),
        [&](const QByteArray &slotBytes, qint64 wholeSlots, QByteArray &out, StoreError &e2) {
            if (findKey(slotBytes, BearingSlot, record.Model, ModelWidth) >= 0)
                return true;
            if (wholeSlots >= MaxRecords)
                return fail(e2, RecordFiles::bearingPath(), limitReason());
            out = slotBytes + encodeBearing(record);
            appended = true;
            return true;
        },
        err, note);
    return appended && !err.failed();
}

} // namespace Module1
