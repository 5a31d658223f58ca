#pragma once

// The one way Tolvenar replaces a file (record files, their backups, the text files) and the lock
// that keeps two copies of the program from interleaving a read-modify-replace of a record file.
//
// Replacing: the new content goes to a scratch file in the folder of the file replaced, created
// exclusively and never through a link (whatever stands under the scratch name is removed first,
// without following it), given the permission bits, owner and group of the file it replaces,
// flushed to disk and renamed over it; the folder is flushed too. A failure or a crash thus leaves
// the old or the new file whole. A file reached through a symbolic link is resolved to its final
// target, which is replaced in its own folder, so the link stays a link; a dangling link is
// refused. Failures are FileErrors naming the file and the reason.

#include "records/fileerror.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace SafeFile {

struct Rules
{
    // The scratch file's name in the target's folder; empty: the target's name followed by ".tmp".
    QString scratchName;
    // A symbolic link at the path is followed to its final target (false: the link itself is
    // replaced by the new file; for files the program names itself, such as a backup, where a
    // link can only have been planted).
    bool followLinks = true;
    // When the folder allows no scratch file but the file exists and may be written, write it in
    // place (never through a link). Text files only: a record file must never be left torn.
    bool directWhenFolderRefuses = false;
};

// The file that a write to path replaces: path itself, or the final target of the symbolic link at
// path. Fails for a dangling link and for a link loop.
Result<QString> resolve(const QString &path);

// Replaces the file at path by bytes under the rules.
Result<> replace(const QString &path, const QByteArray &bytes, const Rules &rules);

// Replaces the file at path by a byte-for-byte copy of the open file fd (from its start).
Result<> copyFrom(int fd, const QString &path, const Rules &rules);

// How long a writer waits for another one to finish before it gives up with a message.
constexpr int LockWaitMs = 5000;

// An exclusive advisory lock (flock) of a record file, held for a whole read-modify-replace. The
// lock belongs to the file's inode, which the replacement retires; so after taking it the lock is
// checked to be on the file that the path names now, and taken again on the new one otherwise.
// A missing file is created empty. Readers take no lock: they see the old or the new file whole.
class Lock
{
public:
    Lock() = default;
    ~Lock();
    Lock(const Lock &) = delete;
    Lock &operator=(const Lock &) = delete;

    // path must be resolved (see resolve). Waits up to waitMs for another writer.
    Result<> acquire(const QString &path, int waitMs = LockWaitMs);
    void release();
    // The locked file, open for reading.
    int handle() const { return m_fd; }
    // The file was missing and has been created empty.
    bool created() const { return m_created; }
    qint64 size() const;
    // Up to maxBytes from offset, in one buffer.
    Result<QByteArray> read(qint64 offset, qint64 maxBytes) const;

private:
    QString m_path;
    int m_fd = -1;
    bool m_created = false;
};

} // namespace SafeFile
