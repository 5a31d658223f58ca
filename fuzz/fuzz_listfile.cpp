// A record file of any bytes, as the browser lists it, the data manager loads it, lookups search it
// and the merger adds it to a catalogue.

#include "catalogue/catalogue.h"
#include "catalogue/combiner.h"
#include "fuzz/fuzzsupport.h"
#include "records/recordfile.h"
#include "records/recordlines.h"

using namespace FuzzSupport; // with RecordLayout and the string literals

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const qsizetype n = qsizetype(size), slotCount = n / BearingSlot;
    RecordFiles::setAppDirectory(scratchDir());
    const QString bearing = putFile(u"bearing.sav"_s, bytes, n);
    // One line per whole slot; the bore filter keeps just the records of that d (bytes 13-14).
    const auto shafts = RecordFiles::readShaftRecords(putFile(u"gear.sav"_s, bytes, n));
    const auto bearings = RecordFiles::readBearingRecords(bearing);
    FUZZ_CHECK(shafts && shafts->records.size() == n / ShaftSlot);
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
    BearingCatalogue::Catalogue fresh;
    const auto stores = [&lines](const QString &path, BearingCatalogue::Catalogue &from) {
        const auto stored = BearingCatalogue::store(path, from, lines, false);
        return stored && *stored == BearingCatalogue::Stored::Done;
    };
    FUZZ_CHECK(
        !read->readWhole() || (stores(bearing, *read) && readAll(bearing) == QByteArray(bytes, n)));
    FUZZ_CHECK(!read->readWhole()
        || (stores(putFile(u"copy.sav"_s, bytes, 0), fresh) && fresh.records.size() == slotCount));
    for (qsizetype i = 0; read->readWhole() && i < slotCount; ++i) {
        const BearingRecord shown = EditerLine::toRecord(lines.at(i)), &r = records.at(i);
        FUZZ_CHECK(fitField(shown.Model, ModelWidth) == r.Model && shown.Type == r.Type
            && shown.d == r.d && shown.D == r.D && shown.B == r.B);
        FUZZ_CHECK(
            !finiteFactors(shown) || encodeBearing(fresh.records.at(i)) == encodeBearing(shown));
    }

    // A lookup finds a model's first record (one not decoding cleanly can never be typed).
    const QString key = slotCount > 0 ? records.at(data[0] % slotCount).Model : QString();
    if (slotCount > 0 && fitField(key, ModelWidth) == key) {
        const auto first = std::ranges::find_if(records, [&](const BearingRecord &r) {
            return fitField(r.Model, ModelWidth) == r.Model
                && RecordFiles::keysEqual(r.Model, key, ModelWidth);
        });
        const auto found = Module1::FindBearingRecord(key);
        FUZZ_CHECK(
            found.ok() && found->has_value() && encodeBearing(**found) == encodeBearing(*first));
    }

    // Merged into two bearings: whole slots appended after them, counted; merged again, nothing
    // changes. (Which records are plausible is pinned by the merge tests' hand-made rows.)
    const BearingRecord a { .Model = u"6205"_s, .Cr = 14 }, b { .Model = u"nu2210e"_s, .Cr = 14 };
    const QByteArray before = encodeBearing(a) + encodeBearing(b);
    const QString target = putFile(u"merged.sav"_s, before, before.size()),
                  source = putFile(u"source.sav"_s, bytes, n);
    const auto merged = Combiner::mergeBearingFiles(source, target);
    FUZZ_CHECK(merged.ok() && merged->has_value() && !(*merged)->stopped);
    const QByteArray after = readAll(target);
    FUZZ_CHECK(after.startsWith(before) && after.size() % BearingSlot == 0
        && (*merged)->added == (after.size() - before.size()) / BearingSlot
        && (*merged)->added <= slotCount && (*merged)->targetCount == after.size() / BearingSlot);
    FUZZ_CHECK(
        (*Combiner::mergeBearingFiles(source, target))->added == 0 && readAll(target) == after);
    return 0;
}
