#pragma once

#include <platform/FileError.h>

#include <QString>

#include <optional>

/**
 * The file work of an install, run on a background thread.
 *
 * The archive is unpacked beside itself into the folder "Fetchwell"; after
 * that placeUnpacked() deletes the archive and moves every top-level entry
 * of the unpack folder into the applications folder. Each entry is copied
 * under a temporary name first and renamed into place only when complete,
 * so the applications folder never holds a half-copied bundle; an existing
 * entry of the same name is replaced.
 */
class PackageInstaller {
public:
    /// Why placing failed.
    struct Failure {
        platform::FileError error = platform::FileError::WriteUnknown;
        /// The sentence reported as event label.
        QString localizedDescription;
        /// Everything known, for the log.
        QString description;
    };

    /// The unpack folder of @p archivePath: its folder plus "Fetchwell".
    static QString unpackFolder(const QString &archivePath);

    /// Deletes @p archivePath, then places every entry of @p unpackFolder (in
    /// name order) into @p applicationsFolder. Stops at the first failure;
    /// entries placed before it stay.
    static std::optional<Failure> placeUnpacked(
        const QString &archivePath, const QString &unpackFolder, const QString &applicationsFolder);

    /// Places one entry (file, folder or link) at @p applicationsFolder/<its name>.
    static std::optional<Failure> placeEntry(const QString &source, const QString &applicationsFolder);
};
