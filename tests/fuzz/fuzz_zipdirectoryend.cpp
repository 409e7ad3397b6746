// The cheap "is this a zip archive" check on arbitrary downloads: a refusal
// always says why, and an accepted record always describes a directory that
// lies inside the file, before its end record, starting with a central header.
#include "FuzzInput.h"

#include <platform/ZipDirectoryEnd.h>

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const int fd = memfd_create("fuzz.zip", 0);
    if (fd < 0 || ::write(fd, data, size) != ssize_t(size))
        std::abort();
    QString error;
    const auto end = platform::ZipDirectoryEnd::readChecked(QStringLiteral("/proc/self/fd/%1").arg(fd), &error);
    ::close(fd);
    if (!end) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (size < 22 || end->directoryOffset > size - 22 || end->directorySize > size - 22 - end->directoryOffset)
        std::abort();
    if (end->entryCount > 0 && std::memcmp(data + end->directoryOffset, "PK\1\2", 4) != 0)
        std::abort();
    return 0;
}
