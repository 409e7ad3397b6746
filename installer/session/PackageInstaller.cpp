#include "PackageInstaller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

PackageInstaller::Failure failure(int errorNumber, const QString &what, const QString &path)
{
    const auto error = platform::fileErrorFromErrno(errorNumber, true);
    const QString name = QFileInfo(path).fileName();
    const QString localized = error == platform::FileError::WriteOutOfSpace
        ? QStringLiteral("“%1” couldn’t be copied because there isn’t enough space.").arg(name)
        : QStringLiteral("“%1” couldn’t be %2.").arg(name, what);
    const QString description = QStringLiteral("FileError %1 \"%2\" path: %3 (%4)")
                                    .arg(int(error))
                                    .arg(localized, path, QString::fromLocal8Bit(std::strerror(errorNumber)));
    return { error, localized, description };
}

bool exists(const std::string &path)
{
    struct stat info { };
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace

QString PackageInstaller::unpackFolder(const QString &archivePath)
{
    return QFileInfo(archivePath).absolutePath() + QStringLiteral("/Fetchwell");
}

std::optional<PackageInstaller::Failure> PackageInstaller::placeUnpacked(
    const QString &archivePath, const QString &unpackFolder, const QString &applicationsFolder)
{
    if (::unlink(QFile::encodeName(archivePath).constData()) != 0)
        return failure(errno, QStringLiteral("removed"), archivePath);

    std::error_code error;
    std::vector<std::string> names;
    for (fs::directory_iterator it(QFile::encodeName(unpackFolder).toStdString(), error), end; !error && it != end;
         it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    if (error)
        return failure(error.value(), QStringLiteral("listed"), unpackFolder);
    std::sort(names.begin(), names.end());

    for (const std::string &name : names) {
        if (auto failed
            = placeEntry(unpackFolder + QLatin1Char('/') + QFile::decodeName(name.c_str()), applicationsFolder))
            return failed;
    }
    return std::nullopt;
}

std::optional<PackageInstaller::Failure> PackageInstaller::placeEntry(
    const QString &source, const QString &applicationsFolder)
{
    const QString name = QFileInfo(source).fileName();
    const std::string target = QFile::encodeName(applicationsFolder + QLatin1Char('/') + name).toStdString();

    // A private staging folder beside the target: the rename into place stays on one volume.
    QByteArray staging = QFile::encodeName(applicationsFolder) + "/.prismora-install-XXXXXX";
    if (!::mkdtemp(staging.data()))
        return failure(errno, QStringLiteral("copied"), source);
    const std::string stagingFolder = staging.toStdString();
    const std::string staged = stagingFolder + '/' + QFile::encodeName(name).toStdString();

    std::error_code error;
    std::optional<Failure> failed;
    fs::copy(QFile::encodeName(source).toStdString(), staged,
        fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (error)
        failed = failure(error.value(), QStringLiteral("copied"), source);
    if (!failed && exists(target)) {
        fs::remove_all(target, error);
        if (error)
            failed = failure(error.value(), QStringLiteral("replaced"), QFile::decodeName(target.c_str()));
    }
    if (!failed && ::rename(staged.c_str(), target.c_str()) != 0)
        failed = failure(errno, QStringLiteral("moved into place"), QFile::decodeName(target.c_str()));

    std::error_code ignored;
    fs::remove_all(stagingFolder, ignored);
    return failed;
}
