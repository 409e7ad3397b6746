#pragma once

#include <platform/platform_export.h>

#include <QString>

#include <cstdint>
#include <optional>

namespace platform {

/**
 * What a zip archive's end record says about its central directory, read
 * from the end of the file alone, without loading the directory.
 *
 * The end-of-central-directory record is searched for backwards from the end
 * of the file, at most its 22 bytes plus the longest comment (65,535 bytes)
 * away; the one nearest the end whose comment fits inside the file is used.
 * When a zip64 locator precedes it, the values come from the zip64 record it
 * points at. The entry count is the larger of the counts on this disk and in
 * total, so a limit applied to it holds whatever a reader trusts.
 *
 * read() is enough to apply a limit before a library loads the directory.
 * readChecked() is the cheap test that a download is a zip archive at all
 * (not an HTML page, a compressed body or a cut one): the comment must reach
 * exactly to the end of the file, the archive must be on one disk, the
 * directory must lie before its end record, and the local header its first
 * entry points to must be there.
 *
 * @code
 * QString why;
 * if (!platform::ZipDirectoryEnd::readChecked(path, &why))
 *     reject(why);
 * @endcode
 */
class PLATFORM_EXPORT ZipDirectoryEnd {
public:
    /// The end record of the archive at @p path; nothing, with @p error saying why, when it has none.
    static std::optional<ZipDirectoryEnd> read(const QString &path, QString *error = nullptr);
    /// read(), and the record consistent with the file around it.
    static std::optional<ZipDirectoryEnd> readChecked(const QString &path, QString *error = nullptr);

    std::uint64_t entryCount = 0;
    std::uint64_t directoryOffset = 0;
    std::uint64_t directorySize = 0;
    /// Whether the values come from a zip64 end record.
    bool zip64 = false;

    /// Whether the directory lies wholly before the (zip64) end record.
    bool directoryLiesBeforeEnd() const;

private:
    std::uint64_t m_fileSize = 0;
    std::uint64_t m_recordOffset = 0; ///< where the directory must end: the (zip64) end record
    std::uint64_t m_commentEnd = 0;
    bool m_oneDisk = true;
};

} // namespace platform
