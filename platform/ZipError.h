#pragma once

#include <platform/FileError.h>
#include <platform/platform_export.h>

#include <QString>

namespace platform {

/// Why an archive could not be unpacked.
struct PLATFORM_EXPORT ZipError {
    enum class Code {
        CannotOpen, ///< missing, unreadable or not a zip archive (an HTML page, ...)
        CorruptEntry, ///< an entry cannot be read or fails its checksum
        UnsafeEntry, ///< an entry would land outside the destination
        ArchiveTooLarge, ///< the declared size does not fit on the volume
        ZipBomb, ///< the declared size is implausibly large for the archive, or overflows
        TooManyEntries, ///< the archive holds more entries than ZipLimits::maxEntries
        WriteFailed, ///< the destination cannot be written
    };

    Code code = Code::CannotOpen;
    /// For WriteFailed and ArchiveTooLarge: why the disk refused (WriteOutOfSpace when full).
    FileError fileError = FileError::None;
    /// What went wrong, naming the entry where there is one.
    QString message;

    /// The sentence shown to users and reported as an event label.
    QString localizedDescription() const;
};

} // namespace platform
