#pragma once

#include <QString>

#include <optional>

/**
 * Removes a folder tree without following links, and says what it could not
 * remove.
 *
 * Everything that can be removed is removed, deepest first; an entry that
 * cannot be (an immutable file, a file in a folder the user may not write)
 * is left with the folders above it, and the first such entry is reported
 * with the reason the kernel gave. A path that does not exist is no failure.
 *
 * @code
 * if (const auto left = TreeRemoval::remove(staging))
 *     log(left->path + ": " + strerror(left->errorNumber));
 * @endcode
 */
class TreeRemoval {
public:
    struct Failure {
        /// The errno of the unlink(2) or rmdir(2) that failed.
        int errorNumber = 0;
        /// The entry that could not be removed.
        QString path;
    };

    /// Removes @p path and everything below it; the first entry left, and why.
    static std::optional<Failure> remove(const QString &path);
};
