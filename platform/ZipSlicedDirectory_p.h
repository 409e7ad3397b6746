#pragma once

#include <platform/ZipError.h>
#include <platform/ZipLimits.h>

#include <QString>

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

typedef struct zip zip_t;

namespace platform {

/**
 * An archive whose central directory libzip sees one slice at a time.
 *
 * libzip loads an archive's whole directory when it opens it, a few hundred
 * bytes an entry. Here the directory is walked once, record by record, and
 * cut into slices of at most ZipLimits::directorySliceEntries entries and
 * maxSliceBytes bytes. openSlice() gives libzip a view of the file in which
 * the entries' data is where it is and only one slice is the directory, so
 * memory stays the same however many entries the archive holds.
 *
 * The walk refuses an archive before any slice is opened when the end record
 * or the walk counts more than ZipLimits::maxEntries, when a record does not
 * fit in the directory, or when the walk and the end record disagree on the
 * count (a count that wrapped at 65,536 in an archive without zip64 records
 * is accepted, as zip tools write it).
 */
class ZipSlicedDirectory {
public:
    /// Directory bytes one slice holds at most; a larger record is a slice of its own.
    static constexpr std::uint64_t maxSliceBytes = 1024 * 1024;

    struct Slice {
        std::uint64_t firstEntry = 0; ///< the archive-wide index of its first entry
        std::uint64_t entryCount = 0;
        std::uint64_t offset = 0; ///< from the start of the directory
        std::uint64_t size = 0;
    };

    /// The directory of the archive at @p path, or why it cannot be read.
    static std::variant<ZipSlicedDirectory, ZipError> read(const QString &path, const ZipLimits &limits);

    const std::vector<Slice> &slices() const { return m_slices; }
    std::uint64_t fileSize() const { return m_fileSize; }

    /// libzip's view of @p slice, opened with @p flags (ZIP_RDONLY is added);
    /// nullptr with @p error set (a libzip error code) when libzip refuses it.
    /// Whoever gets the archive discards it; it may outlive this object.
    zip_t *openSlice(const Slice &slice, int flags, int *error) const;

    /// CannotOpen for the archive at @p path, saying what libzip's error @p code means.
    static ZipError openFailure(const QString &path, int code);

private:
    struct File;

    std::shared_ptr<File> m_file;
    std::vector<Slice> m_slices;
    std::uint64_t m_fileSize = 0;
    std::uint64_t m_directoryOffset = 0;
};

} // namespace platform
