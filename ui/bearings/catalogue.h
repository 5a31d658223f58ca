#pragma once

// The data manager's catalogue work without any window: reading bearing.sav into EditerLines,
// ordering the lines, writing bearing.sav back from them, and the TestData.txt dump.

#include "records/recordfile.h"

#include <QCollator>
#include <QStringList>

namespace BearingCatalogue {

// One EditerLine per whole record of the file, in record order (a missing file is created empty).
// Returns false and fills error when the file could not be read; complete tells whether the lines
// hold the whole file, so that storing them loses nothing (false when a torn tail or records
// beyond the 32767th were left out, or a model is not valid GBK); error then says why.
bool loadLines(const QString &path, QStringList &lines, StoreError &error, bool &complete);

// The catalogue order: by the first three characters of the model as the collator compares them,
// then by the type code, then by d ascending. Stable: lines with equal keys keep their order.
void sortLines(QStringList &lines, const QCollator &collator);

// The collator of the user's locale that ignores letter case, as the catalogue order uses it.
QCollator catalogueCollator();

// Replaces the file by one record per line, in line order, each value as its column shows it.
// Goes through temp.sav beside the file (written whole, flushed, renamed over it), so a failure
// leaves the old or the new catalogue whole. Any number of lines up to 32767 is stored, none
// included. Returns false and fills error on failure.
bool rewriteFromLines(const QString &path, const QStringList &lines, StoreError &error);

// Writes every line to a text file in GBK with CR LF line ends, replacing the file. Returns false
// and fills error on failure.
bool dumpLines(const QString &path, const QStringList &lines, StoreError &error);

} // namespace BearingCatalogue
