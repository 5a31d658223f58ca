#pragma once

// The record browser's two lists read from the record files, and the model that shows them.
// GUI-free: QAbstractListModel belongs to Qt Core.

#include "records/recordfile.h"

#include <QAbstractListModel>
#include <QStringList>

#include <optional>

namespace ViewLists {

// FillGearList's lines: the ViewGearLine of every whole record of the file, in record order, read
// in one pass (a torn last slot is not a record). A missing file is created empty and gives no
// line. Returns false and fills error (lines empty) when the file cannot be read.
bool readGearLines(const QString &path, QStringList &lines, FileError &error);

// FillBearingList's lines, or with a bore the filter's: only the records whose d equals it
// exactly, still in record order.
bool readBearingLines(
    const QString &path, std::optional<int> bore, QStringList &lines, FileError &error);

} // namespace ViewLists

namespace ViewLines {
// The cells a line takes in the list font: one for a character below U+0100, two for any other
// (Chinese characters and the other GBK symbols); never less than the real width.
int cellCount(QStringView line);
} // namespace ViewLines

// One list of lines for a QListView; replacing all lines is one model reset, so a list of 32767
// records is not inserted row by row. Every row has the same size (the view uses uniform item
// sizes): wide enough for the widest line, so no line is clipped and the list scrolls sideways
// only when a line does not fit.
class LineListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setLines(QStringList lines);
    const QStringList &lines() const { return m_lines; }
    // The line of a row, or an empty text for a row that is not there.
    QString line(int row) const { return m_lines.value(row); }
    int widestCells() const { return m_widestCells; }

    // The view's font and item margins: a row is cellWidth * widestCells() + extraWidth wide and
    // height high. Until this is called rows take the delegate's own size.
    void setCellMetrics(qreal cellWidth, int extraWidth, int height);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QStringList m_lines;
    int m_widestCells = 0;
    qreal m_cellWidth = 0;
    int m_extraWidth = 0;
    int m_height = 0;
};
