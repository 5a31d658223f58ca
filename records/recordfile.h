#pragma once

// Fixed-slot record files (gear.sav, bearing.sav, temp.sav) and the shared operations of Module1.
// Every operation opens its file, works and closes it before returning; a missing file is created
// empty. Failures are returned as a StoreError naming the file and the reason; nothing here shows
// a dialog.

#include "records/records.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

struct StoreError
{
    QString path;   // the file concerned
    QString reason; // human-readable, in Chinese; empty when there was no error
    bool failed() const { return !reason.isEmpty(); }
    // "<path>: <reason>", for a message box.
    QString text() const;
};

namespace RecordFiles {

// The directory holding the record files: the executable's directory, or the per-user data
// directory (QStandardPaths::AppDataLocation) when that one is not writable.
QString appDirectory();
// Tests (and a copy run elsewhere) may point it at another folder.
void setAppDirectory(const QString &dir);

QString gearPath();    // <app dir>/gear.sav
QString bearingPath(); // <app dir>/bearing.sav
QString tempPath();    // <app dir>/temp.sav

// Every whole slot of a file, read in one pass; a torn last slot is ignored and at most
// MaxRecords records are returned. A missing file is created empty. On failure returns false,
// fills error and leaves the list empty; complete tells whether the file was read whole (false when
// a torn tail or records beyond MaxRecords were left out).
bool readShaftRecords(const QString &path, QList<ShaftRecord> &out, StoreError &error,
                      bool *complete = nullptr);
bool readBearingRecords(const QString &path, QList<BearingRecord> &out, StoreError &error,
                        bool *complete = nullptr);

// Appends one slot after the last whole slot (a torn tail is cut off first). Refuses when the file
// already holds MaxRecords records. Like every writer here, the file is replaced in one step by its
// new content (written to a scratch file beside it: temp.sav for bearing.sav, gear.tmp for
// gear.sav; flushed to disk and renamed over it), so a failure or a crash leaves either the old or
// the new file whole, never a torn slot; failures name the file and the reason.
bool appendShaftRecord(const QString &path, const ShaftRecord &record, StoreError &error);
bool appendBearingRecord(const QString &path, const BearingRecord &record, StoreError &error);

// Replaces record recordNo (1-based); the rest of the file stays as it is (a torn tail is left out).
bool replaceShaftRecord(const QString &path, int recordNo, const ShaftRecord &record,
                        StoreError &error);

// Replaces the whole file by the given records, through temp.sav beside it.
bool rewriteBearingFile(const QString &path, const QList<BearingRecord> &records,
                        StoreError &error);
// The same with the slots given byte for byte (a whole number of BearingSlot slots).
bool rewriteBearingSlots(const QString &path, const QByteArray &bytes, StoreError &error);

// Key comparison of the record files: both texts as a field of width bytes gives them back
// (RecordLayout::fitField: padded with blanks to width characters, a long Chinese text cut where
// the field cuts it), compared code unit by code unit (trailing blanks never matter; leading
// blanks and case do). FindBearingRecord, FindShaftRecord and AppendBearingRecord compare so.
bool keysEqual(const QString &a, const QString &b, int width);

} // namespace RecordFiles

namespace Module1 {

// First record of bearing.sav whose Model equals key, or an empty record (Cr = 0).
BearingRecord FindBearingRecord(const QString &key, StoreError *error = nullptr);
// First record of gear.sav whose ShaftNo equals key, or an empty record (P1 = 0).
ShaftRecord FindShaftRecord(const QString &key, StoreError *error = nullptr);
// Appends a bearing with d = D = B = 0 unless the model is already there. True when appended;
// false when the model existed or on failure (error says which).
bool AppendBearingRecord(const QString &model, std::uint8_t type, float e, float Y1, float Y2,
                         float Cr, StoreError *error = nullptr);

// ByteToBits and BitsToByte live in records/records.h.

} // namespace Module1
