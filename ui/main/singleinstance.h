#pragma once

// One running copy of the program per user. The rule rests on a lock file: a copy that ends, even
// by a crash, leaves no lock that counts, because a lock whose process no longer runs is stale
// and is taken over.

#include <QLockFile>
#include <QString>

class Prompter;

class SingleInstanceGuard
{
public:
    explicit SingleInstanceGuard(const QString &lockPath = defaultLockPath());

    // True when no other running copy holds the lock; this guard then holds it until it is
    // destroyed.
    bool tryAcquire();
    bool isHeld() const { return m_lock.isLocked(); }
    QString lockPath() const { return m_path; }

    // tolvenar.lock in the per-user runtime directory (the temporary directory when there is
    // none).
    static QString defaultLockPath();

private:
    QString m_path;
    QLockFile m_lock;
};

// The start-up rule: when another copy runs, shows "已有一个程序实例运行" (OK button, no icon,
// the platform's default title) and returns false, and the caller ends at once. Otherwise keeps
// the lock until the process ends and returns true. Calling it again in a process that holds the
// lock returns true without a message.
bool acquireSingleInstance(
    Prompter &prompter, const QString &lockPath = SingleInstanceGuard::defaultLockPath());

// Gives up the lock that acquireSingleInstance took, removing its file now rather than when the
// process ends (by which time a temporary folder holding it may be gone).
void releaseSingleInstance();
