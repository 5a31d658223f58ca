// The merger's plausibility check on arbitrary 48-byte records, and a merge of an arbitrary
// source file into a small catalogue.

#include "catalogue/combiner.h"
#include "fuzz/fuzzsupport.h"

#include <QSet>
#include <QtEndian>

#include <bit>
#include <cstring>

using namespace RecordLayout;

namespace {

float floatAt(const char *slot, int at)
{
    return std::bit_cast<float>(qFromLittleEndian<quint32>(slot + at));
}

// The check written out from the raw bytes.
bool plausibleBytes(const char *slot)
{
    QString model = decodeText(slot, ModelWidth);
    model.replace(QChar(0), u' ');
    const float e = floatAt(slot, 19), y1 = floatAt(slot, 23), y2 = floatAt(slot, 27),
                cr = floatAt(slot, 31);
    // Bytes that are not GBK decode to replacement characters.
    return !model.trimmed().isEmpty() && !model.contains(QChar::ReplacementCharacter)
        && static_cast<unsigned char>(slot[12]) < 5 && 0 <= e && e < 1 && 1 < cr && cr < 20000
        && 0 <= y1 && y1 < 10 && 0 <= y2 && y2 < 10;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto slot = FuzzSupport::exactSlot(data, size, BearingSlot);
    FUZZ_CHECK(Combiner::isPlausible(decodeBearing(slot.get())) == plausibleBytes(slot.get()));

    // The whole input as a source file merged into a catalogue of two bearings.
    BearingRecord a;
    a.Model = QStringLiteral("6205");
    a.Cr = 14;
    BearingRecord b = a;
    b.Model = QStringLiteral("nu2210e");
    const QByteArray before = encodeBearing(a) + encodeBearing(b);
    const QString target
        = FuzzSupport::putFile(QStringLiteral("bearing.sav"), before, before.size());
    const QString source = FuzzSupport::putFile(
        QStringLiteral("source.sav"), reinterpret_cast<const char *>(data), qsizetype(size));
    const auto merged = Combiner::mergeBearingFiles(source, target);
    FUZZ_CHECK(merged.ok() && merged->has_value() && !(*merged)->stopped);
    const Combiner::MergeResult &result = **merged;

    // Added: each plausible source record whose model (case ignored) is new, in source order,
    // unchanged in its 35 bytes of data; nothing already there is touched.
    QSet<QString> keys { Combiner::duplicateKey(a.Model), Combiner::duplicateKey(b.Model) };
    QByteArray expected = before;
    for (std::size_t at = 0; at + BearingSlot <= size; at += BearingSlot) {
        const char *s = reinterpret_cast<const char *>(data) + at;
        const QString key = Combiner::duplicateKey(decodeText(s, ModelWidth));
        if (keys.contains(key) || !plausibleBytes(s))
            continue;
        keys.insert(key);
        expected += QByteArray(s, 35) + QByteArray(13, ' ');
    }
    const QByteArray after = readAll(target);
    FUZZ_CHECK(after.size() == expected.size());
    for (qsizetype at = 0; at < after.size(); at += BearingSlot)
        FUZZ_CHECK(std::memcmp(after.constData() + at, expected.constData() + at, 35) == 0);
    FUZZ_CHECK(result.added == (after.size() - before.size()) / BearingSlot);
    FUZZ_CHECK(result.targetCount == after.size() / BearingSlot);

    // Merging the same source again adds nothing.
    FUZZ_CHECK((*Combiner::mergeBearingFiles(source, target))->added == 0);
    FUZZ_CHECK(readAll(target) == after);
    return 0;
}
