#include "records/safefile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile {

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FileError fail(const QString &path, const QString &reason, int errnum = 0)
{
    return fileError(path, reason, errnum == 0 ? QString() : systemText(errnum));
}

// A full disk is said in the program's words; any other write failure by the system's.
QString writeReason(int errnum)
{
    return errnum == ENOSPC || errnum == EDQUOT ? Reason::diskFull() : Reason::writeFailed();
}

// Whether the process may write to path, judged with the effective user (access() would use the
// real one, which a privileged process does not share).
bool mayWrite(const QString &path)
{
    return ::faccessat(AT_FDCWD, native(path).constData(), W_OK, AT_EACCESS) == 0;
}

bool writeAll(int fd, const char *data, qint64 size, int &errnum)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            errnum = n < 0 ? errno : ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

// Copies the open file from to the open file to, from the start of from, in blocks.
bool copyAll(int from, int to, int &errnum, bool &readFailed)
{
    char block[1 << 16];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(from, block, sizeof block, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            errnum = errno;
            readFailed = true;
            return false;
        }
        if (n == 0)
            return true;
        if (!writeAll(to, block, n, errnum))
            return false;
        at += n;
    }
}

// Makes a rename in dir survive a power cut; failure here changes nothing the user can see.
void syncDirectory(const QString &dir)
{
    const int fd = ::open(native(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

using Filler = std::function<bool(int fd, int &errnum, bool &readFailed)>;

// Fills the open file fd, flushes it to disk and closes it; false with errnum (and readFailed
// when the source could not be read) on failure. fd is closed either way.
bool fillAndClose(int fd, const Filler &fill, int &errnum, bool &readFailed)
{
    bool ok = fill(fd, errnum, readFailed);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        errnum = errno;
    }
    ::close(fd);
    return ok;
}

// Writes a file that may be written in place but not replaced (its folder refuses new files):
// opened without following a link, truncated and written.
Result<> writeInPlace(const QString &path, const Filler &fill)
{
    const int fd = ::open(native(path).constData(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP)
            return fail(path, Reason::throughLink());
        return fail(path, QStringLiteral("无法写入文件"), errno);
    }
    int errnum = 0;
    bool readFailed = false;
    if (!fillAndClose(fd, fill, errnum, readFailed))
        return fail(path, writeReason(errnum), errnum);
    return {};
}

Result<> replaceWith(const QString &path, const Rules &rules, const Filler &fill)
{
    if (path.isEmpty())
        return fail(path, QStringLiteral("没有文件名"));
    QString target = path;
    if (rules.followLinks) {
        const Result<QString> resolved = resolve(path);
        if (!resolved)
            return resolved.error();
        target = *resolved;
    }

    struct stat old
    {
    };
    const bool exists = ::lstat(native(target).constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode) && !(S_ISLNK(old.st_mode) && !rules.followLinks))
        return fail(path, Reason::notAFile());
    const bool regular = exists && S_ISREG(old.st_mode);
    if (regular && !mayWrite(target))
        return fail(path, QStringLiteral("文件是只读的，无法写入"));

    // The scratch file lies beside the target so the rename stays on one file system.
    const QFileInfo targetInfo(target);
    const QString folder = targetInfo.absolutePath();
    if (!QFileInfo(folder).isDir())
        return fail(path, QStringLiteral("文件夹不存在，无法创建文件"));
    const QString scratchName = rules.scratchName.isEmpty()
        ? targetInfo.fileName() + QStringLiteral(".tmp")
        : rules.scratchName;
    const QString scratch = QDir(folder).filePath(scratchName);

    // Whatever stands under the scratch name (a file left by a crash, or a link planted there) is
    // removed, not followed; the scratch file is then made anew and only by us.
    struct stat standing
    {
    };
    if (::lstat(native(scratch).constData(), &standing) == 0 && S_ISDIR(standing.st_mode))
        return fail(scratch, Reason::notAFile());
    ::unlink(native(scratch).constData());
    const int fd = ::open(native(scratch).constData(),
        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, regular ? 0600 : 0666);
    if (fd < 0) {
        const int errnum = errno;
        if (rules.directWhenFolderRefuses && regular)
            return writeInPlace(target, fill);
        if (!exists && (errnum == EACCES || errnum == EPERM || errnum == EROFS))
            return fail(path, QStringLiteral("文件夹是只读的，无法创建文件"));
        return fail(path, QStringLiteral("无法创建临时文件 ") + scratchName, errnum);
    }
    if (regular) {
        // The replacement keeps who may read and write the file: its owner and group where the
        // system allows us to give them, then its permission bits (a chown clears set-id bits).
        if (::fchown(fd, old.st_uid, old.st_gid) != 0
            && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Not ours to give (another owner, a group we are not in): the scratch file keeps ours.
        }
        ::fchmod(fd, old.st_mode & 07777);
    }

    int errnum = 0;
    bool readFailed = false;
    if (!fillAndClose(fd, fill, errnum, readFailed)) {
        ::unlink(native(scratch).constData());
        return fail(path, readFailed ? Reason::readFailed() : writeReason(errnum), errnum);
    }
    // rename() replaces the target in one step: a reader sees either the old or the new file.
    if (::rename(native(scratch).constData(), native(target).constData()) != 0) {
        const int why = errno;
        ::unlink(native(scratch).constData());
        return fail(path, QStringLiteral("无法替换文件"), why);
    }
    syncDirectory(folder);
    return {};
}

} // namespace

Result<QString> resolve(const QString &path)
{
    struct stat st
    {
    };
    if (::lstat(native(path).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path; // a plain file, a folder or nothing: each writer judges that itself
    char resolved[PATH_MAX];
    if (::realpath(native(path).constData(), resolved) == nullptr) {
        const int errnum = errno;
        if (errnum == ENOENT) {
            const QString link = QFileInfo(path).symLinkTarget();
            return fail(path,
                QStringLiteral("是一个符号链接，它指向的文件不存在：")
                    + QDir::toNativeSeparators(link));
        }
        return fail(path, QStringLiteral("符号链接无法解析"), errnum);
    }
    return QFile::decodeName(resolved);
}

Result<> replace(const QString &path, const QByteArray &bytes, const Rules &rules)
{
    return replaceWith(path, rules, [&bytes](int fd, int &errnum, bool &) {
        return writeAll(fd, bytes.constData(), bytes.size(), errnum);
    });
}

Result<> copyFrom(int from, const QString &path, const Rules &rules)
{
    return replaceWith(path, rules, [from](int fd, int &errnum, bool &readFailed) {
        return copyAll(from, fd, errnum, readFailed);
    });
}

// ---- Lock ---------------------------------------------------------------------------------------

Lock::~Lock()
{
    release();
}

void Lock::release()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor of the open file releases the lock
    m_fd = -1;
}

Result<> Lock::acquire(const QString &path, int waitMs)
{
    release();
    m_path = path;
    m_created = false;
    const QByteArray name = native(path);
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd < 0 && errno == EEXIST)
                continue; // another writer created it first
            if (fd < 0)
                return fail(path, Reason::cannotCreate(), errno);
            m_created = true;
        } else if (fd < 0) {
            if (errno == ELOOP)
                return fail(path, Reason::throughLink());
            return fail(path, Reason::cannotOpen(), errno);
        }
        struct stat held
        {
        };
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return fail(path, Reason::notAFile());
        }
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int errnum = errno;
            if (errnum == EINTR)
                continue;
            if (errnum == ENOLCK || errnum == EOPNOTSUPP || errnum == ENOSYS)
                break; // a file system without locks: write as before, unguarded
            if (errnum != EWOULDBLOCK || deadline.hasExpired()) {
                ::close(fd);
                if (errnum == EWOULDBLOCK)
                    return fail(path,
                        QStringLiteral("另一个程序（也可能是本程序的另一个副本）正在写入这个文件，"
                                       "请稍后再试"));
                return fail(path, QStringLiteral("无法锁定文件"), errnum);
            }
            QThread::msleep(5);
        }
        // The writer we waited for may have replaced the file: the lock must be on the file the
        // path names now.
        struct stat now
        {
        };
        if (::stat(name.constData(), &now) == 0 && now.st_dev == held.st_dev
            && now.st_ino == held.st_ino) {
            m_fd = fd;
            return {};
        }
        ::close(fd);
        m_created = false;
    }
}

qint64 Lock::size() const
{
    struct stat st
    {
    };
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : 0;
}

Result<QByteArray> Lock::read(qint64 offset, qint64 maxBytes) const
{
    QByteArray out(maxBytes, Qt::Uninitialized);
    qint64 got = 0;
    while (got < maxBytes) {
        const ssize_t n = ::pread(m_fd, out.data() + got, static_cast<size_t>(maxBytes - got),
            static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(m_path, Reason::readFailed(), errno);
        if (n == 0)
            break;
        got += n;
    }
    out.truncate(got);
    return out;
}

} // namespace SafeFile
