// Decoding one gear.sav slot of arbitrary bytes, encoding it again and showing it as the record
// browser does.

#include "fuzz/fuzzsupport.h"
#include "records/recordlines.h"
#include "records/records.h"

#include <cstring>

using namespace RecordLayout;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto slot = FuzzSupport::exactSlot(data, size, ShaftSlot);
    const ShaftRecord r = decodeShaft(slot.get());
    FUZZ_CHECK(r.ShaftNo.size() == ShaftNoWidth);
    FUZZ_CHECK(r.ModelA.size() == ModelWidth && r.ModelB.size() == ModelWidth);

    // One whole slot; every number keeps its bits (NaN payloads included), the option bits too.
    const QByteArray once = encodeShaft(r);
    FUZZ_CHECK(once.size() == ShaftSlot);
    FUZZ_CHECK(std::memcmp(once.constData() + 15, slot.get() + 15, 50 - 15) == 0);
    FUZZ_CHECK(Module1::BitsToByte(Module1::ByteToBits(r.Flags)) == r.Flags);
    // A text field of single-byte characters goes back byte for byte.
    for (const auto &[at, width] :
        { std::pair { 0, ShaftNoWidth }, { 50, ModelWidth }, { 62, ModelWidth } }) {
        const auto *field = reinterpret_cast<const unsigned char *>(slot.get() + at);
        bool ascii = true;
        for (int i = 0; i < width; ++i)
            ascii = ascii && field[i] < 0x80;
        if (ascii)
            FUZZ_CHECK(std::memcmp(once.constData() + at, field, std::size_t(width)) == 0);
    }
    // After one round a record is stable: what was stored reads back and stores the same bytes,
    // and a text that decoded cleanly is kept as it was.
    const ShaftRecord again = decodeShaft(once.constData());
    FUZZ_CHECK(encodeShaft(again) == once);
    for (const auto &[first, second] : { std::pair { &r.ShaftNo, &again.ShaftNo },
             { &r.ModelA, &again.ModelA }, { &r.ModelB, &again.ModelB } }) {
        if (!first->contains(QChar(QChar::ReplacementCharacter)))
            FUZZ_CHECK(*first == *second);
    }

    // The browser's line keeps its columns whatever the record holds.
    // The list model measures the line's cells without making it.
    RecordLineModel model;
    model.setRecords(QList<ShaftRecord> { r });
    const QString line = model.line(0);
    FUZZ_CHECK(line == RecordLines::ViewGearLine(r) && line.size() == RecordLines::GearLineWidth);
    FUZZ_CHECK(model.widestCells() == RecordLines::cellCount(line));
    FUZZ_CHECK(RecordLines::numberOfGearLine(line).size() <= ShaftNoWidth);
    return 0;
}
