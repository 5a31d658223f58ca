// The value of a text and the conversions that follow it, on arbitrary UTF-8 and UTF-16 input.

#include "calc/conversions.h"
#include "fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    for (const QString &text : { QString::fromUtf8(bytes, qsizetype(size)),
             QString::fromUtf16(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2)) }) {
        const double v = Conv::valueOf(text);
        float f = 0;
        std::int16_t i = 0;
        // A float's general text (7 significant digits) reads back within its rounding.
        if (Conv::toSingle(v, f) == Fault::None)
            FUZZ_CHECK(std::fabs(Conv::valueOf(Conv::singleText(f)) - double(f))
                <= 5e-6 * std::fabs(double(f)) + 1e-45);
        FUZZ_CHECK(Conv::toInteger(v, i) != Fault::None || std::fabs(v - i) <= 0.5);
        for (int k = 0; k <= 3; ++k)
            (void)Conv::roundHalfEven(v, k);
        FUZZ_CHECK(Conv::fitText(text, 12).size() == 12);
    }
    return 0;
}
