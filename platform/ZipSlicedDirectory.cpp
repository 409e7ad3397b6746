#include "ZipSlicedDirectory_p.h"

#include "ZipDirectoryEnd.h"

#include <QFile>
#include <QtEndian>

#include <zip.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

struct ZipSlicedDirectory::File {
    explicit File(int descriptor)
        : fd(descriptor)
    {
    }
    ~File() { ::close(fd); }
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    const int fd;
};

namespace {

using Slice = ZipSlicedDirectory::Slice;

constexpr std::size_t centralHeaderSize = 46;
constexpr quint32 centralSignature = 0x02014b50;
constexpr std::size_t walkBufferSize = 256 * 1024;
// Zip tools without zip64 records write the entry count modulo 65,536.
constexpr std::uint64_t wrappedCountModulus = 0x10000;

/// Reads @p length bytes at @p offset; false when the file ends first or the read fails (errno says why).
bool readAt(int fd, std::uint64_t offset, char *data, std::size_t length)
{
    while (length > 0) {
        const ssize_t read = ::pread(fd, data, length, off_t(offset));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0) {
            if (read == 0)
                errno = 0;
            return false;
        }
        data += read;
        offset += std::uint64_t(read);
        length -= std::size_t(read);
    }
    return true;
}

template <typename T> void put(char *&out, T value)
{
    qToLittleEndian(value, out);
    out += sizeof(T);
}

/// The records that end a directory of @p count entries and @p size bytes at
/// @p offset: a zip64 end record, its locator and a plain end record that
/// defers to them, so one form serves every offset.
std::array<char, 98> endRecords(std::uint64_t count, std::uint64_t size, std::uint64_t offset)
{
    std::array<char, 98> bytes {};
    char *out = bytes.data();
    put<quint32>(out, 0x06064b50);
    put<quint64>(out, 44); // the size of the rest of this record
    put<quint16>(out, 45);
    put<quint16>(out, 45);
    put<quint32>(out, 0);
    put<quint32>(out, 0);
    put<quint64>(out, count);
    put<quint64>(out, count);
    put<quint64>(out, size);
    put<quint64>(out, offset);
    put<quint32>(out, 0x07064b50);
    put<quint32>(out, 0);
    put<quint64>(out, offset + size);
    put<quint32>(out, 1);
    put<quint32>(out, 0x06054b50);
    put<quint16>(out, 0);
    put<quint16>(out, 0);
    put<quint16>(out, 0xffff);
    put<quint16>(out, 0xffff);
    put<quint32>(out, 0xffffffff);
    put<quint32>(out, 0xffffffff);
    put<quint16>(out, 0);
    return bytes;
}

/// What libzip reads for one slice: the file's bytes before the directory,
/// the slice's records right after them, then end records for the slice.
class SliceSource {
public:
    SliceSource(std::shared_ptr<const void> owner, int fd, std::uint64_t directoryOffset, const Slice &slice)
        : m_owner(std::move(owner))
        , m_fd(fd)
        , m_dataSize(directoryOffset)
        , m_sliceStart(directoryOffset + slice.offset)
        , m_sliceSize(slice.size)
        , m_end(endRecords(slice.entryCount, slice.size, directoryOffset))
    {
        zip_error_init(&m_error);
    }
    ~SliceSource() { zip_error_fini(&m_error); }

    static zip_int64_t call(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *source = static_cast<SliceSource *>(state);
        switch (command) {
        case ZIP_SOURCE_OPEN:
            source->m_position = 0;
            return 0;
        case ZIP_SOURCE_READ:
            return source->read(static_cast<char *>(data), length);
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *stat = static_cast<zip_stat_t *>(data);
            zip_stat_init(stat);
            stat->size = source->size();
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&source->m_error, data, length);
        case ZIP_SOURCE_FREE:
            delete source;
            return 0;
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t position
                = zip_source_seek_compute_offset(source->m_position, source->size(), data, length, &source->m_error);
            if (position < 0)
                return -1;
            source->m_position = zip_uint64_t(position);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return zip_int64_t(source->m_position);
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
        default:
            zip_error_set(&source->m_error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

private:
    zip_uint64_t size() const { return m_dataSize + m_sliceSize + m_end.size(); }

    zip_int64_t read(char *data, zip_uint64_t length)
    {
        zip_uint64_t done = 0;
        while (done < length && m_position < size()) {
            std::uint64_t count = 0;
            if (m_position < m_dataSize + m_sliceSize) {
                const bool inData = m_position < m_dataSize;
                const std::uint64_t from = inData ? m_position : m_sliceStart + (m_position - m_dataSize);
                const std::uint64_t left = (inData ? m_dataSize : m_dataSize + m_sliceSize) - m_position;
                count = std::min(length - done, left);
                if (!readFile(from, std::min<std::uint64_t>(left, m_cache.size()), data + done, count)) {
                    zip_error_set(&m_error, errno ? ZIP_ER_READ : ZIP_ER_EOF, errno);
                    return -1;
                }
            } else {
                const std::uint64_t at = m_position - m_dataSize - m_sliceSize;
                count = std::min(length - done, m_end.size() - at);
                std::memcpy(data + done, m_end.data() + at, std::size_t(count));
            }
            done += count;
            m_position += count;
        }
        return zip_int64_t(done);
    }

    /// Reads @p count bytes at @p from; a small read is served from a cache
    /// of up to @p readAhead bytes, as libzip reads each entry's local header
    /// in a few small pieces.
    bool readFile(std::uint64_t from, std::uint64_t readAhead, char *data, std::uint64_t count)
    {
        if (count >= m_cache.size())
            return readAt(m_fd, from, data, std::size_t(count));
        if (from < m_cacheStart || from + count > m_cacheStart + m_cacheLength) {
            m_cacheLength = 0;
            if (!readAt(m_fd, from, m_cache.data(), std::size_t(readAhead)))
                return false;
            m_cacheStart = from;
            m_cacheLength = readAhead;
        }
        std::memcpy(data, m_cache.data() + (from - m_cacheStart), std::size_t(count));
        return true;
    }

    std::shared_ptr<const void> m_owner; // keeps the descriptor open
    int m_fd;
    std::uint64_t m_dataSize;
    std::uint64_t m_sliceStart;
    std::uint64_t m_sliceSize;
    std::array<char, 98> m_end;
    std::uint64_t m_position = 0;
    std::array<char, 4096> m_cache;
    std::uint64_t m_cacheStart = 0;
    std::uint64_t m_cacheLength = 0;
    zip_error_t m_error;
};

ZipError cannotOpen(const QString &path, const QString &why)
{
    return ZipError { ZipError::Code::CannotOpen, FileError::None, QStringLiteral("%1: %2").arg(path, why) };
}

QString libzipMessage(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString message = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return message;
}

ZipError tooManyEntries(std::uint64_t count, const ZipLimits &limits)
{
    return ZipError { ZipError::Code::TooManyEntries, FileError::None,
        QStringLiteral("%1 entries, at most %2 accepted").arg(count).arg(limits.maxEntries) };
}

} // namespace

std::variant<ZipSlicedDirectory, ZipError> ZipSlicedDirectory::read(const QString &path, const ZipLimits &limits)
{
    // Not blocking: a named pipe in the archive's place is refused, not waited on.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return cannotOpen(path, QString::fromLocal8Bit(std::strerror(errno)));
    ZipSlicedDirectory directory;
    directory.m_file = std::make_shared<File>(fd);
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return cannotOpen(path, libzipMessage(ZIP_ER_NOZIP));
    directory.m_fileSize = std::uint64_t(info.st_size);

    const auto end = ZipDirectoryEnd::read(path);
    if (!end)
        return cannotOpen(path, libzipMessage(ZIP_ER_NOZIP));
    if (end->entryCount > limits.maxEntries)
        return tooManyEntries(end->entryCount, limits);
    if (!end->directoryLiesBeforeEnd())
        return cannotOpen(path, libzipMessage(ZIP_ER_INCONS));
    directory.m_directoryOffset = end->directoryOffset;

    const std::uint64_t perSlice = std::max<std::uint64_t>(1, limits.directorySliceEntries);
    std::vector<char> buffer(walkBufferSize);
    std::uint64_t bufferStart = 0;
    std::uint64_t bufferEnd = 0;
    std::uint64_t offset = 0;
    std::uint64_t count = 0;
    Slice slice;
    while (offset < end->directorySize) {
        if (end->directorySize - offset < centralHeaderSize)
            return cannotOpen(path, libzipMessage(ZIP_ER_INCONS));
        if (offset < bufferStart || offset + centralHeaderSize > bufferEnd) {
            const std::uint64_t length = std::min<std::uint64_t>(buffer.size(), end->directorySize - offset);
            if (!readAt(fd, end->directoryOffset + offset, buffer.data(), std::size_t(length)))
                return cannotOpen(path, libzipMessage(ZIP_ER_READ));
            bufferStart = offset;
            bufferEnd = offset + length;
        }
        const char *header = buffer.data() + (offset - bufferStart);
        if (qFromLittleEndian<quint32>(header) != centralSignature)
            return cannotOpen(path, libzipMessage(ZIP_ER_NOZIP));
        const std::uint64_t recordSize = centralHeaderSize + qFromLittleEndian<quint16>(header + 28)
            + qFromLittleEndian<quint16>(header + 30) + qFromLittleEndian<quint16>(header + 32);
        if (recordSize > end->directorySize - offset)
            return cannotOpen(path, libzipMessage(ZIP_ER_INCONS));
        if (++count > limits.maxEntries) {
            offset += recordSize;
            continue;
        }
        if (slice.entryCount == perSlice || (slice.entryCount > 0 && slice.size + recordSize > maxSliceBytes)) {
            directory.m_slices.push_back(slice);
            slice = Slice { count - 1, 0, offset, 0 };
        }
        ++slice.entryCount;
        slice.size += recordSize;
        offset += recordSize;
    }
    if (count > limits.maxEntries)
        return tooManyEntries(count, limits);
    const bool wrapped
        = !end->zip64 && end->entryCount < wrappedCountModulus && count % wrappedCountModulus == end->entryCount;
    if (count != end->entryCount && !wrapped)
        return cannotOpen(path, libzipMessage(ZIP_ER_INCONS));
    if (slice.entryCount > 0)
        directory.m_slices.push_back(slice);
    return directory;
}

zip_t *ZipSlicedDirectory::openSlice(const Slice &slice, int flags, int *error) const
{
    auto *state = new SliceSource(m_file, m_file->fd, m_directoryOffset, slice);
    zip_error_t sourceError;
    zip_error_init(&sourceError);
    zip_source_t *source = zip_source_function_create(&SliceSource::call, state, &sourceError);
    if (!source) {
        delete state;
        *error = zip_error_code_zip(&sourceError);
        zip_error_fini(&sourceError);
        return nullptr;
    }
    zip_error_fini(&sourceError);
    zip_error_t openError;
    zip_error_init(&openError);
    zip_t *archive = zip_open_from_source(source, flags | ZIP_RDONLY, &openError);
    if (!archive) {
        *error = zip_error_code_zip(&openError);
        zip_source_free(source);
    } else if (zip_get_num_entries(archive, 0) != zip_int64_t(slice.entryCount)) {
        // libzip settled on another end record than the one written for the slice.
        *error = ZIP_ER_INCONS;
        zip_discard(archive);
        archive = nullptr;
    }
    zip_error_fini(&openError);
    return archive;
}

ZipError ZipSlicedDirectory::openFailure(const QString &path, int code)
{
    return cannotOpen(path, libzipMessage(code));
}

} // namespace platform
