#include "FolderLock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::FolderLock(const QString &folder, Links links)
    : m_fd(::open(QFile::encodeName(folder).constData(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC | (links == Links::Refuse ? O_NOFOLLOW : 0)))
{
    if (m_fd < 0) {
        m_error = errno;
    } else if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_error = errno;
        ::close(m_fd);
        m_fd = -1;
    }
}

FolderLock::FolderLock(FolderLock &&other) noexcept
    : m_fd(other.m_fd)
    , m_error(other.m_error)
{
    other.m_fd = -1;
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
