// The data manager's lines read back into records: an arbitrary text as a line, and the texts of
// the manager's boxes ("model|d|D|B|e|Y1|Y2|Cr|type") turned into a line and read back.

#include "calc/conversions.h"
#include "catalogue/editerline.h"
#include "fuzz/fuzzsupport.h"
#include "records/records.h"

#include <cmath>
#include <cstring>

using namespace RecordLayout;

namespace {

// A line as bearing.sav stores it and the manager shows it again.
QString stored(const BearingRecord &record)
{
    return EditerLine::fromRecord(decodeBearing(encodeBearing(record).constData()));
}

void checkLine(const QString &line)
{
    const BearingRecord first = EditerLine::toRecord(line);
    FUZZ_CHECK(first.Model == line.left(EditerLine::ModelWidth));
    const int type = EditerLine::typeOf(line);
    if (type >= 0 && type <= 255)
        FUZZ_CHECK(first.Type == type);
    // Once stored, a line is stable: storing it again keeps the model, type and dimensions, and
    // every value.
    const BearingRecord second = EditerLine::toRecord(stored(first));
    FUZZ_CHECK(encodeBearing(second).left(19)
        == encodeBearing(decodeBearing(encodeBearing(first).constData())).left(19));
    const BearingRecord third = EditerLine::toRecord(stored(second));
    if (FuzzSupport::finiteFactors(second))
        FUZZ_CHECK(encodeBearing(third) == encodeBearing(second));
}

void checkEntry(const QStringList &parts)
{
    EditerLine::Entry entry;
    entry.model = parts.value(0);
    for (int i = 0; i < 3; ++i)
        entry.dimensions[std::size_t(i)] = parts.value(1 + i);
    for (int i = 0; i < 4; ++i)
        entry.factors[std::size_t(i)] = parts.value(4 + i);
    entry.type = int(std::clamp(Conv::valueOf(parts.value(8)), -2.0, 9.0));

    QString line;
    EditerLine::Refusal refusal;
    const bool accepted = EditerLine::fromEntry(entry, line, refusal);
    std::array<std::int16_t, 3> dims {};
    std::array<float, 4> factors {};
    bool dimsOk = true, factorsOk = true;
    for (std::size_t i = 0; i < 3; ++i)
        dimsOk
            = Conv::toInteger(Conv::valueOf(entry.dimensions[i]), dims[i]) == Fault::None && dimsOk;
    for (std::size_t i = 0; i < 4; ++i)
        factorsOk = Conv::toSingle(Conv::valueOf(entry.factors[i]), factors[i]) == Fault::None
            && factorsOk;
    const bool valid = !entry.model.trimmed().isEmpty() && entry.type >= 0
        && entry.type < EditerLine::TypeCount && dimsOk && factorsOk;
    FUZZ_CHECK(accepted == valid);
    if (!accepted) {
        FUZZ_CHECK(refusal.field != EditerLine::Field::None);
        return;
    }
    // The line holds the entry: the model as the field keeps it, the dimensions exactly, the
    // factors to the magnitude their columns show.
    FUZZ_CHECK(line.size() == EditerLine::TypeStart + 1);
    const BearingRecord r = EditerLine::toRecord(line);
    FUZZ_CHECK(r.Model == EditerLine::fitModel(entry.model));
    FUZZ_CHECK(r.Type == entry.type);
    FUZZ_CHECK(r.d == dims[0] && r.D == dims[1] && r.B == dims[2]);
    using FuzzSupport::sameMagnitude;
    FUZZ_CHECK(sameMagnitude(factors[0], r.e) && sameMagnitude(factors[1], r.Y1)
        && sameMagnitude(factors[2], r.Y2) && sameMagnitude(factors[3], r.Cr));
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
