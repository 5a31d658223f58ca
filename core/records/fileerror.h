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

template <class T = void>
class [[nodiscard]] Result
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

template <>
class [[nodiscard]] Result<void>
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
