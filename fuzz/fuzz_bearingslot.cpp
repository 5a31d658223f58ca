// Decoding one bearing.sav slot of arbitrary bytes, encoding it again, showing it as the record
// browser and the data manager do, and reading the data manager's line back.

#include "catalogue/editerline.h"
#include "fuzz/fuzzsupport.h"
#include "records/recordlines.h"
#include "records/records.h"

#include <cmath>
#include <cstring>

using namespace RecordLayout;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto slot = FuzzSupport::exactSlot(data, size, BearingSlot);
    const BearingRecord r = decodeBearing(slot.get());
    FUZZ_CHECK(r.Model.size() == ModelWidth);

    const QByteArray once = encodeBearing(r);
    FUZZ_CHECK(once.size() == BearingSlot);
    FUZZ_CHECK(std::memcmp(once.constData() + 12, slot.get() + 12, 35 - 12) == 0);
    const auto *model = reinterpret_cast<const unsigned char *>(slot.get());
    bool ascii = true;
    for (int i = 0; i < ModelWidth; ++i)
        ascii = ascii && model[i] < 0x80;
    if (ascii)
        FUZZ_CHECK(std::memcmp(once.constData(), model, ModelWidth) == 0);
    const BearingRecord again = decodeBearing(once.constData());
    FUZZ_CHECK(encodeBearing(again) == once);
    if (!r.Model.contains(QChar(QChar::ReplacementCharacter)))
        FUZZ_CHECK(again.Model == r.Model);

    // The browser: the type goes last as plain digits and is copied back whole.
    RecordLineModel model;
    model.setRecords(QList<BearingRecord> { r });
    const QString viewLine = model.line(0);
    FUZZ_CHECK(
        viewLine.size() == RecordLines::BearingLineWidth - 1 + QString::number(r.Type).size());
    FUZZ_CHECK(model.widestCells() == RecordLines::cellCount(viewLine));
    FUZZ_CHECK(RecordLines::bearingOfLine(viewLine).type == r.Type);

    // The data manager: its line reads back as the record, numbers as their columns show them.
    const QString line = EditerLine::fromRecord(r);
    FUZZ_CHECK(line.size() == EditerLine::TypeStart + QString::number(r.Type).size());
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
    return 0;
}
