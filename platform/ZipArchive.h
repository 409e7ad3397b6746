#pragma once

#include <platform/ZipError.h>
#include <platform/ZipLimits.h>
#include <platform/platform_export.h>

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace platform {

/**
 * Unpacks zip archives (libzip) into a folder.
 *
 * Every entry is untrusted: names that are absolute or contain a ".."
 * component, entries that would be written through a symbolic link, and
 * symbolic links that resolve outside the destination are refused, so nothing
 * is ever written outside the destination. Before anything is written the
 * number of entries is checked against maxEntries (as the archive's end
 * record declares it and as its directory holds them) and the declared size
 * (summed without wrapping: a total past 2^64 is a zip bomb) against the free
 * space of the destination volume and against the archive's own size (an
 * archive that claims to expand by more than maxExpansionRatio, once past
 * expansionCheckFloor bytes, is refused as a zip bomb); while writing, no
 * entry may grow past its declared size. libzip reads the directory a slice
 * of ZipLimits::directorySliceEntries entries at a time, so memory does not
 * grow with the number of entries.
 *
 * Regular files keep their owner's permission bits but never more than 0755:
 * write bits for group and others and set-id / sticky bits are dropped, and the
 * owner may always read and write. Folders are 0755. Symbolic links inside the
 * destination (the layout of application bundles) are recreated as links.
 * Each file's writeback to disk is started as it is closed (nothing waits for
 * it), so that a caller who then syncs the files finds little left to write.
 *
 * @code
 * platform::ZipArchive::unzipFileAtPath(archive, folder, true,
 *     [](const QString &path, bool succeeded, const std::optional<platform::ZipError> &error) { ... });
 * @endcode
 */
class PLATFORM_EXPORT ZipArchive {
public:
    using Limits = ZipLimits;

    using Completion = std::function<void(const QString &path, bool succeeded, const std::optional<ZipError> &error)>;

    /// Unpacks @p path into @p destination (created when missing) on the
    /// calling thread, then calls @p completion on the same thread. Existing
    /// files are replaced when @p overwrite is true, else the unpack fails.
    static void unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
        const Completion &completion, const Limits &limits = Limits());

    /// The same without a completion: the error, or nothing on success.
    static std::optional<ZipError> unzip(
        const QString &path, const QString &destination, bool overwrite, const Limits &limits = Limits());

    /// Whether @p declared uncompressed bytes from an archive of @p archiveSize
    /// bytes may be unpacked into @p destination: ZipBomb past the limits,
    /// ArchiveTooLarge (out of space) when the destination volume has less free.
    static std::optional<ZipError> checkDeclaredSize(
        std::uint64_t declared, std::uint64_t archiveSize, const QString &destination, const Limits &limits = Limits());

    /// The content of the entry named exactly @p name in the archive at
    /// @p path, read without unpacking anything else; nothing when the
    /// archive is refused by @p limits' entry count, has no such entry, or the
    /// entry is larger than @p maxBytes or cannot be read.
    static std::optional<QByteArray> readEntry(
        const QString &path, const QString &name, qint64 maxBytes, const Limits &limits = Limits());

    /// True when @p name may be unpacked: relative, no "..", no empty name.
    static bool isSafeEntryName(const QString &name);
};

} // namespace platform
