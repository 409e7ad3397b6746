#include "ArchiveImport.h"

#include <QByteArray>
#include <QFile>

#include <openssl/evp.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t chunkSize = 1024 * 1024;

QString errnoText(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

/// Opens @p path for reading without blocking and makes sure it is a regular file.
int openRegular(const QString &path, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("%1: %2").arg(path, errnoText(errno));
        return -1;
    }
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = S_ISDIR(info.st_mode) ? QStringLiteral("%1 is a folder, not an archive").arg(path)
                                       : QStringLiteral("%1 is not a regular file").arg(path);
        ::close(fd);
        return -1;
    }
    // Reads of a regular file never block; the flag only kept open() from waiting on a FIFO.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

struct DigestContext {
    DigestContext(const EVP_MD *type)
        : context(EVP_MD_CTX_new())
    {
        EVP_DigestInit_ex(context, type, nullptr);
    }
    ~DigestContext() { EVP_MD_CTX_free(context); }
    DigestContext(const DigestContext &) = delete;
    DigestContext &operator=(const DigestContext &) = delete;

    QString hex()
    {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_DigestFinal_ex(context, digest, &length);
        return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
    }

    EVP_MD_CTX *context;
};

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

} // namespace

std::optional<QString> ArchiveImport::refusal(const QString &source)
{
    QString error;
    const int fd = openRegular(source, &error);
    if (fd < 0)
        return error;
    ::close(fd);
    return std::nullopt;
}

ArchiveImport::Result ArchiveImport::copy(const QString &source, const QString &destination, std::int64_t maximumSize)
{
    Result result;
    QString error;
    const int in = openRegular(source, &error);
    if (in < 0) {
        result.error = error;
        return result;
    }
    const QByteArray target = QFile::encodeName(destination);
    const int out = ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        result.errorNumber = errno;
        result.error = QStringLiteral("%1: %2").arg(destination, errnoText(errno));
        ::close(in);
        return result;
    }

    DigestContext sha256(EVP_sha256());
    DigestContext blake2b(EVP_blake2b512());
    const auto buffer = std::make_unique<char[]>(chunkSize);
    for (;;) {
        const ssize_t read = ::read(in, buffer.get(), chunkSize);
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0) {
            result.errorNumber = errno;
            result.error = QStringLiteral("%1: %2").arg(source, errnoText(errno));
            break;
        }
        if (read == 0)
            break;
        result.size += read;
        if (maximumSize >= 0 && result.size > maximumSize) {
            result.tooLarge = true;
            result.error = QStringLiteral("%1 is larger than the expected %2 bytes").arg(source).arg(maximumSize);
            break;
        }
        EVP_DigestUpdate(sha256.context, buffer.get(), std::size_t(read));
        EVP_DigestUpdate(blake2b.context, buffer.get(), std::size_t(read));
        if (!writeAll(out, buffer.get(), std::size_t(read))) {
            result.errorNumber = errno;
            result.error = QStringLiteral("%1: %2").arg(destination, errnoText(errno));
            break;
        }
    }
    ::close(in);
    if (::close(out) != 0 && !result.error) {
        result.errorNumber = errno;
        result.error = QStringLiteral("%1: %2").arg(destination, errnoText(errno));
    }
    if (result.error) {
        ::unlink(target.constData());
        return result;
    }
    result.digests.sha256 = sha256.hex();
    result.digests.blake2b512 = blake2b.hex();
    return result;
}
