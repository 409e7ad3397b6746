#pragma once

#include <platform/platform_export.h>

#include <QByteArray>
#include <QString>

namespace platform {

/**
 * Puts files and folders on disk, so that what was written survives a power
 * cut and not only a killed process.
 *
 * A file's data is on disk once the file is synced; a new, renamed or
 * removed name is on disk once the folder holding it is synced; syncing the
 * file system puts both there for everything on it. Every function returns
 * 0 on success or the errno of the call that failed. A failed sync (EIO,
 * ENOSPC) means the data may not be on disk: callers must not go on as if it
 * were.
 *
 * @code
 * if (const int error = platform::FileSync::writeAtomically(path, bytes))
 *     report(error);
 * @endcode
 */
class PLATFORM_EXPORT FileSync {
public:
    /// Writes the entries of the folder @p path (names made, renamed or removed
    /// in it) to disk; a file system that cannot sync folders (EINVAL) counts as done.
    static int syncFolder(const QString &path);

    /// Writes everything waiting on the file system that holds @p path to disk
    /// (syncfs): the data and names of a whole tree in one call, and one cache
    /// flush instead of one per file, but also whatever else is waiting there.
    static int syncFileSystem(const QString &path);

    /// Starts writing the data of the open file @p fd to disk without waiting
    /// for it, so that a later sync of the file finds little left to write.
    static void startWriteback(int fd);

    /// Replaces the file at @p path with @p bytes so that, whatever happens,
    /// it holds either its old contents or all the new ones: the bytes are
    /// written to a file beside it ("<name>.XXXXXX", mode 0644), synced,
    /// renamed over @p path, and the folder is synced. On failure the file
    /// beside is removed and @p path is unchanged.
    static int writeAtomically(const QString &path, const QByteArray &bytes);
};

} // namespace platform
