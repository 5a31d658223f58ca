// The merger's plausibility check on any 48 bytes, and a merge of any file into two bearings.

#include "catalogue/combiner.h"
#include "fuzz/fuzzsupport.h"

#include <QSet>
#include <QtEndian>

#include <bit>
#include <cstring>

using namespace RecordLayout;

namespace {

// The check written out from the raw bytes; bytes that are not GBK decode to replacement marks.
bool plausibleBytes(const char *slot)
{
    const auto at
        = [slot](int i) { return std::bit_cast<float>(qFromLittleEndian<quint32>(slot + i)); };
    const QString model = decodeText(slot, ModelWidth).replace(QChar(0), u' ');
    return !model.trimmed().isEmpty() && !model.contains(QChar::ReplacementCharacter)
        && uchar(slot[12]) < 5 && 0 <= at(19) && at(19) < 1 && 0 <= at(23) && at(23) < 10
        && 0 <= at(27) && at(27) < 10 && 1 < at(31) && at(31) < 20000;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const auto slot = FuzzSupport::exactSlot(data, size, BearingSlot);
    FUZZ_CHECK(Combiner::isPlausible(decodeBearing(slot.get())) == plausibleBytes(slot.get()));

    BearingRecord a;
    a.Model = QStringLiteral("6205"), a.Cr = 14;
    BearingRecord b = a;
    b.Model = QStringLiteral("nu2210e");
    const QByteArray before = encodeBearing(a) + encodeBearing(b);
    const QString target
        = FuzzSupport::putFile(QStringLiteral("bearing.sav"), before, before.size());
    const QString source
        = FuzzSupport::putFile(QStringLiteral("source.sav"), bytes, qsizetype(size));
    const auto merged = Combiner::mergeBearingFiles(source, target);
    FUZZ_CHECK(merged.ok() && merged->has_value() && !(*merged)->stopped);

    // Added in order: plausible records of new models (case ignored), their 35 data bytes kept.
    QSet<QString> keys { Combiner::duplicateKey(a.Model), Combiner::duplicateKey(b.Model) };
    QByteArray expected = before;
    for (const char *s = bytes; s + BearingSlot <= bytes + size; s += BearingSlot) {
        const QString key = Combiner::duplicateKey(decodeText(s, ModelWidth));
        if (!keys.contains(key) && plausibleBytes(s)) {
            keys.insert(key);
            expected += QByteArray(s, 35) + QByteArray(13, ' ');
        }
    }
    const QByteArray after = FuzzSupport::readAll(target);
    FUZZ_CHECK(after.size() == expected.size());
    for (qsizetype at = 0; at < after.size(); at += BearingSlot)
        FUZZ_CHECK(std::memcmp(after.constData() + at, expected.constData() + at, 35) == 0);
    FUZZ_CHECK((*merged)->added == (after.size() - before.size()) / BearingSlot
        && (*merged)->targetCount == after.size() / BearingSlot);
    FUZZ_CHECK((*Combiner::mergeBearingFiles(source, target))->added == 0);
    FUZZ_CHECK(FuzzSupport::readAll(target) == after);
    return 0;
}
