#include "FileSync.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

/// Closes @p fd, keeping @p error (the first failure) unless there was none.
int closeKeeping(int fd, int error)
{
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        return errno;
    return error;
}

/// Opens @p path (relative to @p folder) read-only and runs fsync or fdatasync on it.
int syncAt(int folder, const char *path, int flags, bool metadata)
{
    const int fd = ::openat(folder, path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | flags);
    if (fd < 0)
        return errno;
    const int error = (metadata ? ::fsync(fd) : ::fdatasync(fd)) == 0 ? 0 : errno;
    return closeKeeping(fd, error);
}

/// Syncs the files and folders below the open folder @p fd, then the folder;
/// @p path names it for failures.
int syncTreeAt(int fd, const std::string &path, std::string &failed)
{
    DIR *folder = ::fdopendir(fd);
    if (!folder) {
        failed = path;
        return closeKeeping(fd, errno);
    }
    int error = 0;
    errno = 0;
    while (const dirent *entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat info { };
            if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                error = errno;
                failed = path + '/' + name;
                break;
            }
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_LNK;
        }
        if (type == DT_DIR) {
            const int child = ::openat(fd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            error = child < 0 ? errno : syncTreeAt(child, path + '/' + name, failed);
            if (child < 0)
                failed = path + '/' + name;
        } else if (type == DT_REG) {
            error = syncAt(fd, entry->d_name, 0, false);
            if (error)
                failed = path + '/' + name;
        }
        if (error)
            break;
        errno = 0;
    }
    if (!error && errno != 0) {
        error = errno;
        failed = path;
    }
    if (!error && ::fsync(fd) != 0) {
        error = errno;
        failed = path;
    }
    ::closedir(folder);
    return error;
}

} // namespace

int FileSync::syncFile(const QString &path)
{
    return syncAt(AT_FDCWD, QFile::encodeName(path).constData(), 0, false);
}

int FileSync::syncFolder(const QString &path)
{
    return syncAt(AT_FDCWD, QFile::encodeName(path).constData(), O_DIRECTORY, true);
}

int FileSync::syncTree(const QString &path, QString *failedPath)
{
    const std::string root = QFile::encodeName(path).toStdString();
    std::string failed = root;
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = fd < 0 ? errno : syncTreeAt(fd, root, failed);
    if (error && failedPath)
        *failedPath = QFile::decodeName(failed.c_str());
    return error;
}

void FileSync::startWriteback(int fd)
{
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

int FileSync::writeAtomically(const QString &path, const QByteArray &bytes)
{
    QByteArray temporary = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = ::fchmod(fd, 0644) == 0 ? 0 : errno;
    for (qsizetype done = 0; error == 0 && done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (written < 0 && errno != EINTR)
            error = errno;
        else if (written > 0)
            done += written;
    }
    if (error == 0 && ::fdatasync(fd) != 0)
        error = errno;
    error = closeKeeping(fd, error);
    if (error == 0 && ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return error;
    }
    return syncFolder(QFileInfo(path).absolutePath());
}

} // namespace platform
