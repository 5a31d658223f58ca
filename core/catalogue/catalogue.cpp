#include "catalogue/catalogue.h"

#include "calc/conversions.h"
#include "catalogue/editerline.h"
#include "reports/textfile.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <numeric>
#include <vector>

namespace BearingCatalogue {

namespace {

constexpr int PrefixLength = 3;

struct SortKey
{
    QString prefix; // case-folded
    int type;
    int d;
};

} // namespace

bool load(const QString &path, Catalogue &out, FileError &error)
{
    out = Catalogue();
    Result<RecordFiles::Snapshot> snapshot
        = RecordFiles::readSnapshot(path, RecordLayout::BearingSlot);
    if (!snapshot) {
        error = snapshot.error();
        return false;
    }
    out.file = std::move(*snapshot);
    const QByteArray &slotBytes = out.file.slotBytes;
    const qsizetype count = slotBytes.size() / RecordLayout::BearingSlot;
    out.lines.reserve(count);
    int badModel = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const BearingRecord record
            = RecordLayout::decodeBearing(slotBytes.constData() + i * RecordLayout::BearingSlot);
        // A model whose bytes are not GBK decodes with replacement characters.
        if (badModel == 0
            && RecordLayout::fitField(record.Model, RecordLayout::ModelWidth) != record.Model)
            badModel = int(i) + 1;
        out.lines.append(EditerLine::fromRecord(record));
    }
    const qint64 torn = out.file.tornBytes(RecordLayout::BearingSlot);
    if (torn > 0) {
        out.problems.append(
            QFileInfo(path).fileName() + QStringLiteral(" 末尾有 %1 个字节不是完整记录").arg(torn));
    }
    if (badModel > 0)
        out.problems.append(QStringLiteral("第 %1 个记录的型号不是有效的 GBK 编码").arg(badModel));
    if (out.file.wholeSlots > RecordLayout::MaxRecords)
        out.problems.append(QStringLiteral("只读入了前 %1 个记录").arg(RecordLayout::MaxRecords));
    return true;
}

QByteArray slotsFor(const QStringList &lines, const Catalogue &read)
{
    // The records read, by the line each shows; equal lines take their records in file order
    // (the sort is stable, so they keep that order among themselves).
    QHash<QString, QList<qsizetype>> shown;
    for (qsizetype i = 0; i < read.lines.size(); ++i)
        shown[read.lines.at(i)].append(i);
    QByteArray bytes;
    bytes.reserve(lines.size() * RecordLayout::BearingSlot);
    for (const QString &line : lines) {
        const auto it = shown.find(line);
        if (it != shown.end() && !it->isEmpty()) {
            bytes += read.file.slotBytes.mid(
                it->takeFirst() * RecordLayout::BearingSlot, RecordLayout::BearingSlot);
        } else {
            bytes += RecordLayout::encodeBearing(EditerLine::toRecord(line));
        }
    }
    return bytes;
}

bool store(const QString &path, Catalogue &read, const QStringList &lines, bool backup,
    bool &changed, FileError &error)
{
    changed = false;
    if (lines.size() > RecordLayout::MaxRecords) {
        error = { path,
            QStringLiteral("轴承记录超过 %1 条，无法保存").arg(RecordLayout::MaxRecords) };
        return false;
    }
    const QByteArray bytes = slotsFor(lines, read);
    // A catalogue never read stands for an empty file: it is not stored over records.
    const QByteArray expected = read.file.fingerprint.isEmpty()
        ? RecordFiles::fingerprint(0, QByteArray())
        : read.file.fingerprint;
    const Result<RecordFiles::Rewrite> rewritten
        = RecordFiles::rewriteBearingSlotsIfUnchanged(path, bytes, expected, backup);
    if (!rewritten)
        error = rewritten.error();
    changed = rewritten && rewritten->changed;
    if (!rewritten || changed)
        return false;
    read.lines = lines;
    read.problems.clear();
    read.file.slotBytes = bytes;
    read.file.size = bytes.size();
    read.file.wholeSlots = bytes.size() / RecordLayout::BearingSlot;
    read.file.fingerprint = RecordFiles::fingerprint(read.file.size, bytes);
    return true;
}

bool loadLines(const QString &path, QStringList &lines, FileError &error, bool &complete)
{
    lines.clear();
    complete = false;
    Catalogue read;
    if (!load(path, read, error))
        return false;
    lines = read.lines;
    complete = read.readWhole();
    if (!complete)
        error = { path, read.problems.join(QStringLiteral("；")) };
    return true;
}

void sortLines(QStringList &lines)
{
    // Each key is worked out once; the comparisons then only look at the prepared keys. A stable
    // sort on (prefix, type, d) gives the same order as sorting by prefix, then by type inside each
    // prefix group, then by d inside each type group, each pass stable. The prefix compares as
    // case-folded code units, not by the user's collation: the order of the catalogue file must
    // not depend on the locale the program happens to run in.
    std::vector<SortKey> keys;
    keys.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString &line : std::as_const(lines)) {
        std::int16_t d = 0;
        if (Conv::toInteger(Conv::valueOf(EditerLine::columnText(line, EditerLine::ColD)), d)
            != Fault::None)
            d = 0;
        keys.push_back({ line.left(PrefixLength).toCaseFolded(), EditerLine::typeOf(line), d });
    }
    std::vector<qsizetype> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](qsizetype a, qsizetype b) {
        const SortKey &ka = keys[static_cast<std::size_t>(a)];
        const SortKey &kb = keys[static_cast<std::size_t>(b)];
        if (const int c = QString::compare(ka.prefix, kb.prefix); c != 0)
            return c < 0;
        if (ka.type != kb.type)
            return ka.type < kb.type;
        return ka.d < kb.d;
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (const qsizetype i : order)
        sorted.append(lines.at(i));
    lines = std::move(sorted);
}

bool rewriteFromLines(const QString &path, const QStringList &lines, FileError &error)
{
    if (lines.size() > RecordLayout::MaxRecords) {
        error = { path,
            QStringLiteral("轴承记录超过 %1 条，无法保存").arg(RecordLayout::MaxRecords) };
        return false;
    }
    QList<BearingRecord> records;
    records.reserve(lines.size());
    for (const QString &line : lines)
        records.append(EditerLine::toRecord(line));
    const Result<> rewritten = RecordFiles::rewriteBearingFile(path, records);
    if (!rewritten)
        error = rewritten.error();
    return rewritten.ok();
}

bool dumpLines(const QString &path, const QStringList &lines, FileError &error)
{
    const Result<> written = TextFile::writeLines(path, lines, false);
    if (!written)
        error = written.error();
    return written.ok();
}

} // namespace BearingCatalogue
