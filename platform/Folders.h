#pragma once

#include <platform/platform_export.h>

#include <QString>

#include <optional>

namespace platform {

/**
 * The user's well-known folders and volume facts.
 *
 * Folders follow the XDG rules (HOME, XDG_DATA_HOME, ...): application
 * support is the generic data folder (~/.local/share), documents the XDG
 * documents folder. The applications folder is "/Applications" when that
 * folder exists, otherwise ~/Applications (created on first use);
 * PRISMORA_APPLICATIONS_DIR replaces both.
 */
class PLATFORM_EXPORT Folders {
public:
    /// The user's application-support folder; nullopt when none can be named.
    static std::optional<QString> applicationSupport();
    /// The user's documents folder; nullopt when none can be named. The
    /// folder itself may not exist.
    static std::optional<QString> documents();
    /// The temporary folder.
    static QString temporary();
    /// The applications folder. Resolved on first call; every later call
    /// answers the same path.
    static QString applications();
    /// Free bytes available to the user on the volume holding @p path;
    /// nullopt when @p path does not exist or the volume cannot be read.
    static std::optional<qint64> freeSpace(const QString &path);
    /// Bytes of the whole volume that holds @p path; nothing when unknown.
    static std::optional<qint64> volumeSize(const QString &path);

    /// Resolves the applications folder from its inputs (no caching, no
    /// folder creation); exposed so the rule can be checked directly.
    static QString resolveApplications(const QString &overrideDir, const QString &systemDir, const QString &home);
};

} // namespace platform
