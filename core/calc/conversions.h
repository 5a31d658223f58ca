#pragma once

// Number and text conversions shared by every part of Tolvenar. Everything here is exact and
// independent of the user's locale: "." is always the decimal point.

#include <QString>
#include <QStringView>

#include <cstdint>

// The arithmetic faults of the calculation, numbered as the compute command reports them.
enum class Fault : int {
    None = 0,
    InvalidArgument = 5, // negative base under a fractional exponent: the step is skipped
    Overflow = 6, // integer or 32-bit float overflow, invalid 0/0
    DivisionByZero = 11,
};

// The message box text of a fault that stops a command ("数值溢出  ", "除数为零  "); empty for
// Fault::None and for the skipped step (Fault::InvalidArgument), which stop nothing.
QString faultText(Fault fault);

// Ends the calling function with the fault of expr, if there is one.
#define RETURN_IF_FAULT(expr)                                                                      \
    do {                                                                                           \
        if (const Fault fault_ = (expr); fault_ != Fault::None)                                    \
            return fault_;                                                                         \
    } while (false)

namespace Conv {

// The value of a text: its leading numeric part ("12.5kW" -> 12.5, "1e3" -> 1000), blanks inside
// the number skipped, 0 when the text does not begin with a number.
double valueOf(QStringView text);

// A double rounded to a 32-bit float. Returns Fault::Overflow when the value does not fit (or is
// not a number) and leaves out untouched.
Fault toSingle(double value, float &out);

// A double rounded to the nearest whole number, halves to the even neighbour, as a 16-bit
// integer. Returns Fault::Overflow outside -32768..32767 (or for NaN) and leaves out untouched.
Fault toInteger(double value, std::int16_t &out);

// Nearest whole number, halves to even, computed exactly from the binary value.
double roundHalfEven(double value);

// value rounded to k decimals (0 <= k <= 9), halves to even. A tie is decided on the exact
// binary value, so 2.675 (stored as 2.67499999...) rounds to 2.67.
double roundHalfEven(double value, int decimals);

// The general decimal text of a 32-bit float: at most 7 significant digits, no blanks, no trailing
// zeros, a leading zero before the point ("0.5"); exponent form ("1.234568E+07", "1E-06") when the
// magnitude is at or above 10^7 or below 10^-5 after rounding to 7 digits.
QString singleText(float value);

// The same general form for a double (up to 15 significant digits), used for rounded results.
QString doubleText(double value, int significantDigits = 15);

// A text cut to width characters or filled up with blanks on the right. Never splits a surrogate
// pair: a pair that would be cut is replaced by a blank.
QString fitText(const QString &text, int width);

// A text with trailing blanks removed.
QString trimRight(const QString &text);

} // namespace Conv
