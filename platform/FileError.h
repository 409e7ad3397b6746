#pragma once

#include <platform/platform_export.h>

namespace platform {

/**
 * File-operation failures, numbered as the installer's stored values and log
 * lines expect (the numbering of the original file-manager error domain).
 */
enum class FileError : int {
    None = 0,
    NoSuchFile = 4,
    ReadUnknown = 256,
    ReadNoPermission = 257,
    WriteUnknown = 512,
    WriteNoPermission = 513,
    WriteFileExists = 516,
    WriteOutOfSpace = 640,
    WriteVolumeReadOnly = 642,
};

/// Maps a C library error number from a read (@p writing false) or a write
/// to its file error.
PLATFORM_EXPORT FileError fileErrorFromErrno(int errorNumber, bool writing);

} // namespace platform
