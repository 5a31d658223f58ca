#include "ui/bearings/catalogue.h"

#include "calc/conversions.h"
#include "records/textfile.h"
#include "ui/bearings/editerline.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace BearingCatalogue {

namespace {

constexpr int PrefixLength = 3;

struct SortKey
{
    QCollatorSortKey prefix;
    int type;
    int d;
};

} // namespace

bool loadLines(const QString &path, QStringList &lines, StoreError &error, bool &complete)
{
    lines.clear();
    QList<BearingRecord> records;
    complete = false;
    if (!RecordFiles::readBearingRecords(path, records, error, &complete))
        return false;
    if (!complete) {
        error = { path,
            QStringLiteral("文件末尾有不完整的记录，或记录超过 %1 条").arg(RecordLayout::MaxRecords) };
    }
    lines.reserve(records.size());
    for (const BearingRecord &record : std::as_const(records)) {
        // A model whose bytes are not GBK would be stored back with '?' in place of them.
        if (complete
            && RecordLayout::fitField(record.Model, RecordLayout::ModelWidth) != record.Model) {
            complete = false;
            error = { path,
                QStringLiteral("第 %1 个记录的型号不是有效的GBK编码").arg(lines.size() + 1) };
        }
        lines.append(EditerLine::fromRecord(record));
    }
    return true;
}

QCollator catalogueCollator()
{
    QCollator collator; // the user's locale
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setIgnorePunctuation(false); // the blank sorts before digits, digits before letters
    collator.setNumericMode(false);
    return collator;
}

void sortLines(QStringList &lines, const QCollator &collator)
{
    // Each key is worked out once; the comparisons then only look at the prepared keys. A stable
    // sort on (prefix, type, d) gives the same order as sorting by prefix, then by type inside each
    // prefix group, then by d inside each type group, each pass stable.
    std::vector<SortKey> keys;
    keys.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString &line : std::as_const(lines)) {
        std::int16_t d = 0;
        if (Conv::toInteger(Conv::valueOf(EditerLine::columnText(line, EditerLine::ColD)), d)
            != Fault::None)
            d = 0;
        keys.push_back({ collator.sortKey(line.left(PrefixLength)), EditerLine::typeOf(line), d });
    }
    std::vector<qsizetype> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](qsizetype a, qsizetype b) {
        const SortKey &ka = keys[static_cast<std::size_t>(a)];
        const SortKey &kb = keys[static_cast<std::size_t>(b)];
        if (const int c = ka.prefix.compare(kb.prefix); c != 0)
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

bool rewriteFromLines(const QString &path, const QStringList &lines, StoreError &error)
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
    return RecordFiles::rewriteBearingFile(path, records, error);
}

bool dumpLines(const QString &path, const QStringList &lines, StoreError &error)
{
    return TextFile::writeLines(path, lines, error);
}

} // namespace BearingCatalogue
