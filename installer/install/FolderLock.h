#pragma once

#include <QString>

/**
 * An exclusive lock on a folder, taken without waiting, for as long as the
 * object lives: flock(2) on the folder itself, so no lock file is left behind.
 *
 * error() is 0 when the lock is held, EWOULDBLOCK when another process holds
 * it, else why the folder could not be opened. With Links::Refuse a symbolic
 * link at @p folder is never opened (ELOOP), for folders whose names come from
 * a listing anyone could have written into.
 */
class FolderLock {
public:
    enum class Links { Follow, Refuse };

    explicit FolderLock(const QString &folder, Links links = Links::Follow);
    ~FolderLock();
    FolderLock(FolderLock &&other) noexcept;
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    FolderLock &operator=(FolderLock &&) = delete;

    bool isHeld() const { return m_fd >= 0; }
    int error() const { return m_error; }

private:
    int m_fd;
    int m_error = 0;
};
