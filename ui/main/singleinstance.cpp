#include "ui/main/singleinstance.h"

#include "ui/common/prompter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdlib>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// The lock of this process, held until it ends.
std::unique_ptr<SingleInstanceGuard> &processGuard()
{
    static std::unique_ptr<SingleInstanceGuard> guard;
    return guard;
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString &lockPath)
    : m_path(lockPath)
    , m_lock(lockPath)
{
    // A running copy may hold the lock for days: only a dead owner makes it stale, never its age.
    m_lock.setStaleLockTime(0);
}

bool SingleInstanceGuard::tryAcquire()
{
    if (m_lock.isLocked())
        return true;
    if (m_lock.tryLock(0))
        return true;
    // tryLock has already taken over a lock whose owner no longer runs (a crash). What is left is
    // a live owner, or a lock file without a readable owner: a copy writes its owner right after
    // creating the file, so an unreadable file that has stood for a few seconds is debris (a crash
    // between the two steps) and is removed.
    if (m_lock.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, app;
        if (m_lock.getLockInfo(&pid, &host, &app))
            return false;
        const QFileInfo info(m_path);
        const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
        if (info.exists() && std::abs(age) > 5000 && m_lock.removeStaleLockFile())
            return m_lock.tryLock(0);
        return false;
    }
    // The lock file cannot be created (no such directory, no permission): refusing would keep the
    // program from ever starting, so the rule is not applied.
    return true;
}

QString SingleInstanceGuard::defaultLockPath()
{
    // Without XDG_RUNTIME_DIR (xvfb-run, some service sessions) Qt would warn and invent a folder;
    // the temporary folder with the user's id in the name serves as well.
    QString dir;
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
#ifdef Q_OS_UNIX
        const QString user = QString::number(::getuid());
#else
        const QString user = qEnvironmentVariable("USERNAME");
#endif
        return QDir(QDir::tempPath()).filePath(QStringLiteral("tolvenar-%1.lock").arg(user));
    }
    return QDir(dir).filePath(QStringLiteral("tolvenar.lock"));
}

void releaseSingleInstance()
{
    processGuard().reset();
}

bool acquireSingleInstance(Prompter &prompter, const QString &lockPath)
{
    std::unique_ptr<SingleInstanceGuard> &held = processGuard();
    if (held && held->isHeld() && held->lockPath() == lockPath)
        return true;

    auto guard = std::make_unique<SingleInstanceGuard>(lockPath);
    if (!guard->tryAcquire()) {
        prompter.message(QStringLiteral("已有一个程序实例运行"), QString(), Prompter::Ok,
            Prompter::Icon::None, Prompter::Ok);
        return false;
    }
    held = std::move(guard);
    return true;
}
