#pragma once

#include <platform/platform_export.h>

#include <QString>

#include <cstdint>
#include <optional>

namespace platform {

/**
 * Where a zip archive's central directory is, read from the end of the file
 * alone: a cheap check that a download is a zip archive at all (not an HTML
 * page, a compressed body or a cut one), and the entry count before any
 * library loads the directory.
 *
 * The end-of-central-directory record is looked for in the last 64 KiB + 22
 * bytes; its comment must reach exactly to the end of the file. A zip64 record
 * is followed through its locator. The directory must lie before the record,
 * and the local header its first entry points to must be there. Archives
 * spread over several disks are refused.
 */
class PLATFORM_EXPORT ZipDirectoryEnd {
public:
    /// The record of the archive at @p path; nothing, with @p error saying why, when it is not a usable one.
    static std::optional<ZipDirectoryEnd> read(const QString &path, QString *error = nullptr);

    std::uint64_t entryCount = 0;
    std::uint64_t directoryOffset = 0;
    std::uint64_t directorySize = 0;
};

} // namespace platform
