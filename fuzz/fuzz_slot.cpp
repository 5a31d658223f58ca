// One slot of any bytes as a gear.sav and a bearing.sav record: stored again and shown.

#include "fuzz/fuzzsupport.h"
#include "records/recordlines.h"

#include <cstring>

using namespace FuzzSupport; // with RecordLayout and the string literals
using namespace RecordLines;

// Bytes at..at+width stored again are those of the slot.
static bool kept(const QByteArray &once, const char *slot, int at, int width)
{
    return std::memcmp(once.constData() + at, slot + at, std::size_t(width)) == 0;
}

// A single-byte text field keeps its bytes, a cleanly decoded text its characters.
static void checkText(const QByteArray &once, const char *slot, int at, int width,
    const QString &first, const QString &again)
{
    FUZZ_CHECK(
        first.size() == width && (first.contains(QChar::ReplacementCharacter) || first == again));
    FUZZ_CHECK(!std::all_of(slot + at, slot + at + width, [](char c) { return uchar(c) < 0x80; })
        || kept(once, slot, at, width));
}

// Every number keeps its bits (NaN payloads too); after one round a record is stable.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto gearSlot = exactSlot(data, size, ShaftSlot);
    const auto bearingSlot = exactSlot(data, size, BearingSlot);
    const char *g = gearSlot.get(), *b = bearingSlot.get();
    const ShaftRecord s = decodeShaft(g), sAgain = decodeShaft(encodeShaft(s).constData());
    const QByteArray gearOnce = encodeShaft(s);
    FUZZ_CHECK(gearOnce.size() == ShaftSlot && kept(gearOnce, g, 15, 35)
        && encodeShaft(sAgain) == gearOnce);
    FUZZ_CHECK(Module1::BitsToByte(Module1::ByteToBits(s.Flags)) == s.Flags);
    checkText(gearOnce, g, 0, ShaftNoWidth, s.ShaftNo, sAgain.ShaftNo);
    checkText(gearOnce, g, 50, ModelWidth, s.ModelA, sAgain.ModelA);
    checkText(gearOnce, g, 62, ModelWidth, s.ModelB, sAgain.ModelB);
    const BearingRecord r = decodeBearing(b), again = stored(r);
    const QByteArray once = encodeBearing(r);
    FUZZ_CHECK(once.size() == BearingSlot && kept(once, b, 12, 23) && encodeBearing(again) == once);
    checkText(once, b, 0, ModelWidth, r.Model, again.Model);

    // Browser lines keep their columns; a type goes last as plain digits, copied back whole.
    RecordLineModel gears, bearings;
    gears.setRecords(QList<ShaftRecord> { s });
    bearings.setRecords(QList<BearingRecord> { r });
    const QString gearLine = gears.line(0), viewLine = bearings.line(0);
    const qsizetype typeDigits = QString::number(r.Type).size();
    FUZZ_CHECK(gearLine == ViewGearLine(s) && gearLine.size() == GearLineWidth
        && gears.widestCells() == cellCount(gearLine)
        && numberOfGearLine(gearLine).size() <= ShaftNoWidth);
    FUZZ_CHECK(viewLine.size() == BearingLineWidth - 1 + typeDigits
        && bearings.widestCells() == cellCount(viewLine) && bearingOfLine(viewLine).type == r.Type);

    // The manager's line reads back as shown; stored again no value changes (NaN, Inf: 0 once).
    const QString line = EditerLine::fromRecord(r);
    const BearingRecord back = EditerLine::toRecord(line);
    FUZZ_CHECK(
        line.size() == EditerLine::TypeStart + typeDigits && EditerLine::typeOf(line) == r.Type);
    FUZZ_CHECK(back.Model == r.Model && back.Type == r.Type && back.d == r.d && back.D == r.D
        && back.B == r.B && factorsShown(r, back));
    FUZZ_CHECK(!finiteFactors(back)
        || encodeBearing(EditerLine::toRecord(EditerLine::fromRecord(back)))
            == encodeBearing(back));
    (void)EditerLine::displayText(line);
    return 0;
}
