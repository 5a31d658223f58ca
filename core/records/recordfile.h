#pragma once

// Fixed-slot record files (gear.sav, bearing.sav, temp.sav) and the shared operations of Module1.
// Every operation opens its file, works and closes it before returning; a missing file is created
// empty. Failures are returned as a FileError (in a Result) naming the file and the reason;
// nothing here shows a dialog.

#include "records/fileerror.h"
#include "records/records.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace RecordFiles {

// The directory holding the record files: the executable's directory, or the per-user data
// directory (QStandardPaths::AppDataLocation) when that one is not writable.
QString appDirectory();
// Tests (and a copy run elsewhere) may point it at another folder.
void setAppDirectory(const QString &dir);

QString gearPath(); // <app dir>/gear.sav
QString bearingPath(); // <app dir>/bearing.sav
QString tempPath(); // <app dir>/temp.sav

// What a writer did with a torn tail (a last slot shorter than a record) or with records it was
// asked to back up: the file's bytes as they were, kept in a backup beside it before the tail was
// dropped. Empty when nothing was kept.
struct WriteNote
{
    QString path; // the record file
    QString backupPath; // gear.bak, bearing.bak beside it; empty: no backup was made
    qint64 tornBytes = 0; // bytes of the torn tail dropped
    bool kept() const { return !backupPath.isEmpty(); }
    // For a closing message: "gear.sav 末尾有 50 个字节不是完整记录，已删去；原文件已保存为
    // gear.bak"
    QString text() const;
};

// The backup beside a record file: its name with the extension ".bak" (gear.bak, bearing.bak).
QString backupPathFor(const QString &path);

// A record file as read: its whole slotBytes (at most MaxRecords) and its size; fingerprint() of
// both tells a later writer whether the file still holds what was read.
struct Snapshot
{
    QByteArray slotBytes;
    qint64 size = 0;
    qint64 wholeSlots = 0; // in the whole file, may exceed MaxRecords
    qint64 tornBytes(int slotSize) const { return size - wholeSlots * slotSize; }
};
// The fingerprint of a file of size bytes whose first whole slotBytes are slotBytes.
QByteArray fingerprint(qint64 size, const QByteArray &slotBytes);
// Reads the file at path (created empty when missing; a dangling link is refused).
Result<Snapshot> readSnapshot(const QString &path, int slotSize);

// The number of whole slots of a record file (records beyond MaxRecords included), opened as the
// readers open it (created empty when missing).
Result<qint64> countRecords(const QString &path, int slotSize);

// The records of a file as read: complete tells whether the file was read whole (false when a
// torn tail or records beyond MaxRecords were left out).
template <typename Record> struct RecordList
{
    QList<Record> records;
    bool complete = false;
};

// Every whole slot of a file, read in one pass; a torn last slot is ignored and at most
// MaxRecords records are returned. A missing file is created empty.
Result<RecordList<ShaftRecord>> readShaftRecords(const QString &path);
Result<RecordList<BearingRecord>> readBearingRecords(const QString &path);

// Every writer below reads, changes and replaces its file while holding the file's lock
// (SafeFile::Lock), so two copies of the program never lose each other's records: one waits
// for the other (a few seconds at most, then fails saying that another program is writing). The
// file is replaced in one step by its new content (written to a scratch file beside it: temp.sav
// for bearing.sav, gear.tmp for gear.sav; flushed to disk and renamed over it; see SafeFile), so a
// failure or a crash leaves either the old or the new file whole. A torn tail is dropped after
// the file's bytes were kept in its backup (note says so). Failures name the file and the reason.

// Each writer returns what it did with a torn tail (WriteNote) on success.

// Appends one slot after the last whole slot. Refuses when the file already holds MaxRecords
// records.
Result<WriteNote> appendShaftRecord(const QString &path, const ShaftRecord &record);
Result<WriteNote> appendBearingRecord(const QString &path, const BearingRecord &record);

// Replaces record recordNo (1-based); the rest of the file stays as it is.
Result<WriteNote> replaceShaftRecord(const QString &path, int recordNo, const ShaftRecord &record);

// What storeShaftRecord did: inUse tells whether the number is there; when it is and !mayReplace,
// nothing is written (the caller asks the user and calls again). recordNo is the record written
// (1-based), 0 when none.
struct StoredShaft
{
    int recordNo = 0;
    bool inUse = false;
    WriteNote note;
};
// Stores a shaft record by its number, finding the number again in the file as it is now: it
// replaces the first record with that number when mayReplace, and is appended when the number
// is not there.
Result<StoredShaft> storeShaftRecord(
    const QString &path, const ShaftRecord &record, bool mayReplace);

// Replaces the whole file by the given records, through temp.sav beside it.
Result<> rewriteBearingFile(const QString &path, const QList<BearingRecord> &records);

// What rewriteBearingSlotsIfUnchanged did: changed tells the caller to read the file again;
// nothing was written then.
struct Rewrite
{
    bool changed = false;
    WriteNote note;
};
// The same with the slots given byte for byte (a whole number of BearingSlot slots), only if the
// file still holds what fingerprint (fingerprint() of a Snapshot) was taken of; a
// file that no longer exists counts as unchanged (storing loses nothing). With backup, the file's
// bytes are first copied to its backup (backupPathFor) byte for byte.
Result<Rewrite> rewriteBearingSlotsIfUnchanged(
    const QString &path, const QByteArray &bytes, const QByteArray &fingerprint, bool backup);

// A read-modify-replace of a bearing file under its lock, for writers outside this file (the
// merge): change gets the file's first slotBytes (at most MaxRecords) and its whole-slot count, and
// returns the new content, or an empty one to write nothing; an error stops it.
using BearingChange
    = std::function<Result<QByteArray>(const QByteArray &slotBytes, qint64 wholeSlots)>;
Result<WriteNote> modifyBearingFile(const QString &path, const BearingChange &change);

// Key comparison of the record files: both texts as a field of width bytes gives them back
// (RecordLayout::fitField: padded with blanks to width characters, a long Chinese text cut where
// the field cuts it), compared code unit by code unit (trailing blanks never matter; leading
// blanks and case do). FindBearingRecord, FindShaftRecord and AppendBearingRecord compare so.
bool keysEqual(const QString &a, const QString &b, int width);

} // namespace RecordFiles

namespace Module1 {

// First record of bearing.sav whose Model equals key; nullopt when there is none.
Result<std::optional<BearingRecord>> FindBearingRecord(const QString &key);
// First record of gear.sav whose ShaftNo equals key; nullopt when there is none.
Result<std::optional<ShaftRecord>> FindShaftRecord(const QString &key);
// Appends a bearing with d = D = B = 0 unless the model is already there: the writer's note when
// appended, nullopt when the model was there.
Result<std::optional<RecordFiles::WriteNote>> AppendBearingRecord(
    const QString &model, std::uint8_t type, float e, float Y1, float Y2, float Cr);

// ByteToBits and BitsToByte live in records/records.h.

} // namespace Module1
