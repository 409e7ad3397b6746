#include "FileManager.h"

#include <QFile>

#include <atomic>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {
std::atomic<FileManager *> replacement { nullptr };
}

FileManager::~FileManager() = default;

FileError FileManager::removeItem(const QString &path)
{
    namespace fs = std::filesystem;
    const fs::path item(QFile::encodeName(path).toStdString());
    std::error_code error;
    if (!fs::exists(fs::symlink_status(item, error)))
        return FileError::NoSuchFile;
    fs::remove_all(item, error);
    return error ? fileErrorFromErrno(error.value(), true) : FileError::None;
}

FileManager &FileManager::shared()
{
    static FileManager standard;
    FileManager *replaced = replacement.load();
    return replaced ? *replaced : standard;
}

void FileManager::setShared(FileManager *fileManager)
{
    replacement = fileManager;
}

} // namespace platform
