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

// The slot bytes that store lines (see store).
bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

QByteArray slotsFor(const QStringList &lines, const Catalogue &read)
{
    // The records read, by the line each shows; equal lines take their records in file order
    // (the sort is stable, so they keep that order among themselves).
    QHash<QString, QList<qsizetype>> shown;
    for (qsizetype i = 0; i < read.records.size(); ++i)
        shown[EditerLine::fromRecord(read.records.at(i))].append(i);
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

} // namespace

Result<Catalogue> load(const QString &path)
{
    Result<RecordFiles::Snapshot> snapshot
        = RecordFiles::readSnapshot(path, RecordLayout::BearingSlot);
    if (!snapshot)
        return snapshot.error();
    Catalogue out;
    out.file = std::move(*snapshot);
    const QByteArray &slotBytes = out.file.slotBytes;
    const qsizetype count = slotBytes.size() / RecordLayout::BearingSlot;
    out.records.reserve(count);
    int badModel = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const BearingRecord record
            = RecordLayout::decodeBearing(slotBytes.constData() + i * RecordLayout::BearingSlot);
        // A model whose bytes are not GBK decodes with replacement characters; an all-ASCII model
        // came from ASCII bytes and needs no second look (most of a catalogue).
        if (badModel == 0 && !isAscii(record.Model)
            && RecordLayout::fitField(record.Model, RecordLayout::ModelWidth) != record.Model)
            badModel = int(i) + 1;
        out.records.append(record);
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
    return out;
}

Result<Stored> store(const QString &path, Catalogue &read, const QStringList &lines, bool backup)
{
    if (lines.size() > RecordLayout::MaxRecords) {
        return FileError { path,
            QStringLiteral("轴承记录超过 %1 条，无法保存").arg(RecordLayout::MaxRecords) };
    }
    const QByteArray bytes = slotsFor(lines, read);
    // Taken only now, from the bytes kept since the reading: opening the window stays as fast as
    // reading the file. A catalogue never read stands for an empty file: it is not stored over
    // records.
    const QByteArray expected = RecordFiles::fingerprint(read.file.size, read.file.slotBytes);
    const Result<RecordFiles::Rewrite> rewritten
        = RecordFiles::rewriteBearingSlotsIfUnchanged(path, bytes, expected, backup);
    if (!rewritten)
        return rewritten.error();
    if (rewritten->changed)
        return Stored::ChangedMeanwhile;
    read.records.clear();
    for (qsizetype at = 0; at < bytes.size(); at += RecordLayout::BearingSlot)
        read.records.append(RecordLayout::decodeBearing(bytes.constData() + at));
    read.problems.clear();
    read.file.slotBytes = bytes;
    read.file.size = bytes.size();
    read.file.wholeSlots = bytes.size() / RecordLayout::BearingSlot;
    return Stored::Done;
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

Change applyEntry(const QStringList &lines, const EditerLine::Entry &entry,
    const std::optional<Edit> &edit, const QString &path)
{
    using EditerLine::Field;
    Change change;
    if (const QString lost = RecordLayout::charactersOutsideGbk(entry.model); !lost.isEmpty()) {
        change.refusal = { Field::ModelTaken, 0 };
        change.message = RecordLayout::outsideGbkMessage(QStringLiteral("型号"), lost);
        return change;
    }
    QString line;
    if (!EditerLine::fromEntry(entry, line, change.refusal))
        return change;
    change.model = EditerLine::modelOf(line);
    qsizetype at = -1;
    for (qsizetype i = 0; i < lines.size() && at < 0; ++i) {
        if (QStringView(lines.at(i)).left(EditerLine::ModelWidth) == change.model)
            at = i;
    }
    if (!edit) {
        if (at >= 0) {
            change.refusal = { Field::ModelTaken, 0 };
        } else if (lines.size() >= RecordLayout::MaxRecords) {
            change.refusal = { Field::Full, 0 };
            change.message = path
                + QStringLiteral(": 已有 %1 条轴承记录，不能再增加。")
                      .arg(RecordLayout::MaxRecords);
        } else {
            change.lines = lines;
            change.lines.append(line);
        }
        return change;
    }
    // The edited line must still be where the edit began.
    if (edit->index < 0 || edit->index >= lines.size()
        || EditerLine::modelOf(lines.at(edit->index)) != edit->model) {
        change.refusal = { Field::Line, 0 };
    } else if (at >= 0 && at != edit->index) {
        change.refusal = { Field::ModelTaken, 0 };
    } else {
        change.lines = lines;
        change.lines[edit->index] = line;
    }
    return change;
}

Result<> dumpLines(const QString &path, const QStringList &lines)
{
    return TextFile::writeLines(path, lines, false);
}

} // namespace BearingCatalogue

void CatalogueModel::setRecords(QList<BearingRecord> records)
{
    beginResetModel();
    m_records = std::move(records);
    m_lines.clear();
    endResetModel();
}

void CatalogueModel::setLines(QStringList lines)
{
    beginResetModel();
    m_records.clear();
    m_lines = std::move(lines);
    endResetModel();
}

QString CatalogueModel::line(int row) const
{
    if (row < 0 || row >= rowCount())
        return QString();
    return m_records.isEmpty() ? m_lines.at(row) : EditerLine::fromRecord(m_records.at(row));
}

QStringList CatalogueModel::lines() const
{
    if (m_records.isEmpty())
        return m_lines;
    QStringList out;
    out.reserve(m_records.size());
    for (const BearingRecord &record : m_records)
        out.append(EditerLine::fromRecord(record));
    return out;
}

int CatalogueModel::findModel(const QString &model) const
{
    for (int row = 0; row < rowCount(); ++row) {
        const bool same = m_records.isEmpty()
            ? QStringView(m_lines.at(row)).left(EditerLine::ModelWidth) == model
            : Conv::fitText(m_records.at(row).Model, EditerLine::ModelWidth) == model;
        if (same)
            return row;
    }
    return -1;
}

int CatalogueModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(m_records.isEmpty() ? m_lines.size() : m_records.size());
}

QVariant CatalogueModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return EditerLine::displayText(line(index.row()));
    if (role == Qt::EditRole)
        return line(index.row());
    return QVariant();
}
