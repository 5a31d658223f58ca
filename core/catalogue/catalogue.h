#pragma once

// The data manager's catalogue work without any window: reading bearing.sav into EditerLines,
// ordering the lines, writing bearing.sav back from them, and the TestData.txt dump.

#include "records/recordfile.h"

#include <QStringList>

namespace BearingCatalogue {

// The catalogue as the data manager read it: one line per whole record (at most 32767), the
// file's bytes and fingerprint, and what was not read (empty when the lines hold the whole file).
struct Catalogue
{
    QStringList lines;
    RecordFiles::Snapshot file;
    // "bearing.sav 末尾有 20 个字节不是完整记录", "第 7 个记录的型号不是有效的 GBK 编码",
    // "只读入了前 32767 个记录"
    QStringList problems;
    bool readWhole() const { return problems.isEmpty(); }
};

// Reads the catalogue at path (a missing file is created empty). False with error filled when
// the file could not be read.
bool load(const QString &path, Catalogue &out, FileError &error);

// The slotBytes that store lines: a line that shows one of the records read (the user did not edit
// it) is stored with that record's own bytes (a model that is not GBK, NaN and infinities stay as
// they were); any other line as its columns read (EditerLine::toRecord).
QByteArray slotsFor(const QStringList &lines, const Catalogue &read);

// Stores lines into the catalogue at path, only if the file still holds what read was taken of:
// changed tells that another program wrote it meanwhile (nothing is written; read it again).
// With backup, the file's bytes are first copied to bearing.bak beside it. On success read
// becomes what was stored.
bool store(const QString &path, Catalogue &read, const QStringList &lines, bool backup,
    bool &changed, FileError &error);

// One EditerLine per whole record of the file, in record order (a missing file is created empty).
// Returns false and fills error when the file could not be read; complete tells whether the lines
// hold the whole file (false when a torn tail or records beyond the 32767th were left out, or a
// model is not valid GBK); error then says why.
bool loadLines(const QString &path, QStringList &lines, FileError &error, bool &complete);

// The catalogue order: by the first three characters of the model with letter case ignored
// (the same in every locale: code units of the case-folded text, so a blank sorts before digits
// and digits before letters), then by the type code, then by d ascending. Stable: lines with
// equal keys keep their order.
void sortLines(QStringList &lines);

// Replaces the file by one record per line, in line order, each value as its column shows it.
// Goes through temp.sav beside the file (written whole, flushed, renamed over it), so a failure
// leaves the old or the new catalogue whole. Any number of lines up to 32767 is stored, none
// included. Returns false and fills error on failure.
bool rewriteFromLines(const QString &path, const QStringList &lines, FileError &error);

// Writes every line to a text file in GBK with CR LF line ends, replacing the file. A link at path
// is not followed (the dump goes to a fixed name in the record folder). Returns false and fills
// error on failure.
bool dumpLines(const QString &path, const QStringList &lines, FileError &error);

} // namespace BearingCatalogue
