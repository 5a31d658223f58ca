#include "records/recordlines.h"

#include "calc/conversions.h"
#include "records/recall.h"

#include <QSize>

#include <algorithm>
#include <cmath>

namespace {

// A stored text as shown in a line. Control characters (the NUL padding of files written by other
// programs, tabs, line breaks) become blanks, so every record stays one row and keeps its columns.
bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F); // Unicode's control characters, Cc
}

QString shownText(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return text;
    QString out = text;
    std::replace_if(out.begin(), out.end(), isControl, QChar(u' '));
    return out;
}

// Characters [first, first + width) of a line without trailing blanks; first counts from 0.
QString cut(const QString &line, int first, int width)
{
    return Conv::trimRight(line.mid(first, width));
}

bool isWide(QChar c)
{
    return c.unicode() >= 0x100;
}

// The cells beyond one per character that a text fitted to width takes (Conv::fitText blanks a
// high surrogate left alone at the cut), counted without building the fitted text.
int extraCells(const QString &text, int width)
{
    const QStringView kept = QStringView(text).left(width);
    int extra = static_cast<int>(std::count_if(kept.begin(), kept.end(), isWide));
    if (text.size() >= width && !kept.isEmpty() && kept.back().isHighSurrogate())
        --extra;
    return extra;
}

} // namespace

namespace RecordLines {

QString ViewGearLine(const ShaftRecord &record)
{
    QString line;
    line.reserve(GearLineWidth);
    line += Conv::fitText(shownText(record.ShaftNo), 16);
    line += Conv::fitText(Recall::powerText(record.P1, record.P2), 12);
    line += Conv::fitText(Conv::singleText(record.n), 8);
    line += Conv::fitText(QString::number(record.L), 8);
    line += Conv::fitText(shownText(record.ModelA), 13);
    line += Conv::fitText(shownText(record.ModelB), 13);
    return line;
}

QString ViewBearingLine(const BearingRecord &record)
{
    QString line;
    line.reserve(BearingLineWidth + 2);
    line += Conv::fitText(shownText(record.Model), ModelColumnWidth);
    for (const int dimension : { record.d, record.D, record.B })
        line += Conv::fitText(QString::number(dimension), 7);
    for (const float factor : { record.e, record.Y1, record.Y2, record.Cr })
        line += Conv::fitText(Conv::singleText(factor), 7);
    line += QLatin1String("    ");
    line += QString::number(record.Type);
    return line;
}

QString bearingKeyHeading()
{
    return QStringLiteral(" 型 号");
}

QString bearingHeading()
{
    return QStringLiteral(" d      D      B      e      Y1     Y2     Cr(kN)   类型");
}

QString gearKeyHeading()
{
    return QStringLiteral(" 编 号");
}

QString gearHeadingOnSwitch()
{
    return QStringLiteral("    功率(kW)    转速    跨距    轴承A        轴承B");
}

QString gearHeadingOnLoad()
{
    return QStringLiteral("    功率(kW)    转速     跨距    轴承A        轴承B");
}

std::optional<int> boreKey(QStringView text)
{
    const double key = Conv::roundHalfEven(Conv::valueOf(text));
    if (!(key > 0)) // also NaN, which valueOf does not produce but costs nothing to rule out
        return std::nullopt;
    if (key > 32767.0)
        return 32768;
    return static_cast<int>(key);
}

QList<BearingRecord> withBore(const QList<BearingRecord> &records, int bore)
{
    QList<BearingRecord> kept;
    std::copy_if(records.cbegin(), records.cend(), std::back_inserter(kept),
        [bore](const BearingRecord &record) { return record.d == bore; });
    return kept;
}

QString numberOfGearLine(const QString &line)
{
    return cut(line, 0, 15);
}

BearingCopy bearingOfLine(const QString &line)
{
    BearingCopy copy;
    copy.model = cut(line, 0, 12);
    copy.e = cut(line, 34, 7);
    copy.Y1 = cut(line, 41, 7);
    copy.Y2 = cut(line, 48, 7);
    copy.Cr = cut(line, 55, 7);

    // The whole type text, not only its last character: a stored type of 12 must not pass for 2.
    const QString typeText = line.mid(66).trimmed();
    bool digitsOnly = !typeText.isEmpty() && typeText.size() <= 3;
    for (const QChar c : typeText)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    if (digitsOnly) {
        const double value = Conv::valueOf(typeText);
        if (value <= 255)
            copy.type = static_cast<int>(value);
    }
    return copy;
}

int cellCount(QStringView text)
{
    return static_cast<int>(text.size() + std::count_if(text.begin(), text.end(), isWide));
}

} // namespace RecordLines

void RecordLineModel::setRecords(QList<ShaftRecord> records)
{
    beginResetModel();
    m_showsGears = true;
    m_bearings.clear();
    m_gears = std::move(records);
    m_widestCells = 0;
    for (const ShaftRecord &r : std::as_const(m_gears)) {
        m_widestCells = std::max(m_widestCells,
            RecordLines::GearLineWidth + extraCells(r.ShaftNo, 16) + extraCells(r.ModelA, 13)
                + extraCells(r.ModelB, 13));
    }
    endResetModel();
}

void RecordLineModel::setRecords(QList<BearingRecord> records)
{
    beginResetModel();
    m_showsGears = false;
    m_gears.clear();
    m_bearings = std::move(records);
    m_widestCells = 0;
    for (const BearingRecord &r : std::as_const(m_bearings)) {
        const int typeDigits = r.Type >= 100 ? 3 : r.Type >= 10 ? 2 : 1;
        m_widestCells = std::max(m_widestCells,
            RecordLines::BearingLineWidth - 1 + typeDigits
                + extraCells(r.Model, RecordLines::ModelColumnWidth));
    }
    endResetModel();
}

QString RecordLineModel::line(int row) const
{
    if (row < 0 || row >= rowCount())
        return QString();
    return m_showsGears ? RecordLines::ViewGearLine(m_gears.at(row))
                        : RecordLines::ViewBearingLine(m_bearings.at(row));
}

void RecordLineModel::setCellMetrics(qreal cellWidth, int extraWidth, int height)
{
    m_cellWidth = cellWidth;
    m_extraWidth = extraWidth;
    m_height = height;
}

int RecordLineModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(m_showsGears ? m_gears.size() : m_bearings.size());
}

QVariant RecordLineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return line(index.row());
    if (role == Qt::SizeHintRole && m_cellWidth > 0) {
        const int width = static_cast<int>(std::ceil(m_widestCells * m_cellWidth)) + m_extraWidth;
        return QSize(width, m_height);
    }
    return QVariant();
}
