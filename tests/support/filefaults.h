#pragma once

// Ways to make file operations fail for the length of a scope (Linux): a path without write (or
// any) permission, also as root; a file size limit that stops a write half-way.

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Fixture {

// Gives path mode (read-only by default), owner rwx again after. Root ignores permissions, so the
// thread also drops CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH meanwhile.
class ReadOnly
{
public:
    explicit ReadOnly(
        const QString &path, QFile::Permissions mode = QFile::ReadOwner | QFile::ExeOwner)
        : m_path(path)
    {
        QFile::setPermissions(path, mode);
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &m_header, m_saved) == 0) {
            __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
            reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
            m_dropped = syscall(SYS_capset, &m_header, reduced) == 0;
        }
    }
    ~ReadOnly()
    {
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // False when the path (a folder: a new file in it) still opens for writing: nothing to test.
    bool effective() const
    {
        const bool dir = QFileInfo(m_path).isDir();
        QFile probe(dir ? m_path + QStringLiteral("/probe") : m_path);
        const bool open = probe.open(QIODevice::ReadWrite);
        if (open && dir)
            probe.remove();
        return !open;
    }

private:
    QString m_path;
    __user_cap_header_struct m_header {};
    __user_cap_data_struct m_saved[2] {};
    bool m_dropped = false;
};

// Lets this process write files up to limit bytes only: a longer write fails half-way (EFBIG).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
        : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lower = m_saved;
        lower.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved {};
    void (*m_handler)(int) = nullptr;
};

} // namespace Fixture
#endif
