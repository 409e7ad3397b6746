#include "ZipError.h"

namespace platform {

using Code = ZipError::Code;

QString ZipError::localizedDescription() const
{
    switch (code) {
    case Code::CannotOpen:
        return QStringLiteral("The file is not a valid zip archive.");
    case Code::CorruptEntry:
        return QStringLiteral("The archive is damaged.");
    case Code::UnsafeEntry:
        return QStringLiteral("The archive contains an entry that points outside its folder.");
    case Code::ArchiveTooLarge:
        return QStringLiteral("There is not enough space to unpack the archive.");
    case Code::ZipBomb:
        return QStringLiteral("The archive expands to an implausible size.");
    case Code::TooManyEntries:
        return QStringLiteral("The archive holds too many files.");
    case Code::WriteFailed:
        if (fileError == FileError::WriteOutOfSpace)
            return QStringLiteral("There is not enough space to unpack the archive.");
        return QStringLiteral("The unpacked files could not be written.");
    }
    return QString();
}

} // namespace platform
