#include "WorkFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char cachePrefix[] = "run-";
const char temporaryPrefix[] = "Prismora_Installer-";

/// A folder of the user's own that nobody else may write into: safe to keep run folders in.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat info { };
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

/// $XDG_CACHE_HOME/Prismora_Installer (or ~/.cache/...), created 0700; empty when unusable.
QByteArray cacheBase()
{
    QByteArray cache = qgetenv("XDG_CACHE_HOME");
    if (cache.isEmpty() || cache.front() != '/') {
        const QByteArray home = qgetenv("HOME");
        if (home.isEmpty() || home.front() != '/')
            return {};
        cache = home + "/.cache";
    }
    if (::mkdir(cache.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    const QByteArray base = cache + "/Prismora_Installer";
    if (::mkdir(base.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(base) ? base : QByteArray();
}

/// $TMPDIR when it names an existing folder we may create in, else /tmp.
QByteArray temporaryBase()
{
    const QByteArray configured = qgetenv("TMPDIR");
    struct stat info { };
    if (!configured.isEmpty() && configured.front() == '/' && ::stat(configured.constData(), &info) == 0
        && S_ISDIR(info.st_mode) && ::access(configured.constData(), W_OK | X_OK) == 0)
        return configured;
    return QByteArrayLiteral("/tmp");
}

/// Removes the unheld folders named @p prefix* in @p base that belong to us.
int sweep(const QByteArray &base, const QByteArray &prefix)
{
    int removed = 0;
    std::error_code error;
    for (fs::directory_iterator it(base.toStdString(), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix.toStdString(), 0) != 0)
            continue;
        const QByteArray path = QByteArray::fromStdString(it->path().string());
        struct stat info { };
        if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        const FolderLock lock(QFile::decodeName(path), FolderLock::Links::Refuse);
        if (!lock.isHeld())
            continue;
        std::error_code ignored;
        fs::remove_all(it->path(), ignored);
        ++removed;
    }
    return removed;
}

} // namespace

WorkFolder::WorkFolder(QString path, FolderLock lock)
    : m_path(std::move(path))
    , m_lock(std::move(lock))
{
}

WorkFolder::~WorkFolder()
{
    std::error_code ignored;
    fs::remove_all(QFile::encodeName(m_path).toStdString(), ignored);
}

std::unique_ptr<WorkFolder> WorkFolder::create(QString *error)
{
    QByteArray base = cacheBase();
    QByteArray pattern
        = base.isEmpty() ? temporaryBase() + '/' + temporaryPrefix + "XXXXXX" : base + '/' + cachePrefix + "XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        if (error)
            *error = QStringLiteral("cannot create a work folder in %1: %2")
                         .arg(QFile::decodeName(pattern), QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    FolderLock lock(QFile::decodeName(pattern), FolderLock::Links::Refuse);
    if (!lock.isHeld()) {
        if (error)
            *error = QStringLiteral("cannot lock the work folder %1").arg(QFile::decodeName(pattern));
        ::rmdir(pattern.constData());
        return nullptr;
    }
    return std::unique_ptr<WorkFolder>(new WorkFolder(QFile::decodeName(pattern), std::move(lock)));
}

int WorkFolder::sweepStale()
{
    int removed = sweep(temporaryBase(), temporaryPrefix);
    const QByteArray base = cacheBase();
    if (!base.isEmpty())
        removed += sweep(base, cachePrefix);
    return removed;
}

QString WorkFolder::path() const
{
    return m_path;
}

QString WorkFolder::archivePath() const
{
    return m_path + QStringLiteral("/prismora.zip");
}

QString WorkFolder::unpackPath() const
{
    return m_path + QStringLiteral("/Fetchwell");
}
