#include "records/textfile.h"

#include "calc/conversions.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

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

// Whether the process may write to path, judged with the effective user (access() would use the
// real one, which a privileged process does not share).
bool mayWrite(const QString &path)
{
#ifdef Q_OS_UNIX
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
#else
    return QFileInfo(path).isWritable();
#endif
}

// Why the file could not be created, in the user's words.
QString openFailure(const QString &path, const QString &systemText)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (target.isDir())
        return QStringLiteral("这是一个文件夹，不能作为文件写入");
    if (!folder.isDir())
        return QStringLiteral("文件夹不存在，无法创建文件");
    if (target.exists() && !mayWrite(path))
        return QStringLiteral("文件是只读的，无法写入");
    if (!mayWrite(folder.absoluteFilePath()))
        return QStringLiteral("文件夹是只读的，无法创建文件");
    return QStringLiteral("无法创建文件（%1）").arg(systemText);
}

QString writeFailure(const QSaveFile &file)
{
    if (file.error() == QFileDevice::ResourceError)
        return QStringLiteral("磁盘已满，文件未能写完");
    return QStringLiteral("写入失败（%1）").arg(file.errorString());
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

bool writeLines(const QString &path, const QStringList &lines, StoreError &error)
{
    error = StoreError { path, QString() };
    if (path.isEmpty()) {
        error.reason = QStringLiteral("没有文件名");
        return false;
    }
    const QByteArray bytes = encodeLines(lines);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error.reason = openFailure(path, file.errorString());
        return false;
    }
    // Unbuffered, so that a full disk shows in write() with its cause; a short write is retried
    // for the rest, which then fails with the cause.
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            error.reason = writeFailure(file);
            file.cancelWriting();
            return false;
        }
        done += n;
    }
    if (!file.commit()) {
        // Syncing to disk (a full disk shows here too) or renaming over the target failed.
        error.reason
            = file.error() == QFileDevice::ResourceError || file.error() == QFileDevice::WriteError
            ? writeFailure(file)
            : QStringLiteral("无法替换原有文件（%1）").arg(file.errorString());
        return false;
    }
    return true;
}

} // namespace TextFile
