#pragma once

// The record browser's text lines, headings and list model, and the rules that read a line back.
// GUI-free: QAbstractListModel belongs to Qt Core.
//
// A line is counted in characters: a list font in which every ASCII character takes one cell and
// every Chinese character two makes the columns stand under the headings.
//   ViewGearLine     one ShaftRecord of gear.sav, 70 characters:
//                    number 16 | power 12 | speed 8 | span 8 | model A 13 | model B 13
//   ViewBearingLine  one BearingRecord of bearing.sav, 67 characters for a one-digit type:
//                    model 13 | d 7 | D 7 | B 7 | e 7 | Y1 7 | Y2 7 | Cr 7 | 4 blanks | type

#include "records/records.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace RecordLines {

constexpr int GearLineWidth = 70;
constexpr int BearingLineWidth = 67; // with a one-digit type
// The first column of a bearing line; lblItem(1) starts after it.
constexpr int ModelColumnWidth = 13;

// The line of one shaft-system record: the power column shows P1 alone when P1 and P2 differ by at
// most 0.01 (at single precision), else "P1/P2"; every field is cut or blank-filled to its column.
QString ViewGearLine(const ShaftRecord &record);
// The line of one bearing record; the type goes last as plain digits, not fitted to a column.
QString ViewBearingLine(const BearingRecord &record);

// Captions of lblItem(0) and lblItem(1). The shaft-system heading set when the window loads has
// one blank more between 转速 and 跨距 than the one set when the user switches views.
QString bearingKeyHeading(); // " 型 号"
QString bearingHeading(); // " d      D      B ... Cr(kN)   类型"
QString gearKeyHeading(); // " 编 号"
QString gearHeadingOnSwitch(); // four blanks between 转速 and 跨距
QString gearHeadingOnLoad(); // five blanks between 转速 and 跨距

// The bore diameter a key text asks for: the value of its leading numeric part rounded to a whole
// number, halves to even ("40mm" -> 40, "40.5" -> 40, "41.5" -> 42). Empty when the whole
// catalogue is to be shown (empty text, no leading number, 0 or negative). A value beyond the
// 16-bit range comes back as 32768, which no stored d can equal.
std::optional<int> boreKey(QStringView text);

// The filter: the records whose d equals bore exactly, in record order.
QList<BearingRecord> withBore(const QList<BearingRecord> &records, int bore);

// The number a ViewGearLine carries: its first 15 characters without trailing blanks.
QString numberOfGearLine(const QString &line);

// What "->轴 承A" / "->轴 承B" copy from a ViewBearingLine: the texts as shown (already cut to
// their columns, so a Cr of 1234.567 copies as "1234.56"), without trailing blanks.
struct BearingCopy
{
    QString model; // characters 1-12
    QString e; // 7 characters from column 35
    QString Y1; // from column 42
    QString Y2; // from column 49
    QString Cr; // from column 56
    int type = -1; // the digits from column 67; -1 when they are not a whole number 0..255
};
BearingCopy bearingOfLine(const QString &line);

// The cells a text takes in the list font: one for a character below U+0100, two for any other
// (Chinese characters and the other GBK symbols); never less than the real width.
int cellCount(QStringView text);

} // namespace RecordLines

// The decoded records of one browser list. A line is made only when the view asks for it, so
// opening a list of 32767 records costs little more than reading them. Replacing the records is
// one model reset. Every row has the same size (the view uses uniform item sizes): wide enough for
// the widest line, so no line is clipped and the list scrolls sideways only when a line does not
// fit.
class RecordLineModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setRecords(QList<ShaftRecord> records);
    void setRecords(QList<BearingRecord> records);
    // The line of a row, or an empty text for a row that is not there.
    QString line(int row) const;
    int widestCells() const { return m_widestCells; }

    // The view's font and item margins: a row is cellWidth * widestCells() + extraWidth wide and
    // height high. Until this is called rows take the delegate's own size.
    void setCellMetrics(qreal cellWidth, int extraWidth, int height);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<ShaftRecord> m_gears;
    QList<BearingRecord> m_bearings;
    bool m_showsGears = true;
    int m_widestCells = 0;
    qreal m_cellWidth = 0;
    int m_extraWidth = 0;
    int m_height = 0;
};
