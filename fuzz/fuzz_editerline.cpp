// Typed texts: a number field's value and its conversions (UTF-8 and UTF-16), any text as a data
// manager line, box texts "model|d|D|B|e|Y1|Y2|Cr|type" as an entry.

#include "calc/conversions.h"
#include "fuzz/fuzzsupport.h"

using namespace FuzzSupport; // with RecordLayout and the string literals
using namespace EditerLine;
using namespace Conv;

// A float's general text (7 significant digits) reads back within its rounding; a 16-bit integer
// is the value within a half.
static void checkValue(const QString &text)
{
    const double v = valueOf(text);
    float f = 0;
    std::int16_t i = 0;
    for (int k = 0; k <= 3; ++k)
        (void)roundHalfEven(v, k);
    FUZZ_CHECK(toSingle(v, f) != Fault::None
        || std::fabs(valueOf(singleText(f)) - double(f)) <= 5e-6 * std::fabs(double(f)) + 1e-45);
    FUZZ_CHECK(toInteger(v, i) != Fault::None || std::fabs(v - i) <= 0.5);
    FUZZ_CHECK(fitText(text, 12).size() == 12);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList parts = text.split(u'|');
    checkValue(text);
    checkValue(QString::fromUtf16(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2)));
    checkLine(text);
    // An entry is taken exactly when the model is not blank, the type listed and every value fits.
    Entry entry { .model = parts.value(0),
        .type = int(std::clamp(valueOf(parts.value(8)), -2.0, 9.0)) };
    bool valid = !entry.model.trimmed().isEmpty() && entry.type >= 0 && entry.type < TypeCount;
    std::array<std::int16_t, 3> dims {};
    BearingRecord want;
    const std::array<float *, 4> factors { &want.e, &want.Y1, &want.Y2, &want.Cr };
    for (std::size_t i = 0; i < 7; ++i) {
        const double v = valueOf(
            (i < 3 ? entry.dimensions[i] : entry.factors[i - 3]) = parts.value(int(i) + 1));
        valid &= (i < 3 ? toInteger(v, dims[i]) : toSingle(v, *factors[i - 3])) == Fault::None;
    }
    QString line;
    Refusal refusal;
    FUZZ_CHECK(fromEntry(entry, line, refusal) == valid && (valid || refusal.field != Field::None));
    if (!valid)
        return 0;
    // The line holds the model as the box keeps it, the dimensions exactly, the factors as shown.
    const BearingRecord r = toRecord(line);
    FUZZ_CHECK(
        line.size() == TypeStart + 1 && r.Model == fitModel(entry.model) && r.Type == entry.type);
    FUZZ_CHECK(r.d == dims[0] && r.D == dims[1] && r.B == dims[2] && factorsShown(want, r));
    checkLine(line);
    return 0;
}
