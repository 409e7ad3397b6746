#include "DownloadFile_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::net {

namespace {
// Large enough that the body is written with few system calls.
constexpr std::size_t fileBufferSize = 1024 * 1024;
constexpr std::size_t prefixReadSize = 256 * 1024;
} // namespace

DownloadFile::~DownloadFile()
{
    close();
}

bool DownloadFile::openTemporary()
{
    QByteArray path = QFile::encodeName(QDir::tempPath()) + "/PrismoraDownload_XXXXXX.tmp";
    const int fd = mkstemps(path.data(), 4);
    if (fd < 0)
        return fail(errno);
    m_path = path;
    m_temporary = true;
    return attach(fd);
}

bool DownloadFile::openDestination(const QString &path, std::int64_t keep)
{
    m_path = QFile::encodeName(path);
    m_temporary = false;
    // O_NONBLOCK: a FIFO or device put in place of the file must not hang the open.
    const int fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0)
        return fail(errno);
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail(EINVAL);
    }
    const std::int64_t kept = keep > 0 && info.st_size >= keep ? keep : 0;
    if (::ftruncate(fd, kept) != 0 || !hashPrefix(fd, kept) || ::lseek(fd, kept, SEEK_SET) < 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    m_size = kept;
    return attach(fd);
}

bool DownloadFile::attach(int fd)
{
    m_file = fdopen(fd, "r+b");
    if (!m_file) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    setvbuf(m_file, nullptr, _IOFBF, fileBufferSize);
    return true;
}

bool DownloadFile::hashPrefix(int fd, std::int64_t length)
{
    QByteArray buffer(prefixReadSize, Qt::Uninitialized);
    for (std::int64_t done = 0; done < length;) {
        const auto wanted = std::size_t(std::min<std::int64_t>(buffer.size(), length - done));
        const ssize_t got = ::pread(fd, buffer.data(), wanted, done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0)
                errno = EIO; // the file shrank under us
            return false;
        }
        m_digester.update(buffer.constData(), std::size_t(got));
        done += got;
    }
    return true;
}

QString DownloadFile::path() const
{
    return QFile::decodeName(m_path);
}

QString DownloadFile::folder() const
{
    return QFileInfo(path()).absolutePath();
}

bool DownloadFile::restart()
{
    if (std::fflush(m_file) != 0 || ::ftruncate(fileno(m_file), 0) != 0 || std::fseek(m_file, 0, SEEK_SET) != 0)
        return fail(errno);
    m_size = 0;
    m_digester.reset();
    return true;
}

bool DownloadFile::write(const char *data, std::size_t length)
{
    errno = 0;
    if (std::fwrite(data, 1, length, m_file) != length) {
        // A short write that names no error is the file system running out of room.
        return fail(errno ? errno : ENOSPC);
    }
    m_digester.update(data, length);
    m_size += std::int64_t(length);
    return true;
}

bool DownloadFile::flush()
{
    errno = 0;
    if (std::fflush(m_file) != 0)
        return fail(errno ? errno : ENOSPC);
    return true;
}

std::int64_t DownloadFile::sizeOnDisk()
{
    flush();
    struct stat info { };
    return m_file && ::fstat(fileno(m_file), &info) == 0 ? std::int64_t(info.st_size) : 0;
}

void DownloadFile::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (m_temporary && !m_path.isEmpty())
        ::unlink(m_path.constData());
    m_temporary = false;
}

bool DownloadFile::fail(int errorNumber)
{
    m_errno = errorNumber;
    return false;
}

} // namespace platform::net
