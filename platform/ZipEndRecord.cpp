#include "ZipEndRecord.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t endRecordSize = 22;
constexpr std::size_t longestComment = 0xffff;
constexpr std::size_t locatorSize = 20;
constexpr std::size_t zip64RecordSize = 56;
constexpr char endSignature[] = "PK\x05\x06";
constexpr char locatorSignature[] = "PK\x06\x07";
constexpr char zip64Signature[] = "PK\x06\x06";

/// The little-endian number of @p bytes bytes at @p data.
std::uint64_t little(const unsigned char *data, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | data[i];
    return value;
}

bool hasSignature(const unsigned char *data, const char *signature)
{
    return std::equal(data, data + 4, reinterpret_cast<const unsigned char *>(signature));
}

/// Reads exactly @p length bytes at @p offset.
bool readAt(int fd, std::uint64_t offset, unsigned char *data, std::size_t length)
{
    while (length > 0) {
        const ssize_t got = ::pread(fd, data, length, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        offset += std::uint64_t(got);
        length -= std::size_t(got);
    }
    return true;
}

/// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::optional<std::uint64_t> ZipEndRecord::declaredEntries(const QString &path)
{
    const Descriptor file { ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC) };
    struct stat info { };
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    const auto size = std::uint64_t(info.st_size);
    if (size < endRecordSize)
        return std::nullopt;
    const std::uint64_t tailStart = size - std::min<std::uint64_t>(size, endRecordSize + longestComment);
    std::vector<unsigned char> tail(std::size_t(size - tailStart));
    if (!readAt(file.fd, tailStart, tail.data(), tail.size()))
        return std::nullopt;

    for (std::size_t at = tail.size() - endRecordSize + 1; at-- > 0;) {
        const unsigned char *end = tail.data() + at;
        if (!hasSignature(end, endSignature) || at + endRecordSize + little(end + 20, 2) > tail.size())
            continue;
        const std::uint64_t entries = std::max(little(end + 8, 2), little(end + 10, 2));
        const std::uint64_t endOffset = tailStart + at;
        unsigned char locator[locatorSize];
        if (endOffset < locatorSize || !readAt(file.fd, endOffset - locatorSize, locator, locatorSize)
            || !hasSignature(locator, locatorSignature))
            return entries;
        // The zip64 record lies before its locator.
        const std::uint64_t zip64Offset = little(locator + 8, 8);
        unsigned char zip64[zip64RecordSize];
        if (zip64Offset > endOffset - locatorSize || endOffset - locatorSize - zip64Offset < zip64RecordSize
            || !readAt(file.fd, zip64Offset, zip64, zip64RecordSize) || !hasSignature(zip64, zip64Signature))
            return std::nullopt;
        return std::max(little(zip64 + 24, 8), little(zip64 + 32, 8));
    }
    return std::nullopt;
}

} // namespace platform
