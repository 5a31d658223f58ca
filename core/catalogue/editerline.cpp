#include "catalogue/editerline.h"

#include "calc/conversions.h"

#include <QStringEncoder>

#include <algorithm>

namespace EditerLine {

namespace {

// "E+07" -> "E+7": the exponent of a general text without leading zeros.
QString shortExponent(QStringView exponentPart)
{
    QString out = exponentPart.left(2).toString(); // "E+" or "E-"
    QStringView digits = exponentPart.mid(2);
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.mid(1);
    return out + digits;
}

// A value in exponent form fitted to 6 characters: the exponent whole (without leading zeros),
// the mantissa rounded to the room left. A cut mantissa would not be stable: the float nearest to
// 1E+28 is 9.99999944E+27, which would be stored back as 9E+27, then 8E+27, one step at every
// rewrite of the catalogue.
QString fitExponentForm(float value)
{
    for (int decimals = 1;; --decimals) {
        // QString::number is locale-independent: "1.2E+07".
        const QString text = QString::number(static_cast<double>(value), 'E', decimals);
        const qsizetype ePos = text.indexOf(u'E');
        const QString column = text.left(ePos) + shortExponent(QStringView(text).mid(ePos));
        if (column.size() <= ColumnWidth || decimals == 0)
            return Conv::fitText(column, ColumnWidth);
    }
}

double columnValue(const QString &line, int column)
{
    return Conv::valueOf(QStringView(line).mid(ModelWidth + column * ColumnWidth, ColumnWidth));
}

} // namespace

QString heading()
{
    return QStringLiteral("型号        d     D     B     e     Y1    Y2    Cr(kN)  类型");
}

QString fitModel(const QString &text)
{
    const QByteArray field = RecordLayout::encodeText(text, ModelWidth);
    return Conv::fitText(RecordLayout::decodeText(field.constData(), ModelWidth), ModelWidth);
}

QString displayText(const QString &line)
{
    const QStringView model = QStringView(line).left(ModelWidth);
    if (std::all_of(model.begin(), model.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return line;
    // A character that takes two bytes in GBK takes two cells; the field holds at most 12 bytes.
    const QStringView text = QStringView(line).left(Conv::trimRight(model.toString()).size());
    QStringEncoder gbk("GBK");
    const qsizetype cells = QByteArray(gbk.encode(text)).size();
    return text + QString(std::max<qsizetype>(ModelWidth - cells, 0), u' ')
        + QStringView(line).mid(ModelWidth);
}

QString integerColumn(std::int16_t value)
{
    return Conv::fitText(QString::number(value), ColumnWidth);
}

QString singleColumn(float value)
{
    const QString text = Conv::singleText(value);
    if (text.size() <= ColumnWidth)
        return Conv::fitText(text, ColumnWidth);
    if (text.contains(u'E'))
        return fitExponentForm(value);
    const qsizetype point = text.indexOf(u'.');
    const qsizetype wholeDigits = point < 0 ? text.size() : point;
    // A cut that leaves no significant digit would store 0 for a value that is not.
    if (wholeDigits <= ColumnWidth
        && (Conv::valueOf(QStringView(text).left(ColumnWidth)) != 0 || value == 0))
        return text.left(ColumnWidth);
    return fitExponentForm(value);
}

QString fromRecord(const BearingRecord &record)
{
    QString line;
    line.reserve(TypeStart + 3);
    line += Conv::fitText(record.Model, ModelWidth);
    line += integerColumn(record.d);
    line += integerColumn(record.D);
    line += integerColumn(record.B);
    line += singleColumn(record.e);
    line += singleColumn(record.Y1);
    line += singleColumn(record.Y2);
    line += singleColumn(record.Cr);
    line += QStringLiteral("   ");
    line += QString::number(record.Type);
    return line;
}

QString columnText(const QString &line, int column)
{
    return Conv::trimRight(line.mid(ModelWidth + column * ColumnWidth, ColumnWidth));
}

int typeOf(const QString &line)
{
    const QString text = line.mid(TypeStart).trimmed();
    if (text.isEmpty())
        return -1;
    bool ok = false;
    const int type = text.toInt(&ok); // plain decimal digits, locale-independent
    return ok ? type : -1;
}

BearingRecord toRecord(const QString &line)
{
    BearingRecord record;
    record.Model = modelOf(line);
    const int type = typeOf(line);
    record.Type = static_cast<std::uint8_t>(type >= 0 && type <= 255 ? type : 0);
    std::int16_t *dimensions[] = { &record.d, &record.D, &record.B };
    for (int i = 0; i < 3; ++i) {
        if (Conv::toInteger(columnValue(line, ColD + i), *dimensions[i]) != Fault::None)
            *dimensions[i] = 0;
    }
    float *factors[] = { &record.e, &record.Y1, &record.Y2, &record.Cr };
    for (int i = 0; i < 4; ++i) {
        if (Conv::toSingle(columnValue(line, ColE + i), *factors[i]) != Fault::None)
            *factors[i] = 0;
    }
    return record;
}

bool fromEntry(const Entry &entry, QString &line, Refusal &refusal)
{
    if (entry.model.trimmed().isEmpty()) {
        refusal = { Field::Model, 0 };
        return false;
    }
    if (entry.type < 0 || entry.type >= TypeCount) {
        refusal = { Field::Type, 0 };
        return false;
    }
    QString columns;
    for (int i = 0; i < 3; ++i) {
        std::int16_t value = 0;
        if (Conv::toInteger(Conv::valueOf(entry.dimensions[static_cast<std::size_t>(i)]), value)
            != Fault::None) {
            refusal = { Field::Dimension, i };
            return false;
        }
        columns += integerColumn(value);
    }
    for (int i = 0; i < 4; ++i) {
        float value = 0;
        if (Conv::toSingle(Conv::valueOf(entry.factors[static_cast<std::size_t>(i)]), value)
            != Fault::None) {
            refusal = { Field::Factor, i };
            return false;
        }
        columns += singleColumn(value);
    }
    line = fitModel(entry.model) + columns + QStringLiteral("   ") + QString::number(entry.type);
    refusal = {};
    return true;
}

} // namespace EditerLine
