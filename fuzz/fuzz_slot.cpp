// One slot of any bytes as a gear.sav and a bearing.sav record, stored again and shown.

#include "catalogue/editerline.h"
#include "fuzz/fuzzsupport.h"
#include "records/recordlines.h"

#include <cstring>

using namespace RecordLayout;

namespace {

// Every number keeps its bits (NaN payloads too), a single-byte text field its bytes, a cleanly
// decoded text its characters; after one round a record is stable.
template <typename Record, typename Decode, typename Encode>
Record checkRound(const char *slot, int size, int numbersAt, int numbersLen,
    std::initializer_list<std::pair<int, QString Record::*>> texts, Decode decode, Encode encode)
{
    const Record r = decode(slot);
    const QByteArray once = encode(r);
    FUZZ_CHECK(once.size() == size
        && std::memcmp(once.constData() + numbersAt, slot + numbersAt, std::size_t(numbersLen))
            == 0);
    const Record again = decode(once.constData());
    FUZZ_CHECK(encode(again) == once);
    for (const auto &[at, field] : texts) {
        const int width = int((r.*field).size());
        FUZZ_CHECK(width == (at == 0 && size == ShaftSlot ? ShaftNoWidth : ModelWidth));
        if (std::all_of(slot + at, slot + at + width, [](char c) { return uchar(c) < 0x80; }))
            FUZZ_CHECK(std::memcmp(once.constData() + at, slot + at, std::size_t(width)) == 0);
        if (!(r.*field).contains(QChar::ReplacementCharacter))
            FUZZ_CHECK(r.*field == again.*field);
    }
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ShaftRecord s = checkRound<ShaftRecord>(
        FuzzSupport::exactSlot(data, size, ShaftSlot).get(), ShaftSlot, 15, 35,
        { { 0, &ShaftRecord::ShaftNo }, { 50, &ShaftRecord::ModelA },
            { 62, &ShaftRecord::ModelB } },
        decodeShaft, encodeShaft);
    FUZZ_CHECK(Module1::BitsToByte(Module1::ByteToBits(s.Flags)) == s.Flags);
    // Browser lines keep their columns; the type goes last as plain digits and is copied back
    // whole.
    RecordLineModel gears;
    gears.setRecords(QList<ShaftRecord> { s });
    const QString gearLine = gears.line(0);
    FUZZ_CHECK(
        gearLine == RecordLines::ViewGearLine(s) && gearLine.size() == RecordLines::GearLineWidth);
    FUZZ_CHECK(gears.widestCells() == RecordLines::cellCount(gearLine));
    FUZZ_CHECK(RecordLines::numberOfGearLine(gearLine).size() <= ShaftNoWidth);

    const BearingRecord r
        = checkRound<BearingRecord>(FuzzSupport::exactSlot(data, size, BearingSlot).get(),
            BearingSlot, 12, 23, { { 0, &BearingRecord::Model } }, decodeBearing, encodeBearing);
    RecordLineModel bearings;
    bearings.setRecords(QList<BearingRecord> { r });
    const QString viewLine = bearings.line(0);
    const qsizetype typeDigits = QString::number(r.Type).size();
    FUZZ_CHECK(viewLine.size() == RecordLines::BearingLineWidth - 1 + typeDigits);
    FUZZ_CHECK(bearings.widestCells() == RecordLines::cellCount(viewLine));
    FUZZ_CHECK(RecordLines::bearingOfLine(viewLine).type == r.Type);

    // The manager's line reads back as shown; stored again no value changes (NaN, Inf: 0 once).
    const QString line = EditerLine::fromRecord(r);
    FUZZ_CHECK(
        line.size() == EditerLine::TypeStart + typeDigits && EditerLine::typeOf(line) == r.Type);
    const BearingRecord back = EditerLine::toRecord(line);
    FUZZ_CHECK(back.Model == r.Model && back.Type == r.Type && back.d == r.d && back.D == r.D
        && back.B == r.B && FuzzSupport::factorsShown(r, back));
    if (FuzzSupport::finiteFactors(back))
        FUZZ_CHECK(encodeBearing(EditerLine::toRecord(EditerLine::fromRecord(back)))
            == encodeBearing(back));
    (void)EditerLine::displayText(line);
    return 0;
}
