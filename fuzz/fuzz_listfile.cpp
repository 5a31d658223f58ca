// A whole record file of arbitrary bytes, listed as the record browser lists gear.sav and
// bearing.sav, loaded as the data manager loads the catalogue and searched as Module1 searches it.

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
    const qsizetype n = static_cast<qsizetype>(size);
    RecordFiles::setAppDirectory(FuzzSupport::scratchDir());
    const QString gear = FuzzSupport::putFile(QStringLiteral("gear.sav"), bytes, n);
    const QString bearing = FuzzSupport::putFile(QStringLiteral("bearing.sav"), bytes, n);

    // The browser: one line per whole slot, a torn tail is no line.
    const auto shafts = RecordFiles::readShaftRecords(gear);
    FUZZ_CHECK(shafts && shafts->records.size() == n / ShaftSlot);
    const auto bearings = RecordFiles::readBearingRecords(bearing);
    const qsizetype slotCount = n / BearingSlot;
    FUZZ_CHECK(bearings && bearings->records.size() == slotCount);
    FUZZ_CHECK(bearings->complete == (n % BearingSlot == 0));
    const QList<BearingRecord> &records = bearings->records;
    // The bore filter keeps exactly the records whose d (bytes 13-14) equals the bore.
    const int bore = size >= 15 ? qFromLittleEndian<qint16>(bytes + 13) : 0;
    qsizetype matching = 0;
    for (qsizetype i = 0; i < slotCount; ++i)
        matching += qFromLittleEndian<qint16>(bytes + i * BearingSlot + 13) == bore;
    FUZZ_CHECK(RecordLines::withBore(records, bore).size() == matching);

    // The data manager reads the same slotCount; a file it could not take in whole is marked so.
    auto loaded = BearingCatalogue::load(bearing);
    FUZZ_CHECK(loaded && loaded->records.size() == slotCount);
    BearingCatalogue::Catalogue &read = *loaded;
    FUZZ_CHECK(!read.readWhole() || bearings->complete);
    CatalogueModel model;
    model.setRecords(read.records);
    const QStringList lines = model.lines();
    if (read.readWhole()) {
        // A catalogue read whole keeps every model, type and dimension through a rewrite, and
        // reads back with the values its lines show.
        for (qsizetype i = 0; i < slotCount; ++i) {
            const BearingRecord stored = EditerLine::toRecord(lines.at(i));
            FUZZ_CHECK(fitField(stored.Model, ModelWidth) == records.at(i).Model);
            FUZZ_CHECK(stored.Type == records.at(i).Type && stored.d == records.at(i).d
                && stored.D == records.at(i).D && stored.B == records.at(i).B);
        }
        // Lines stored unedited keep their records' bytes; into a new file they are stored as
        // they show.
        const auto stores = [&lines](const QString &path, BearingCatalogue::Catalogue &from) {
            const auto stored = BearingCatalogue::store(path, from, lines, false);
            return stored && *stored == BearingCatalogue::Stored::Done;
        };
        FUZZ_CHECK(stores(bearing, read));
        QFile stored(bearing);
        FUZZ_CHECK(stored.open(QIODevice::ReadOnly) && stored.readAll() == QByteArray(bytes, n));
        const QString copy = FuzzSupport::putFile(QStringLiteral("copy.sav"), bytes, 0);
        BearingCatalogue::Catalogue fresh;
        FUZZ_CHECK(stores(copy, fresh));
        FUZZ_CHECK(fresh.records.size() == slotCount);
        for (qsizetype i = 0; i < slotCount; ++i) {
            const BearingRecord shown = EditerLine::toRecord(lines.at(i));
            if (FuzzSupport::finiteFactors(shown))
                FUZZ_CHECK(encodeBearing(fresh.records.at(i)) == encodeBearing(shown));
        }
    }

    // A lookup finds the first record of a model (a model that did not decode cleanly cannot be
    // typed, so it is not looked for).
    if (slotCount > 0) {
        const QString key = records.at(qsizetype(data[0]) % slotCount).Model;
        if (fitField(key, ModelWidth) == key) {
            // A stored model that does not decode cleanly never equals a typed key.
            const auto matches = [&](const QString &model) {
                return fitField(model, ModelWidth) == model
                    && RecordFiles::keysEqual(model, key, ModelWidth);
            };
            qsizetype first = 0;
            while (!matches(records.at(first).Model))
                ++first;
            const auto found = Module1::FindBearingRecord(key);
            FUZZ_CHECK(found.ok() && found->has_value());
            FUZZ_CHECK(encodeBearing(**found) == encodeBearing(records.at(first)));
        }
    }
    return 0;
}
