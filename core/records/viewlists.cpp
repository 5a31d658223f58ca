#include "records/viewlists.h"

#include "records/viewlines.h"

#include <QSize>

#include <algorithm>
#include <cmath>

namespace ViewLists {

bool readGearLines(const QString &path, QStringList &lines, FileError &error)
{
    lines.clear();
    const auto read = RecordFiles::readShaftRecords(path);
    if (!read) {
        error = read.error();
        return false;
    }
    const QList<ShaftRecord> &records = read->records;
    lines.reserve(records.size());
    for (const ShaftRecord &record : std::as_const(records))
        lines.append(ViewGearLine(record));
    return true;
}

bool readBearingLines(
    const QString &path, std::optional<int> bore, QStringList &lines, FileError &error)
{
    lines.clear();
    const auto read = RecordFiles::readBearingRecords(path);
    if (!read) {
        error = read.error();
        return false;
    }
    const QList<BearingRecord> &records = read->records;
    if (!bore)
        lines.reserve(records.size());
    for (const BearingRecord &record : std::as_const(records)) {
        if (!bore || record.d == *bore)
            lines.append(ViewBearingLine(record));
    }
    return true;
}

} // namespace ViewLists

namespace ViewLines {

int cellCount(QStringView line)
{
    int cells = 0;
    for (const QChar c : line)
        cells += c.unicode() < 0x100 ? 1 : 2;
    return cells;
}

} // namespace ViewLines

void LineListModel::setLines(QStringList lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    m_widestCells = 0;
    for (const QString &line : std::as_const(m_lines))
        m_widestCells = std::max(m_widestCells, ViewLines::cellCount(line));
    endResetModel();
}

void LineListModel::setCellMetrics(qreal cellWidth, int extraWidth, int height)
{
    m_cellWidth = cellWidth;
    m_extraWidth = extraWidth;
    m_height = height;
}

int LineListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant LineListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_lines.at(index.row());
    if (role == Qt::SizeHintRole && m_cellWidth > 0) {
        const int width = static_cast<int>(std::ceil(m_widestCells * m_cellWidth)) + m_extraWidth;
        return QSize(width, m_height);
    }
    return QVariant();
}
