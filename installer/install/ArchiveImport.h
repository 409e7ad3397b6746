#pragma once

#include <platform/net/DownloadTask.h>

#include <QString>

#include <cstdint>
#include <optional>

/**
 * Copies an archive that is already on the machine into a run's work folder,
 * hashing it on the way, so that it can be checked and installed like a
 * downloaded one.
 *
 * The copy, not the named file, is what gets checked and unpacked: the file
 * cannot change between the check and the install, and the user's own file
 * is never moved or removed. Only a regular file is read; a symbolic link is
 * followed, but what it leads to must be a regular file too (never a device,
 * a FIFO or a folder), and the file is opened without blocking, so a FIFO
 * cannot hold the run. At most @c maximumSize bytes are copied.
 *
 * @code
 * const auto imported = ArchiveImport::copy(QStringLiteral("/media/usb/prismora.zip"), work->archivePath(), size);
 * if (imported.error)
 *     fail(*imported.error);
 * @endcode
 */
class ArchiveImport {
public:
    struct Result {
        /// Why nothing usable was copied; nothing on success.
        std::optional<QString> error;
        /// The errno of a failed read or write (ENOSPC for a full disk); 0 otherwise.
        int errorNumber = 0;
        /// The file is larger than the maximum size.
        bool tooLarge = false;
        std::int64_t size = 0;
        /// SHA-256 and BLAKE2b-512 of the copy, as lower-case hex.
        platform::net::DownloadDigests digests;
    };

    /// Why @p source cannot be read as an archive at all (missing, a folder,
    /// not a regular file, unreadable); nothing when it can.
    static std::optional<QString> refusal(const QString &source);

    /// Copies @p source to @p destination (created; replaced when present);
    /// @p maximumSize below 0 means no limit. A failed copy leaves no destination.
    static Result copy(const QString &source, const QString &destination, std::int64_t maximumSize);
};
