// A record file of any bytes, as the browser lists it, the data manager loads it and lookups search
// it.

#include "catalogue/catalogue.h"
#include "catalogue/editerline.h"
#include "fuzz/fuzzsupport.h"
#include "records/recordfile.h"
#include "records/recordlines.h"

#include <QtEndian>

using namespace RecordLayout;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const qsizetype n = qsizetype(size), slotCount = n / BearingSlot;
    RecordFiles::setAppDirectory(FuzzSupport::scratchDir());
    const QString bearing = FuzzSupport::putFile(QStringLiteral("bearing.sav"), bytes, n);
    // One line per whole slot; the bore filter keeps just the records of that d (bytes 13-14).
    const auto shafts
        = RecordFiles::readShaftRecords(FuzzSupport::putFile(QStringLiteral("gear.sav"), bytes, n));
    FUZZ_CHECK(shafts && shafts->records.size() == n / ShaftSlot);
    const auto bearings = RecordFiles::readBearingRecords(bearing);
    FUZZ_CHECK(bearings && bearings->records.size() == slotCount
        && bearings->complete == (n % BearingSlot == 0));
    const QList<BearingRecord> &records = bearings->records;
    const auto dAt = [bytes](qsizetype at) { return qFromLittleEndian<qint16>(bytes + at + 13); };
    const int bore = size >= 15 ? dAt(0) : 0;
    qsizetype matching = 0;
    for (qsizetype i = 0; i < slotCount; ++i)
        matching += dAt(i * BearingSlot) == bore;
    FUZZ_CHECK(RecordLines::withBore(records, bore).size() == matching);

    // The same slots; read whole, the lines keep models, types and dimensions, stored unedited the
    // file keeps its bytes, stored anew each record is stored as its line shows.
    auto read = BearingCatalogue::load(bearing);
    FUZZ_CHECK(
        read && read->records.size() == slotCount && (!read->readWhole() || bearings->complete));
    CatalogueModel model;
    model.setRecords(read->records);
    const QStringList lines = model.lines();
    const auto stores = [&lines](const QString &path, BearingCatalogue::Catalogue &from) {
        const auto stored = BearingCatalogue::store(path, from, lines, false);
        return stored && *stored == BearingCatalogue::Stored::Done;
    };
    if (read->readWhole()) {
        FUZZ_CHECK(stores(bearing, *read) && FuzzSupport::readAll(bearing) == QByteArray(bytes, n));
        BearingCatalogue::Catalogue fresh;
        FUZZ_CHECK(stores(FuzzSupport::putFile(QStringLiteral("copy.sav"), bytes, 0), fresh)
            && fresh.records.size() == slotCount);
        for (qsizetype i = 0; i < slotCount; ++i) {
            const BearingRecord shown = EditerLine::toRecord(lines.at(i)), &r = records.at(i);
            FUZZ_CHECK(fitField(shown.Model, ModelWidth) == r.Model && shown.Type == r.Type
                && shown.d == r.d && shown.D == r.D && shown.B == r.B);
            FUZZ_CHECK(!FuzzSupport::finiteFactors(shown)
                || encodeBearing(fresh.records.at(i)) == encodeBearing(shown));
        }
    }

    // A lookup finds a model's first record (one not decoding cleanly can never be typed).
    const QString key
        = slotCount > 0 ? records.at(qsizetype(data[0]) % slotCount).Model : QString();
    if (slotCount > 0 && fitField(key, ModelWidth) == key) {
        const auto first
            = std::find_if(records.begin(), records.end(), [&](const BearingRecord &r) {
                  return fitField(r.Model, ModelWidth) == r.Model
                      && RecordFiles::keysEqual(r.Model, key, ModelWidth);
              });
        const auto found = Module1::FindBearingRecord(key);
        FUZZ_CHECK(
            found.ok() && found->has_value() && encodeBearing(**found) == encodeBearing(*first));
    }
    return 0;
}
