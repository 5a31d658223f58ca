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

QString Reason::recordLimit()
{
    return QStringLiteral("记录数已达上限 %1，不能再添加记录").arg(MaxRecords);
}

QString Reason::overRecordLimit()
{
    return QStringLiteral("记录数超过上限 %1").arg(MaxRecords);
}

namespace {

QString &appDirectoryOverride()
{
    static QString dir;
    return dir;
}

// Opens a record file for reading. A missing file is created empty (never through a link: a
// dangling link is refused); anything that exists but is not a plain file (a directory, a device)
// is refused.
Result<> openRecordFile(QFile &file)
{
    const QString path = file.fileName();
    const Result<QString> target = SafeFile::resolve(path);
    if (!target)
        return target.error();
    const QFileInfo info(*target);
    const bool exists = info.exists();
    if (exists && !info.isFile())
        return fileError(path, Reason::notAFile());
    if (!exists) {
        const int fd = ::open(QFile::encodeName(*target).constData(),
            O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0)
            return fileError(
                path, Reason::cannotCreate(), QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
    }
    file.setFileName(*target);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fileError(path, Reason::cannotOpen(), file.errorString());
    return {};
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

Result<SlotGrid> readSlots(QFile &file, int slotSize)
{
    SlotGrid out;
    out.slotSize = slotSize;
    out.fileSize = file.size();
    out.wholeSlots = out.fileSize / slotSize;
    const qint64 wanted = std::min<qint64>(out.wholeSlots, MaxRecords) * slotSize;
    out.bytes.resize(wanted);
    qint64 got = 0;
    if (wanted > 0) {
        got = file.read(out.bytes.data(), wanted);
        if (got < 0)
            return fileError(file.fileName(), Reason::readFailed(), file.errorString());
    }
    if (got < wanted) {
        // The file got shorter between size() and read(): keep what is there.
        out.fileSize = got;
        out.wholeSlots = got / slotSize;
        out.bytes.truncate(out.wholeSlots * slotSize);
    }
    out.count = static_cast<int>(out.bytes.size() / slotSize);
    return out;
}

// Opens the record file at path and reads its grid.
Result<SlotGrid> scan(const QString &path, int slotSize)
{
    QFile file(path);
    if (Result<> opened = openRecordFile(file); !opened)
        return opened.error();
    return readSlots(file, slotSize);
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

// Fills the change, or returns the error that stops the writer.
using Modify = std::function<Result<>(const Current &, Change &)>;

// The read-modify-replace of every record-file writer: resolves a link to its target, locks the
// target against other writers, reads at most maxSlots of it, lets modify decide the new content,
// keeps the old bytes in the backup when a torn tail is dropped (or modify asks for it), and
// replaces the file. Errors name path, the file the user knows.
Result<RecordFiles::WriteNote> modifyRecordFile(
    const QString &path, int slotSize, qint64 maxSlots, const Modify &modify)
{
    const auto named = [&](FileError error) {
        error.path = path;
        return error;
    };
    const Result<QString> target = SafeFile::resolve(path);
    if (!target)
        return target.error();
    SafeFile::Lock lock;
    if (const Result<> locked = lock.acquire(*target); !locked)
        return named(locked.error());
    Current current;
    current.created = lock.created();
    current.size = lock.size();
    current.wholeSlots = current.size / slotSize;
    const qint64 wanted = std::min(current.wholeSlots, maxSlots) * slotSize;
    Result<QByteArray> read = lock.read(0, wanted);
    if (!read)
        return named(read.error());
    current.slotBytes = std::move(*read);
    current.slotBytes.truncate(current.slotBytes.size() / slotSize * slotSize);

    Change change;
    if (const Result<> modified = modify(current, change); !modified)
        return named(modified.error());
    RecordFiles::WriteNote note;
    if (!change.write)
        return note;

    const qint64 torn = current.size % slotSize;
    if (torn != 0 || change.backup) {
        const QString backup = RecordFiles::backupPathFor(path);
        // The backup lies beside the name the user knows (for a linked catalogue: in the user's
        // folder, not in the shared one). Its name is the program's own: a link standing there is
        // replaced, not followed.
        SafeFile::Rules rules;
        rules.scratchName = scratchFor(slotSize);
        rules.followLinks = false;
        if (const Result<> copied = SafeFile::copyFrom(lock.handle(), backup, rules); !copied)
            return copied.error();
        note.path = path;
        note.backupPath = backup;
        note.tornBytes = torn;
    }
    SafeFile::Rules rules;
    rules.scratchName = scratchFor(slotSize);
    if (const Result<> replaced = SafeFile::replace(*target, change.content, rules); !replaced)
        return named(replaced.error());
    return note;
}

Result<RecordFiles::WriteNote> appendRecordSlot(const QString &path, const QByteArray &slot)
{
    const int slotSize = int(slot.size());
    return modifyRecordFile(
        path, slotSize, MaxRecords, [&](const Current &current, Change &change) -> Result<> {
            if (current.wholeSlots >= MaxRecords)
                return fileError(path, Reason::recordLimit());
            change.write = true;
            change.content = current.slotBytes + slot;
            return {};
        });
}

template <typename Record, typename Decode>
Result<RecordFiles::RecordList<Record>> readRecords(
    const QString &path, int slotSize, Decode decode)
{
    const Result<SlotGrid> grid = scan(path, slotSize);
    if (!grid)
        return grid.error();
    RecordFiles::RecordList<Record> out;
    out.records.reserve(grid->count);
    const char *data = grid->bytes.constData();
    for (int i = 0; i < grid->count; ++i)
        out.records.append(decode(data + qsizetype(i) * slotSize));
    out.complete = grid->complete();
    return out;
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

Result<RecordList<ShaftRecord>> readShaftRecords(const QString &path)
{
    return readRecords<ShaftRecord>(path, ShaftSlot, decodeShaft);
}

Result<RecordList<BearingRecord>> readBearingRecords(const QString &path)
{
    return readRecords<BearingRecord>(path, BearingSlot, decodeBearing);
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

Result<Snapshot> readSnapshot(const QString &path, int slotSize)
{
    const Result<SlotGrid> grid = scan(path, slotSize);
    if (!grid)
        return grid.error();
    Snapshot out;
    out.slotBytes = grid->bytes;
    out.size = grid->fileSize;
    out.wholeSlots = grid->wholeSlots;
    return out;
}

Result<qint64> countRecords(const QString &path, int slotSize)
{
    QFile file(path);
    if (Result<> opened = openRecordFile(file); !opened)
        return opened.error();
    return file.size() / slotSize;
}

Result<WriteNote> appendShaftRecord(const QString &path, const ShaftRecord &record)
{
    return appendRecordSlot(path, encodeShaft(record));
}

Result<WriteNote> appendBearingRecord(const QString &path, const BearingRecord &record)
{
    return appendRecordSlot(path, encodeBearing(record));
}

Result<WriteNote> replaceShaftRecord(const QString &path, int recordNo, const ShaftRecord &record)
{
    // The whole file is read (records beyond MaxRecords stay) and replaced with the new slot in
    // place of record recordNo: a slot overwritten in place could be left half old, half new by a
    // crash.
    return modifyRecordFile(path, ShaftSlot, std::numeric_limits<qint64>::max(),
        [&](const Current &current, Change &change) -> Result<> {
            const qint64 whole = std::min<qint64>(current.wholeSlots, MaxRecords);
            if (recordNo < 1 || recordNo > whole)
                return fileError(path,
                    QStringLiteral("记录号 %1 超出范围（共 %2 条记录）").arg(recordNo).arg(whole));
            change.write = true;
            change.content = current.slotBytes;
            change.content.replace(
                qsizetype(recordNo - 1) * ShaftSlot, ShaftSlot, encodeShaft(record));
            return {};
        });
}

Result<StoredShaft> storeShaftRecord(
    const QString &path, const ShaftRecord &record, bool mayReplace)
{
    StoredShaft stored;
    const Result<WriteNote> written
        = modifyRecordFile(path, ShaftSlot, std::numeric_limits<qint64>::max(),
            [&](const Current &current, Change &change) -> Result<> {
                const QByteArray known = current.slotBytes.left(qsizetype(MaxRecords) * ShaftSlot);
                const int found = findKey(known, ShaftSlot, record.ShaftNo, ShaftNoWidth);
                stored.inUse = found >= 0;
                if (stored.inUse && !mayReplace)
                    return {};
                change.content = current.slotBytes;
                if (found >= 0) {
                    change.content.replace(
                        qsizetype(found) * ShaftSlot, ShaftSlot, encodeShaft(record));
                    stored.recordNo = found + 1;
                } else {
                    if (current.wholeSlots >= MaxRecords)
                        return fileError(path, Reason::recordLimit());
                    change.content += encodeShaft(record);
                    stored.recordNo = int(current.wholeSlots) + 1;
                }
                change.write = true;
                return {};
            });
    if (!written)
        return written.error();
    stored.note = *written;
    return stored;
}

Result<> rewriteBearingFile(const QString &path, const QList<BearingRecord> &records)
{
    if (records.size() > MaxRecords)
        return fileError(path, Reason::overRecordLimit());
    QByteArray bytes;
    bytes.reserve(qsizetype(records.size()) * BearingSlot);
    for (const BearingRecord &record : records)
        bytes += encodeBearing(record);
    const Result<Rewrite> rewritten = rewriteBearingSlotsIfUnchanged(path, bytes, {}, false);
    if (!rewritten)
        return rewritten.error();
    return {};
}

Result<Rewrite> rewriteBearingSlotsIfUnchanged(
    const QString &path, const QByteArray &bytes, const QByteArray &fingerprint, bool backup)
{
    if (bytes.size() % BearingSlot != 0)
        return fileError(path, QStringLiteral("记录不完整"));
    if (bytes.size() / BearingSlot > MaxRecords)
        return fileError(path, Reason::overRecordLimit());
    Rewrite rewrite;
    const Result<WriteNote> written = modifyRecordFile(
        path, BearingSlot, MaxRecords, [&](const Current &current, Change &change) -> Result<> {
            if (!fingerprint.isEmpty() && !current.created
                && fingerprintOf(current.size, current.slotBytes) != fingerprint) {
                rewrite.changed = true;
                return {};
            }
            change.write = true;
            change.backup = backup && !current.created;
            change.content = bytes;
            return {};
        });
    if (!written)
        return written.error();
    rewrite.note = *written;
    return rewrite;
}

Result<WriteNote> modifyBearingFile(const QString &path, const BearingChange &change)
{
    return modifyRecordFile(
        path, BearingSlot, MaxRecords, [&](const Current &current, Change &out) -> Result<> {
            Result<QByteArray> content = change(current.slotBytes, current.wholeSlots);
            if (!content)
                return content.error();
            out.content = std::move(*content);
            out.write = !out.content.isEmpty();
            return {};
        });
}

bool keysEqual(const QString &a, const QString &b, int width)
{
    return fitField(a, width) == fitField(b, width);
}

} // namespace RecordFiles

namespace Module1 {

namespace {

// The record decoded from the first slot of the file at path whose key field equals key.
template <typename Record, typename Decode>
Result<std::optional<Record>> findRecord(
    const QString &path, int slotSize, const QString &key, int width, Decode decode)
{
    const Result<SlotGrid> grid = scan(path, slotSize);
    if (!grid)
        return grid.error();
    const int i = findKey(grid->bytes, slotSize, key, width);
    if (i < 0)
        return std::optional<Record>();
    return std::optional<Record>(decode(grid->bytes.constData() + qsizetype(i) * slotSize));
}

} // namespace

Result<std::optional<BearingRecord>> FindBearingRecord(const QString &key)
{
    return findRecord<BearingRecord>(
        RecordFiles::bearingPath(), BearingSlot, key, ModelWidth, decodeBearing);
}

Result<std::optional<ShaftRecord>> FindShaftRecord(const QString &key)
{
    return findRecord<ShaftRecord>(
        RecordFiles::gearPath(), ShaftSlot, key, ShaftNoWidth, decodeShaft);
}

Result<std::optional<RecordFiles::WriteNote>> AppendBearingRecord(
    const QString &model, std::uint8_t type, float e, float Y1, float Y2, float Cr)
{
    BearingRecord record;
    record.Model = fitField(model, ModelWidth);
    record.Type = type;
    record.e = e;
    record.Y1 = Y1;
    record.Y2 = Y2;
    record.Cr = Cr;

    bool appended = false;
    // The model is looked for in the file as it is inside the lock, so that a copy of the program
    // adding the same model meanwhile is seen.
    const Result<RecordFiles::WriteNote> written
        = RecordFiles::modifyBearingFile(RecordFiles::bearingPath(),
            [&](const QByteArray &slotBytes, qint64 wholeSlots) -> Result<QByteArray> {
                if (findKey(slotBytes, BearingSlot, record.Model, ModelWidth) >= 0)
                    return QByteArray();
                if (wholeSlots >= MaxRecords)
                    return fileError(RecordFiles::bearingPath(), Reason::recordLimit());
                appended = true;
                return QByteArray(slotBytes + encodeBearing(record));
            });
    if (!written)
        return written.error();
    if (!appended)
        return std::optional<RecordFiles::WriteNote>();
    return std::optional<RecordFiles::WriteNote>(*written);
}

} // namespace Module1
