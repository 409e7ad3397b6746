#include "Folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/statvfs.h>

namespace platform {

namespace {
std::optional<QString> firstLocation(QStandardPaths::StandardLocation location, bool last = false)
{
    const QStringList paths = QStandardPaths::standardLocations(location);
    if (paths.isEmpty() || paths.first().isEmpty())
        return std::nullopt;
    return last ? paths.last() : paths.first();
}

/// What statvfs(3) says of the volume holding @p path.
std::optional<struct statvfs> volumeOf(const QString &path)
{
    struct statvfs info { };
    if (path.isEmpty() || statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return info;
}
} // namespace

std::optional<QString> Folders::applicationSupport()
{
    return firstLocation(QStandardPaths::GenericDataLocation);
}

std::optional<QString> Folders::documents()
{
    return firstLocation(QStandardPaths::DocumentsLocation, true);
}

QString Folders::temporary()
{
    return QDir::tempPath();
}

QString Folders::resolveApplications(const QString &overrideDir, const QString &systemDir, const QString &home)
{
    if (!overrideDir.isEmpty())
        return QDir::cleanPath(overrideDir);
    if (QFileInfo(systemDir).isDir())
        return systemDir;
    return QDir::cleanPath(home + QStringLiteral("/Applications"));
}

QString Folders::applications()
{
    static const QString folder = [] {
        const QString path = resolveApplications(
            qEnvironmentVariable("PRISMORA_APPLICATIONS_DIR"), QStringLiteral("/Applications"), QDir::homePath());
        QDir().mkpath(path);
        return path;
    }();
    return folder;
}

std::optional<qint64> Folders::freeSpace(const QString &path)
{
    const auto info = volumeOf(path);
    return info ? std::optional<qint64>(qint64(info->f_bavail) * qint64(info->f_frsize)) : std::nullopt;
}

std::optional<qint64> Folders::volumeSize(const QString &path)
{
    const auto info = volumeOf(path);
    return info ? std::optional<qint64>(qint64(info->f_blocks) * qint64(info->f_frsize)) : std::nullopt;
}

} // namespace platform
