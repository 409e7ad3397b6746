#include "FileError.h"

#include <cerrno>

namespace platform {

FileError fileErrorFromErrno(int errorNumber, bool writing)
{
    switch (errorNumber) {
    case 0:
        return FileError::None;
    case ENOENT:
    case ENOTDIR:
        return FileError::NoSuchFile;
    case EACCES:
    case EPERM:
        return writing ? FileError::WriteNoPermission : FileError::ReadNoPermission;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileError::WriteOutOfSpace;
    case EEXIST:
        return FileError::WriteFileExists;
    case EROFS:
        return FileError::WriteVolumeReadOnly;
    default:
        return writing ? FileError::WriteUnknown : FileError::ReadUnknown;
    }
}

} // namespace platform
