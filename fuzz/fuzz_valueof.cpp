// The value of a text and the conversions that follow it, on arbitrary UTF-8 and UTF-16 input.

#include "calc/conversions.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString utf8
        = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString utf16 = QString::fromUtf16(
        reinterpret_cast<const char16_t *>(data), static_cast<qsizetype>(size / 2));
    for (const QString &text : { utf8, utf16 }) {
        const double v = Conv::valueOf(text);
        float f = 0;
        if (Conv::toSingle(v, f) == Fault::None) {
            // The general text of a float (7 significant digits) reads back within its rounding.
            const QString shown = Conv::singleText(f);
            const double back = Conv::valueOf(shown);
            const double fd = static_cast<double>(f);
            if (std::fabs(back - fd) > 5e-7 * std::fabs(fd) * 10 + 1e-45)
                std::abort();
        }
        std::int16_t i = 0;
        if (Conv::toInteger(v, i) == Fault::None && std::fabs(v - i) > 0.5)
            std::abort();
        for (int k = 0; k <= 3; ++k)
            (void)Conv::roundHalfEven(v, k);
        const QString fitted = Conv::fitText(text, 12);
        if (fitted.size() != 12)
            std::abort();
    }
    return 0;
}
