#pragma once

// File operations made to fail for a scope (Linux only, as the tests using them).

#include <QtCore>

#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Fixture {

// Gives path mode (read-only by default), then owner rwx; drops root's override capabilities.
struct ReadOnly
{
    explicit ReadOnly(const QString &p, QFile::Permissions m = QFile::ReadOwner | QFile::ExeOwner)
        : path(p)
    {
        QFile::setPermissions(path, m);
        __user_cap_data_struct reduced[2] = { saved[0], saved[1] };
        reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        dropped = dropped && syscall(SYS_capset, &header, reduced) == 0;
    }
    ~ReadOnly()
    {
        if (dropped)
            syscall(SYS_capset, &header, saved);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // False when the path (a folder: a new file in it) still opens for writing: nothing to test.
    bool effective() const
    {
        QTemporaryFile in(path + QStringLiteral("/probeXXXXXX"));
        return QFileInfo(path).isDir() ? !in.open() : !QFile(path).open(QIODevice::ReadWrite);
    }
    QString path;
    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct saved[2] {};
    bool dropped = syscall(SYS_capget, &header, saved) == 0; // then: the capabilities dropped
};

// Lets this process write files up to limit bytes only: a longer write fails half-way (EFBIG).
struct FileSizeLimit
{
    explicit FileSizeLimit(rlim_t limit) { set({ limit, saved.rlim_max }); }
    ~FileSizeLimit() { set(saved), std::signal(SIGXFSZ, handler); }
    static int set(rlimit r) { return setrlimit(RLIMIT_FSIZE, &r); }
    void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN); // no signal: the write fails instead
    rlimit saved = [] {
        rlimit r {};
        return getrlimit(RLIMIT_FSIZE, &r), r;
    }();
};

} // namespace Fixture
