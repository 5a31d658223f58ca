#pragma once

// EditerLine: the fixed-width text line that shows one catalogue bearing in the data manager's
// list, and the conversions between such a line, a BearingRecord and the manager's input boxes.
//
//   columns  1-12  model (no separating blank: a 12-character model runs into the d column)
//           13-54  d, D, B, e, Y1, Y2, Cr, each as text cut or padded to 6 characters
//           55-57  three blanks
//           58-    type code in decimal (normally one digit, 0 to 4)
//
// The list is the working copy of the catalogue and bearing.sav is written from its lines, so a
// value is stored as its 6-character column shows it.

#include "records/records.h"

#include <QString>

#include <array>
#include <cstdint>

namespace EditerLine {

using RecordLayout::ModelWidth; // the model field of a bearing record
constexpr int ColumnWidth = 6;
constexpr int ColumnCount = 7; // d, D, B, e, Y1, Y2, Cr
constexpr int TypeStart = ModelWidth + ColumnCount * ColumnWidth + 3; // index 57: column 58
constexpr int TypeCount = 5; // type codes 0 to 4

// The numeric columns, in line order.
enum Column { ColD = 0, ColOuterD, ColB, ColE, ColY1, ColY2, ColCr };

// The caption over the list: "型号" takes two cells per character, so the d of the heading stands
// over column 13 in a font with fixed cells.
QString heading();

// A model as the line keeps it: cut to what bearing.sav's 12-byte GBK field can hold (never
// splitting a character), then padded with blanks to 12 characters. The list and the file thus
// hold the same model.
QString fitModel(const QString &text);

// A 16-bit integer in plain decimal, padded to 6 characters.
QString integerColumn(std::int16_t value);

// A 32-bit float in its general decimal text, cut or padded to 6 characters. A fixed-point text
// loses the decimals beyond the sixth character (0.2345678 -> "0.2345", 1234.567 -> "1234.5").
// A text whose whole-number part or exponent would be cut off, or whose cut would read as 0, is
// written instead in a shorter exponent form with the mantissa rounded, so the column keeps the
// value's magnitude (1.234E-06 -> "1.2E-6", 0.00001234 -> "1.2E-5", 1234567 -> "1.2E+6",
// 9.99999944E+27 -> "1E+28") and reads back as a value that gives the same column.
QString singleColumn(float value);

// The line of a catalogue record.
QString fromRecord(const BearingRecord &record);

// The line as the list shows it, in a font where ASCII takes one cell and Chinese two: the model
// column is padded to 12 cells instead of 12 characters, so the columns after it stand under the
// heading whatever the model holds. The line itself is left as it is.
QString displayText(const QString &line);

// The model column (12 characters, blanks kept).
inline QString modelOf(const QString &line)
{
    return line.left(ModelWidth);
}

// The 6 characters of a numeric column, trailing blanks removed.
QString columnText(const QString &line, int column);

// The type code at the end of the line; -1 when it does not read as a number.
int typeOf(const QString &line);

// The record that a line stands for: model from columns 1-12, every column read back by its
// value, the type from the end of the line. A value that does not fit its field reads as 0.
BearingRecord toRecord(const QString &line);

// The texts of the manager's boxes, from which an addition or edit builds its line.
struct Entry
{
    QString model;
    std::array<QString, 3> dimensions; // d, D, B
    std::array<QString, 4> factors; // e, Y1, Y2, Cr
    int type = -1; // item of the type box, -1 when none is chosen
};

// Which box a refused entry is about (BearingCatalogue::applyEntry adds the list's own refusals).
enum class Field { None, Model, Type, Dimension, Factor, ModelTaken, Line, Full };
struct Refusal
{
    Field field = Field::None;
    int index = 0; // which dimension (0-2) or factor (0-3)
};

// Builds the line of an entry: the model fitted, d, D, B as the values of their texts rounded to
// whole numbers with halves to even, e, Y1, Y2, Cr as 32-bit floats, every value cut to its
// column. Refuses (returns false and says which box) a blank model, a type outside 0-4, and a value
// that does not fit a 16-bit integer or a 32-bit float.
bool fromEntry(const Entry &entry, QString &line, Refusal &refusal);

} // namespace EditerLine
