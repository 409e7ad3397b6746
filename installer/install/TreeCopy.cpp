#include "TreeCopy.h"

#include <platform/FileSync.h>

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Failure = TreeCopy::Failure;

constexpr std::size_t bufferSize = 1024 * 1024;
constexpr mode_t permissionBits = 0777;

Failure failure(int errorNumber, const std::string &path)
{
    return { errorNumber, QFile::decodeName(QByteArray::fromStdString(path)) };
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

std::optional<Failure> copyFile(const std::string &source, const std::string &target, mode_t mode)
{
    const Descriptor in { ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC) };
    if (in.fd < 0)
        return failure(errno, source);
    Descriptor out { ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600) };
    if (out.fd < 0)
        return failure(errno, target);
    std::vector<char> buffer(bufferSize);
    for (;;) {
        const ssize_t got = ::read(in.fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failure(errno, source);
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out.fd, buffer.data() + done, std::size_t(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                return failure(errno, target);
            done += put;
        }
    }
    if (::fchmod(out.fd, mode & permissionBits) != 0)
        return failure(errno, target);
    platform::FileSync::startWriteback(out.fd);
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0)
        return failure(errno, target);
    return std::nullopt;
}

std::optional<Failure> copyEntry(const std::string &source, const std::string &target)
{
    struct stat info { };
    if (::lstat(source.c_str(), &info) != 0)
        return failure(errno, source);
    if (S_ISLNK(info.st_mode)) {
        std::string destination(std::size_t(info.st_size) + 1, '\0');
        const ssize_t length = ::readlink(source.c_str(), destination.data(), destination.size());
        if (length < 0)
            return failure(errno, source);
        destination.resize(std::size_t(length));
        if (::symlink(destination.c_str(), target.c_str()) != 0)
            return failure(errno, target);
        return std::nullopt;
    }
    if (S_ISREG(info.st_mode))
        return copyFile(source, target, info.st_mode);
    if (!S_ISDIR(info.st_mode))
        return failure(EINVAL, source);

    if (::mkdir(target.c_str(), 0700) != 0)
        return failure(errno, target);
    DIR *folder = ::opendir(source.c_str());
    if (!folder)
        return failure(errno, source);
    std::optional<Failure> failed;
    while (const dirent *entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if ((failed = copyEntry(source + '/' + name, target + '/' + name)))
            break;
    }
    ::closedir(folder);
    if (!failed && ::chmod(target.c_str(), info.st_mode & permissionBits) != 0)
        failed = failure(errno, target);
    return failed;
}

std::uint64_t sizeOf(const std::string &path)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0)
        return 0;
    if (S_ISREG(info.st_mode))
        return std::uint64_t(info.st_size);
    if (!S_ISDIR(info.st_mode))
        return 0;
    std::uint64_t total = 0;
    if (DIR *folder = ::opendir(path.c_str())) {
        while (const dirent *entry = ::readdir(folder)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                total += sizeOf(path + '/' + name);
        }
        ::closedir(folder);
    }
    return total;
}

} // namespace

std::optional<TreeCopy::Failure> TreeCopy::copy(const QString &source, const QString &target)
{
    return copyEntry(QFile::encodeName(source).toStdString(), QFile::encodeName(target).toStdString());
}

std::uint64_t TreeCopy::size(const QString &path)
{
    return sizeOf(QFile::encodeName(path).toStdString());
}
