#pragma once

// The text files of Tolvenar (result report, detailed calculation data): their two line styles and
// writing them as GBK with CR LF line ends.
//
// Line styles
//   Printed line: items written one after another. A text item is written unchanged. A number item
//     is one blank (value zero or more) or a minus sign (negative value), the value's general
//     decimal text (Conv::singleText for floats, plain digits for integers, up to 15 significant
//     digits for rounded values) and one blank; a value between -1 and 1 keeps its leading zero
//     ("0.5"). A column item k places the next item at column k of the line, columns counted from
//     1 in bytes of the GBK line, which are also the display cells of a CJK fixed-pitch font (a
//     Chinese character takes two); when the line already reaches column k, one blank is written.
//   Comma line: the values separated by "," without blanks; numbers in the same general decimal
//     text without blanks, texts in double quotes with their trailing blanks, Booleans as #TRUE#
//     or #FALSE#.

#include "records/fileerror.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

class PrintedLine
{
public:
    PrintedLine &text(const QString &text);
    PrintedLine &number(float value);
    PrintedLine &integer(int value);
    // A value already rounded (for instance to 2 decimals), written with up to 15 digits.
    PrintedLine &rounded(double value);
    PrintedLine &column(int k);

    QString toString() const { return m_line; }

private:
    PrintedLine &numberText(const QString &digits);
    QString m_line;
};

class CommaLine
{
public:
    CommaLine &text(const QString &text);
    CommaLine &number(float value);
    CommaLine &integer(int value);
    CommaLine &boolean(bool value);

    QString toString() const { return m_items.join(u','); }

private:
    QStringList m_items;
};

namespace TextFile {

// The lines as GBK, each followed by CR LF. A character GBK cannot hold is written as '?'.
QByteArray encodeLines(const QStringList &lines);

// Length of a text in GBK bytes.
int gbkWidth(const QString &text);

// Writes the lines to path, replacing an existing file through SafeFile: a failure leaves the old
// file (or no file) and never a partial one. Where the folder allows no scratch file but the file
// exists and may be written, it is written in place (never through a link). A link at path is
// followed to its target unless followLinks is false (a file the program names itself, such as
// TestData.txt, where a link can only have been planted: the link is then replaced). A failure
// names the path and the reason (folder missing, read-only file or folder, disk full, ...).
Result<> writeLines(const QString &path, const QStringList &lines, bool followLinks = true);

} // namespace TextFile
