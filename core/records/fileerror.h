#pragma once

// How everything in the core that can fail reports it: a FileError names the file and says, in
// Chinese for the user, what went wrong; a Result<T> holds either the value or the FileError.
// Nothing in the core shows a message: the window that asked shows error().text().
//
//     Result<QList<ShaftRecord>> records = readShaftRecords(path);
//     if (!records)
//         return prompter.inform(records.error().text());

#include <QString>

#include <optional>
#include <utility>

struct FileError
{
    QString path; // the file concerned
    QString reason; // human-readable, in Chinese; empty when there was no error
    bool failed() const { return !reason.isEmpty(); }
    // "<path>: <reason>", for a message box.
    QString text() const;
};

// A FileError for path; detail (the system's words, say) follows the reason in brackets.
inline FileError fileError(const QString &path, const QString &reason, const QString &detail = {})
{
    return { path,
        detail.isEmpty() ? reason : reason + QStringLiteral("（") + detail + QStringLiteral("）") };
}

// The reasons the file code gives, each text written once.
namespace Reason {
inline QString notAFile()
{
    return QStringLiteral("不是一个文件");
}
inline QString cannotCreate()
{
    return QStringLiteral("无法创建文件");
}
inline QString cannotOpen()
{
    return QStringLiteral("无法打开文件");
}
inline QString readFailed()
{
    return QStringLiteral("读取失败");
}
// Every failed write but a full disk (the system's words in the detail say why).
inline QString writeFailed()
{
    return QStringLiteral("写入失败");
}
// A write that stopped because the disk (or the user's quota) is full.
inline QString diskFull()
{
    return QStringLiteral("磁盘已满，文件未能写完");
}
inline QString throughLink()
{
    return QStringLiteral("是一个符号链接，不会通过它写入");
}
// A file already holding the most records a 16-bit record number can reach.
QString recordLimit();
// More records than a record file can hold were to be written.
QString overRecordLimit();
} // namespace Reason

template <class T = void> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(FileError error)
        : m_error(std::move(error))
    {
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    T &operator*() { return *m_value; }
    const T &operator*() const { return *m_value; }
    T *operator->() { return &*m_value; }
    const T *operator->() const { return &*m_value; }
    const FileError &error() const { return *m_error; }

private:
    std::optional<T> m_value;
    std::optional<FileError> m_error;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(FileError error)
        : m_error(std::move(error))
    {
    }

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const FileError &error() const { return *m_error; }

private:
    std::optional<FileError> m_error;
};
