#pragma once

#include <QString>

#include <cstdint>
#include <optional>

/**
 * Copies a folder tree between volumes, reporting the real reason a write failed.
 *
 * Folders, regular files and symbolic links are copied (links as links,
 * never followed); anything else is refused. Each write is retried until the
 * kernel answers with an error, so a full disk reports ENOSPC rather than a
 * generic failure after a short write. Modes are kept without the set-id and
 * sticky bits. Each file's writeback starts as it is closed, as ZipArchive does.
 */
class TreeCopy {
public:
    struct Failure {
        /// The errno of the failed call (ENOSPC for a full disk).
        int errorNumber = 0;
        /// The file or folder being read or written.
        QString path;
    };

    /// Copies @p source to @p target, which must not exist yet.
    static std::optional<Failure> copy(const QString &source, const QString &target);

    /// The bytes the regular files below @p path take, links not followed.
    static std::uint64_t size(const QString &path);
};
