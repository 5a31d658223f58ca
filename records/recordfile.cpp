#include "records/recordfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace RecordLayout;

QString StoreError::text() const
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

// Writes all of bytes at the current position. A short write is followed by another attempt at the
// rest, which then fails with the reason (QFile sets no error for a short write).
bool writeAll(QFile &file, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return file.flush();
}

// Qt reports ENOSPC as a resource error.
QString writeFailure(const QFile &file)
{
    return file.error() == QFileDevice::ResourceError ? QStringLiteral("磁盘已满")
                                                      : QStringLiteral("写入失败");
}

QString limitReason()
{
    return QStringLiteral("记录数已达上限 %1，不能再添加记录").arg(MaxRecords);
}

// Opens a record file for reading, or for reading and writing. A missing file is created empty;
// anything that exists but is not a plain file (a directory, a device) is refused.
bool openRecordFile(QFile &file, bool forWriting, StoreError &error)
{
    const QString path = file.fileName();
    const QFileInfo info(path);
    const bool exists = info.exists();
    if (exists && !info.isFile())
        return fail(error, path, QStringLiteral("不是一个文件"));
    QIODevice::OpenMode mode = QIODevice::Unbuffered;
    mode |= forWriting || !exists ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    if (!file.open(mode)) {
        return fail(error, path,
            exists ? QStringLiteral("无法打开文件") : QStringLiteral("无法创建文件"),
            file.errorString());
    }
    return true;
}

// The start of an open record file, read in one call: its whole slots, at most MaxRecords.
struct SlotGrid
{
    int slotSize = 0;
    QByteArray bytes;
    qint64 fileSize = 0;
    qint64 wholeSlots = 0; // in the whole file, may exceed MaxRecords
    int count = 0; // slots held in bytes
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

bool replaceContent(
    const QString &path, const QString &scratchName, const QByteArray &bytes, StoreError &error);

// The scratch file that a record file is replaced through: temp.sav for bearing.sav, gear.tmp for
// gear.sav.
QString scratchFor(int slotSize)
{
    return slotSize == ShaftSlot ? QStringLiteral("gear.tmp") : QStringLiteral("temp.sav");
}

// Appends slot after the whole slots of an open file, which grid holds. The file is replaced by
// those slots and the new one (a torn tail is left out): written in place, a slot that a crash
// cut short would stay in the file as a torn tail.
bool appendSlot(QFile &file, const SlotGrid &grid, const QByteArray &slot, StoreError &error)
{
    if (grid.wholeSlots >= MaxRecords)
        return fail(error, file.fileName(), limitReason());
    file.close();
    return replaceContent(file.fileName(), scratchFor(grid.slotSize), grid.bytes + slot, error);
}

bool appendRecordSlot(const QString &path, const QByteArray &slot, StoreError &error)
{
    QFile file(path);
    SlotGrid grid;
    return openRecordFile(file, true, error) && readSlots(file, int(slot.size()), grid, error)
        && appendSlot(file, grid, slot, error);
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
    if (!openRecordFile(file, false, error))
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
int findKey(const SlotGrid &grid, const QString &key, int width)
{
    const QString wanted = fitField(key, width);
    for (int i = 0; i < grid.count; ++i) {
        const char *field = grid.bytes.constData() + qsizetype(i) * grid.slotSize;
        // A plain ASCII field reads as itself: compare it without building a string.
        const bool ascii = std::all_of(
            field, field + width, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii ? QLatin1StringView(field, width) == wanted : decodeText(field, width) == wanted)
            return i;
    }
    return -1;
}

#ifdef Q_OS_UNIX
// Makes a rename in dir survive a power cut; failure here changes nothing the user can see.
void syncDirectory(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

// Replaces the file at path by bytes: writes them to the scratch file beside it, flushes that to
// disk and renames it over the target, so a failure or a crash leaves either the old or the new
// file whole. Failures name the target (the scratch file when that is what stands in the way).
bool replaceContent(
    const QString &path, const QString &scratchName, const QByteArray &bytes, StoreError &error)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return fail(error, path, QStringLiteral("不是一个文件"));
    if (target.exists() && !target.isWritable())
        return fail(error, path, QStringLiteral("文件是只读的"));

    // The scratch file lies beside the target so the rename stays on one file system.
    const QString temp = target.absoluteDir().filePath(scratchName);
    const QFileInfo tempInfo(temp);
    if (tempInfo.exists() && !tempInfo.isFile())
        return fail(error, temp, QStringLiteral("不是一个文件"));

    QFile file(temp);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return fail(error, path, QStringLiteral("无法创建临时文件 ") + scratchName,
            file.errorString());
    bool written = writeAll(file, bytes);
    QString reason;
    QString detail;
    if (!written) {
        reason = writeFailure(file);
        detail = file.errorString();
    }
#ifdef Q_OS_UNIX
    if (written && ::fsync(file.handle()) != 0) {
        written = false;
        reason = errno == ENOSPC ? QStringLiteral("磁盘已满") : QStringLiteral("写入失败");
        detail = QString::fromLocal8Bit(std::strerror(errno));
    }
#endif
    file.close();
    if (!written) {
        QFile::remove(temp);
        return fail(error, path, reason, detail);
    }

    // rename() replaces the target in one step: a reader sees either the old or the new file.
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData())
        != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temp);
        return fail(error, path, QStringLiteral("无法替换文件"), why);
    }
#ifdef Q_OS_UNIX
    syncDirectory(target.absolutePath());
#endif
    return true;
}

} // namespace

namespace RecordFiles {

namespace {

// The folders a package installs the program to: record files never go there, root or not.
bool isInstallDirectory(const QString &dir)
{
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    for (const char *installed : {TOLVENAR_INSTALL_BINDIR, "/usr/bin", "/usr/local/bin", "/bin"}) {
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

bool appendShaftRecord(const QString &path, const ShaftRecord &record, StoreError &error)
{
    error = StoreError();
    return appendRecordSlot(path, encodeShaft(record), error);
}

bool appendBearingRecord(const QString &path, const BearingRecord &record, StoreError &error)
{
    error = StoreError();
    return appendRecordSlot(path, encodeBearing(record), error);
}

bool replaceShaftRecord(
    const QString &path, int recordNo, const ShaftRecord &record, StoreError &error)
{
    error = StoreError();
    QFile file(path);
    if (!openRecordFile(file, true, error))
        return false;
    const qint64 whole = std::min<qint64>(file.size() / ShaftSlot, MaxRecords);
    if (recordNo < 1 || recordNo > whole)
        return fail(error, path,
            QStringLiteral("记录号 %1 超出范围（共 %2 条记录）").arg(recordNo).arg(whole));
    // The file is replaced by its whole slots with the new one in place of record recordNo: a slot
    // overwritten in place could be left half old, half new by a crash.
    QByteArray bytes = file.read(file.size() / ShaftSlot * ShaftSlot);
    if (bytes.size() < qint64(recordNo) * ShaftSlot)
        return fail(error, path, QStringLiteral("读取失败"), file.errorString());
    bytes.truncate(bytes.size() / ShaftSlot * ShaftSlot);
    bytes.replace(qsizetype(recordNo - 1) * ShaftSlot, ShaftSlot, encodeShaft(record));
    file.close();
    return replaceContent(path, scratchFor(ShaftSlot), bytes, error);
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
    error = StoreError();
    if (bytes.size() % BearingSlot != 0)
        return fail(error, path, QStringLiteral("记录不完整"));
    if (bytes.size() / BearingSlot > MaxRecords)
        return fail(error, path, QStringLiteral("记录数超过上限 %1").arg(MaxRecords));
    return replaceContent(path, scratchFor(BearingSlot), bytes, error);
}

bool keysEqual(const QString &a, const QString &b, int width)
{
    return fitField(a, width) == fitField(b, width);
}

} // namespace RecordFiles

namespace Module1 {

namespace {

// Reads the whole grid of a record file; on failure fills *error (when given).
bool scan(const QString &path, int slotSize, QFile &file, SlotGrid &grid, bool forWriting,
    StoreError *error)
{
    StoreError local;
    StoreError &err = error ? *error : local;
    err = StoreError();
    file.setFileName(path);
    return openRecordFile(file, forWriting, err) && readSlots(file, slotSize, grid, err);
}

} // namespace

BearingRecord FindBearingRecord(const QString &key, StoreError *error)
{
    QFile file;
    SlotGrid grid;
    if (!scan(RecordFiles::bearingPath(), BearingSlot, file, grid, false, error))
        return BearingRecord();
    const int i = findKey(grid, key, ModelWidth);
    if (i < 0)
        return BearingRecord();
    return decodeBearing(grid.bytes.constData() + qsizetype(i) * BearingSlot);
}

ShaftRecord FindShaftRecord(const QString &key, StoreError *error)
{
    QFile file;
    SlotGrid grid;
    if (!scan(RecordFiles::gearPath(), ShaftSlot, file, grid, false, error))
        return ShaftRecord();
    const int i = findKey(grid, key, ShaftNoWidth);
    if (i < 0)
        return ShaftRecord();
    return decodeShaft(grid.bytes.constData() + qsizetype(i) * ShaftSlot);
}

bool AppendBearingRecord(const QString &model, std::uint8_t type, float e, float Y1, float Y2,
    float Cr, StoreError *error)
{
    BearingRecord record;
    record.Model = fitField(model, ModelWidth);
    record.Type = type;
    record.e = e;
    record.Y1 = Y1;
    record.Y2 = Y2;
    record.Cr = Cr;

    QFile file;
    SlotGrid grid;
    StoreError local;
    StoreError &err = error ? *error : local;
    if (!scan(RecordFiles::bearingPath(), BearingSlot, file, grid, true, &err))
        return false;
    if (findKey(grid, record.Model, ModelWidth) >= 0)
        return false;
    return appendSlot(file, grid, encodeBearing(record), err);
}

} // namespace Module1
