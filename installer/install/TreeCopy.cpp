#include "TreeCopy.h"

#include "TreeWalk.h"

#include <platform/FileSync.h>

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
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

/// Copies the link at @p source to @p target.
std::optional<Failure> copyLink(const std::string &source, const std::string &target, const struct stat &info)
{
    std::string destination(std::size_t(info.st_size) + 1, '\0');
    const ssize_t length = ::readlink(source.c_str(), destination.data(), destination.size());
    if (length < 0)
        return failure(errno, source);
    destination.resize(std::size_t(length));
    if (::symlink(destination.c_str(), target.c_str()) != 0)
        return failure(errno, target);
    return std::nullopt;
}

/// The path in the copy of the entry at @p path of the tree at @p source.
std::string counterpart(const char *path, const std::string &source, const std::string &target)
{
    return target + (path + source.size());
}

} // namespace

// Folders are made (owner-only) before what they hold and get their modes
// after it, in a second walk, so that a read-only folder can still be filled.
std::optional<TreeCopy::Failure> TreeCopy::copy(const QString &source, const QString &target)
{
    const QByteArray from = QFile::encodeName(source);
    const std::string sourceRoot = from.toStdString();
    const std::string targetRoot = QFile::encodeName(target).toStdString();
    std::optional<Failure> failed;
    const auto copyEntry = [&](const char *path, const struct stat *info, int type, int) {
        const std::string copy = counterpart(path, sourceRoot, targetRoot);
        if (type == FTW_NS || type == FTW_DNR)
            failed = failure(errno ? errno : EIO, path);
        else if (type == FTW_SL)
            failed = copyLink(path, copy, *info);
        else if (type == FTW_D && ::mkdir(copy.c_str(), 0700) != 0)
            failed = failure(errno, copy);
        else if (type == FTW_F)
            failed = S_ISREG(info->st_mode) ? copyFile(path, copy, info->st_mode) : failure(EINVAL, path);
        return failed ? FTW_STOP : FTW_CONTINUE;
    };
    const auto setFolderMode = [&](const char *path, const struct stat *info, int type, int) {
        const std::string copy = counterpart(path, sourceRoot, targetRoot);
        if (type == FTW_DP && ::chmod(copy.c_str(), info->st_mode & permissionBits) != 0)
            failed = failure(errno, copy);
        return failed ? FTW_STOP : FTW_CONTINUE;
    };
    for (const auto &[order, visit] : { std::pair { TreeWalk::Order::FoldersFirst, TreeWalk::Visit(copyEntry) },
             std::pair { TreeWalk::Order::FoldersLast, TreeWalk::Visit(setFolderMode) } }) {
        const int result = TreeWalk::walk(from, order, visit);
        if (failed)
            return failed;
        if (result != 0)
            return failure(errno, sourceRoot);
    }
    return std::nullopt;
}

std::uint64_t TreeCopy::size(const QString &path)
{
    std::uint64_t total = 0;
    TreeWalk::walk(QFile::encodeName(path), TreeWalk::Order::FoldersFirst,
        [&](const char *, const struct stat *info, int type, int) {
            if (type == FTW_F && S_ISREG(info->st_mode))
                total += std::uint64_t(info->st_size);
            return FTW_CONTINUE;
        });
    return total;
}
