#include "FileManager.h"

#include "SharedInstance.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {
constinit SharedInstance<FileManager> sharedFileManager;
}

FileManager::~FileManager() = default;

FileError FileManager::removeItem(const QString &path)
{
    namespace fs = std::filesystem;
    const fs::path item(QFile::encodeName(path).toStdString());
    std::error_code error;
    const fs::file_status status = fs::symlink_status(item, error);
    // Only a definite "not there" counts as nothing to remove; a path that
    // cannot even be looked at is a failure.
    if (error && error != std::errc::no_such_file_or_directory)
        return fileErrorFromErrno(error.value(), true);
    if (!fs::exists(status))
        return FileError::NoSuchFile;
    fs::remove_all(item, error);
    return error ? fileErrorFromErrno(error.value(), true) : FileError::None;
}

int FileManager::moveItem(const QString &from, const QString &to, MoveMode mode)
{
    const unsigned flags = mode == MoveMode::Exchange ? RENAME_EXCHANGE : RENAME_NOREPLACE;
    if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD, QFile::encodeName(to).constData(), flags)
        == 0)
        return 0;
    return errno;
}

FileManager &FileManager::shared()
{
    return sharedFileManager.instance();
}

void FileManager::setShared(FileManager *fileManager)
{
    sharedFileManager.replace(fileManager);
}

} // namespace platform
