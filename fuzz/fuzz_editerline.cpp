// Data manager lines: any text as a line, and box texts "model|d|D|B|e|Y1|Y2|Cr|type" as an entry.

#include "calc/conversions.h"
#include "catalogue/editerline.h"
#include "fuzz/fuzzsupport.h"

using namespace RecordLayout;

namespace {

BearingRecord storedAgain(const BearingRecord &record)
{
    return EditerLine::toRecord(
        EditerLine::fromRecord(decodeBearing(encodeBearing(record).constData())));
}

// Once stored, a line is stable: its model, type and dimensions at once, every value after that.
void checkLine(const QString &line)
{
    const BearingRecord first = EditerLine::toRecord(line);
    const int type = EditerLine::typeOf(line);
    FUZZ_CHECK(first.Model == line.left(EditerLine::ModelWidth)
        && (type < 0 || type > 255 || first.Type == type));
    const BearingRecord second = storedAgain(first);
    FUZZ_CHECK(encodeBearing(second).left(19)
        == encodeBearing(decodeBearing(encodeBearing(first).constData())).left(19));
    if (FuzzSupport::finiteFactors(second))
        FUZZ_CHECK(encodeBearing(storedAgain(second)) == encodeBearing(second));
}

void checkEntry(const QStringList &parts)
{
    EditerLine::Entry entry;
    entry.model = parts.value(0);
    entry.type = int(std::clamp(Conv::valueOf(parts.value(8)), -2.0, 9.0));
    bool valid
        = !entry.model.trimmed().isEmpty() && entry.type >= 0 && entry.type < EditerLine::TypeCount;
    std::array<std::int16_t, 3> dims {};
    BearingRecord want;
    const std::array<float *, 4> factors { &want.e, &want.Y1, &want.Y2, &want.Cr };
    for (std::size_t i = 0; i < 7; ++i) {
        QString &text = i < 3 ? entry.dimensions[i] : entry.factors[i - 3];
        text = parts.value(int(i) + 1);
        const double v = Conv::valueOf(text);
        valid = (i < 3 ? Conv::toInteger(v, dims[i]) : Conv::toSingle(v, *factors[i - 3]))
                == Fault::None
            && valid;
    }
    QString line;
    EditerLine::Refusal refusal;
    FUZZ_CHECK(EditerLine::fromEntry(entry, line, refusal) == valid);
    if (!valid) {
        FUZZ_CHECK(refusal.field != EditerLine::Field::None);
        return;
    }
    // The line holds the model as the box keeps it, the dimensions exactly, the factors as shown.
    const BearingRecord r = EditerLine::toRecord(line);
    FUZZ_CHECK(line.size() == EditerLine::TypeStart + 1
        && r.Model == EditerLine::fitModel(entry.model) && r.Type == entry.type);
    FUZZ_CHECK(
        r.d == dims[0] && r.D == dims[1] && r.B == dims[2] && FuzzSupport::factorsShown(want, r));
    checkLine(line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkLine(text);
    checkEntry(text.split(u'|'));
    return 0;
}
