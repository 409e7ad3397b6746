#pragma once

#include <platform/FileError.h>
#include <platform/platform_export.h>

#include <QString>

namespace platform {

/**
 * Removes and moves files and folders on the user's behalf.
 *
 * The default file manager deletes with the user's own rights and reports
 * why it could not as a FileError (WriteNoPermission when the user may not
 * delete the item). Tests replace it with setShared() to act out refusals
 * that the user running them would not meet.
 *
 * @code
 * if (platform::FileManager::shared().removeItem(path) == platform::FileError::WriteNoPermission)
 *     askForAdministratorRights();
 * @endcode
 */
class PLATFORM_EXPORT FileManager {
public:
    virtual ~FileManager();

    /// Deletes the file, link or whole folder at @p path (a link itself, never
    /// what it points to). FileError::None on success, NoSuchFile when
    /// nothing is there, else the first failure met.
    virtual FileError removeItem(const QString &path);

    /// How moveItem() treats an item already at the destination.
    enum class MoveMode {
        NoReplace, ///< fail with EEXIST
        Exchange, ///< swap the two items in one atomic step (both must exist)
    };

    /// Renames @p from to @p to on one volume (links are moved, never
    /// followed). 0 on success, else the errno: EXDEV across volumes, EINVAL
    /// where the file system cannot exchange, EACCES or EPERM when the user
    /// may not move the item.
    virtual int moveItem(const QString &from, const QString &to, MoveMode mode);

    /// The file manager in use: the default one unless replaced.
    static FileManager &shared();
    /// Replaces the shared file manager (tests); nullptr restores the default. The caller keeps ownership.
    static void setShared(FileManager *fileManager);
};

} // namespace platform
