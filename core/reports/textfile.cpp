#include "reports/textfile.h"

#include "calc/conversions.h"
#include "records/safefile.h"

#include <QStringEncoder>

// ---- Printed line -------------------------------------------------------------------------------

PrintedLine &PrintedLine::text(const QString &text)
{
    m_line += text;
    return *this;
}

PrintedLine &PrintedLine::numberText(const QString &digits)
{
    // Blank for zero or more, the sign for a negative value, then one blank after.
    if (!digits.startsWith(u'-'))
        m_line += u' ';
    m_line += digits;
    m_line += u' ';
    return *this;
}

PrintedLine &PrintedLine::number(float value)
{
    return numberText(Conv::singleText(value));
}

PrintedLine &PrintedLine::integer(int value)
{
    return numberText(QString::number(value));
}

PrintedLine &PrintedLine::rounded(double value)
{
    return numberText(Conv::doubleText(value));
}

PrintedLine &PrintedLine::column(int k)
{
    const int at = TextFile::gbkWidth(m_line) + 1; // column of the next character
    m_line += QString(at < k ? k - at : 1, u' ');
    return *this;
}

// ---- Comma line ---------------------------------------------------------------------------------

CommaLine &CommaLine::text(const QString &text)
{
    m_items.append(u'"' + text + u'"');
    return *this;
}

CommaLine &CommaLine::number(float value)
{
    m_items.append(Conv::singleText(value));
    return *this;
}

CommaLine &CommaLine::integer(int value)
{
    m_items.append(QString::number(value));
    return *this;
}

CommaLine &CommaLine::boolean(bool value)
{
    m_items.append(value ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#"));
    return *this;
}

// ---- Files --------------------------------------------------------------------------------------

namespace TextFile {

namespace {

QByteArray toGbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

} // namespace

QByteArray encodeLines(const QStringList &lines)
{
    QStringEncoder encoder("GBK");
    QByteArray out;
    for (const QString &line : lines) {
        out += encoder.encode(line);
        out += "\r\n";
    }
    return out;
}

int gbkWidth(const QString &text)
{
    return static_cast<int>(toGbk(text).size());
}

Result<> writeLines(const QString &path, const QStringList &lines, bool followLinks)
{
    SafeFile::Rules rules;
    rules.followLinks = followLinks;
    // A report may be written over in a folder that allows no new file (as an editor would).
    rules.directWhenFolderRefuses = true;
    return SafeFile::replace(path, encodeLines(lines), rules);
}

} // namespace TextFile
