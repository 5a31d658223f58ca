#include "records/viewlines.h"

#include "calc/conversions.h"

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

QString integerText(int value)
{
    return QString::number(value); // plain digits, "-" when negative: no locale involved
}

// Characters [first, first + width) of a line without trailing blanks; first counts from 0.
QString cut(const QString &line, int first, int width)
{
    return Conv::trimRight(line.mid(first, width));
}

} // namespace

QString ViewGearLine(const ShaftRecord &record)
{
    // The difference is taken in single precision, and a difference equal to the float nearest to
    // 0.01 still shows P1 alone.
    const float difference = std::fabs(record.P1 - record.P2);
    const QString power = difference <= 0.01f
        ? Conv::singleText(record.P1)
        : Conv::singleText(record.P1) + u'/' + Conv::singleText(record.P2);

    QString line;
    line.reserve(ViewLines::GearLineWidth);
    line += Conv::fitText(shownText(record.ShaftNo), 16);
    line += Conv::fitText(power, 12);
    line += Conv::fitText(Conv::singleText(record.n), 8);
    line += Conv::fitText(integerText(record.L), 8);
    line += Conv::fitText(shownText(record.ModelA), 13);
    line += Conv::fitText(shownText(record.ModelB), 13);
    return line;
}

QString ViewBearingLine(const BearingRecord &record)
{
    QString line;
    line.reserve(ViewLines::BearingLineWidth + 2);
    line += Conv::fitText(shownText(record.Model), ViewLines::ModelColumnWidth);
    line += Conv::fitText(integerText(record.d), 7);
    line += Conv::fitText(integerText(record.D), 7);
    line += Conv::fitText(integerText(record.B), 7);
    line += Conv::fitText(Conv::singleText(record.e), 7);
    line += Conv::fitText(Conv::singleText(record.Y1), 7);
    line += Conv::fitText(Conv::singleText(record.Y2), 7);
    line += Conv::fitText(Conv::singleText(record.Cr), 7);
    line += QLatin1String("    ");
    line += integerText(record.Type);
    return line;
}

namespace ViewLines {

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

} // namespace ViewLines
