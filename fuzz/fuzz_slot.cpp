// One slot of arbitrary bytes decoded as a gear.sav and as a bearing.sav record, encoded again,
// and shown as the record browser and the data manager show it.

#include "catalogue/editerline.h"
#include "fuzz/fuzzsupport.h"
#include "records/recordlines.h"

#include <cmath>
#include <cstring>

using namespace RecordLayout;

namespace {

// A text field of single-byte characters is stored again byte for byte.
void checkTextField(const QByteArray &stored, const char *slot, int at, int width)
{
    for (int i = at; i < at + width; ++i) {
        if (static_cast<unsigned char>(slot[i]) >= 0x80)
            return;
    }
    FUZZ_CHECK(std::memcmp(stored.constData() + at, slot + at, std::size_t(width)) == 0);
}

// A text that decoded cleanly is kept through one more round.
void checkKept(const QString &first, const QString &again)
{
    if (!first.contains(QChar(QChar::ReplacementCharacter)))
        FUZZ_CHECK(first == again);
}

void checkShaft(const char *slot)
{
    const ShaftRecord r = decodeShaft(slot);
    FUZZ_CHECK(r.ShaftNo.size() == ShaftNoWidth);
    FUZZ_CHECK(r.ModelA.size() == ModelWidth && r.ModelB.size() == ModelWidth);
    // One whole slot; every number keeps its bits (NaN payloads included), the option bits too.
    const QByteArray once = encodeShaft(r);
    FUZZ_CHECK(once.size() == ShaftSlot && std::memcmp(once.constData() + 15, slot + 15, 35) == 0);
    FUZZ_CHECK(Module1::BitsToByte(Module1::ByteToBits(r.Flags)) == r.Flags);
    checkTextField(once, slot, 0, ShaftNoWidth);
    checkTextField(once, slot, 50, ModelWidth);
    checkTextField(once, slot, 62, ModelWidth);
    // After one round a record is stable.
    const ShaftRecord again = decodeShaft(once.constData());
    FUZZ_CHECK(encodeShaft(again) == once);
    checkKept(r.ShaftNo, again.ShaftNo);
    checkKept(r.ModelA, again.ModelA);
    checkKept(r.ModelB, again.ModelB);

    // The browser's line keeps its columns whatever the record holds; the list model measures its
    // cells without making it.
    RecordLineModel model;
    model.setRecords(QList<ShaftRecord> { r });
    const QString line = model.line(0);
    FUZZ_CHECK(line == RecordLines::ViewGearLine(r) && line.size() == RecordLines::GearLineWidth);
    FUZZ_CHECK(model.widestCells() == RecordLines::cellCount(line));
    FUZZ_CHECK(RecordLines::numberOfGearLine(line).size() <= ShaftNoWidth);
}

void checkBearing(const char *slot)
{
    const BearingRecord r = decodeBearing(slot);
    FUZZ_CHECK(r.Model.size() == ModelWidth);
    const QByteArray once = encodeBearing(r);
    FUZZ_CHECK(
        once.size() == BearingSlot && std::memcmp(once.constData() + 12, slot + 12, 23) == 0);
    checkTextField(once, slot, 0, ModelWidth);
    const BearingRecord again = decodeBearing(once.constData());
    FUZZ_CHECK(encodeBearing(again) == once);
    checkKept(r.Model, again.Model);

    // The browser: the type goes last as plain digits and is copied back whole.
    RecordLineModel model;
    model.setRecords(QList<BearingRecord> { r });
    const QString viewLine = model.line(0);
    const qsizetype typeDigits = QString::number(r.Type).size();
    FUZZ_CHECK(viewLine.size() == RecordLines::BearingLineWidth - 1 + typeDigits);
    FUZZ_CHECK(model.widestCells() == RecordLines::cellCount(viewLine));
    FUZZ_CHECK(RecordLines::bearingOfLine(viewLine).type == r.Type);

    // The data manager: its line reads back as the record, numbers as their columns show them.
    const QString line = EditerLine::fromRecord(r);
    FUZZ_CHECK(line.size() == EditerLine::TypeStart + typeDigits);
    FUZZ_CHECK(EditerLine::typeOf(line) == r.Type);
    const BearingRecord back = EditerLine::toRecord(line);
    FUZZ_CHECK(back.Model == r.Model && back.Type == r.Type);
    FUZZ_CHECK(back.d == r.d && back.D == r.D && back.B == r.B);
    for (const auto &[shown, read] :
        { std::pair { r.e, back.e }, { r.Y1, back.Y1 }, { r.Y2, back.Y2 }, { r.Cr, back.Cr } }) {
        if (std::isfinite(shown))
            FUZZ_CHECK(FuzzSupport::sameMagnitude(shown, read));
    }
    // Storing the line again changes no value (a NaN or an infinity is stored as 0 once).
    if (FuzzSupport::finiteFactors(back)) {
        const QString line2 = EditerLine::fromRecord(back);
        FUZZ_CHECK(encodeBearing(EditerLine::toRecord(line2)) == encodeBearing(back));
    }
    (void)EditerLine::displayText(line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkShaft(FuzzSupport::exactSlot(data, size, ShaftSlot).get());
    checkBearing(FuzzSupport::exactSlot(data, size, BearingSlot).get());
    return 0;
}
