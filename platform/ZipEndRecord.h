#pragma once

#include <platform/platform_export.h>

#include <QString>

#include <cstdint>
#include <optional>

namespace platform {

/**
 * The entry count a zip archive declares at its end, read without loading
 * its central directory.
 *
 * The end-of-central-directory record is searched for backwards from the end
 * of the file, at most its 22 bytes plus the longest comment (65,535 bytes)
 * away; the one nearest the end whose comment fits inside the file is used.
 * When a zip64 locator precedes it, the count comes from the zip64 record it
 * points at. The larger of the counts on this disk and in total is returned,
 * so a limit applied to it holds whatever a reader trusts.
 *
 * @code
 * const auto entries = platform::ZipEndRecord::declaredEntries(path);
 * if (!entries)
 *     refuseAsNotAZip();
 * else if (*entries > limit)
 *     refuseAsTooLarge();
 * @endcode
 */
class PLATFORM_EXPORT ZipEndRecord {
public:
    /// The entries the archive at @p path declares; nothing when it cannot be
    /// read or holds no well-formed end record (not a zip archive).
    static std::optional<std::uint64_t> declaredEntries(const QString &path);
};

} // namespace platform
