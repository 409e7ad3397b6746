#include "FileSync.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
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

} // namespace

int FileSync::syncFolder(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // EINVAL: the file system has nothing to sync for folders.
    return closeKeeping(fd, ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno);
}

int FileSync::syncFileSystem(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    return closeKeeping(fd, ::syncfs(fd) == 0 ? 0 : errno);
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
        if (written > 0)
            done += written;
        else if (written == 0 || errno != EINTR)
            error = written == 0 ? EIO : errno;
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
