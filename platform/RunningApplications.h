#pragma once

#include <platform/platform_export.h>

#include <QList>
#include <QString>

namespace platform {

/**
 * The user's running applications, found by the bundle they were started from.
 *
 * A process belongs to a bundle when its executable lies inside a folder
 * "<name>.app" that holds Contents/Info.plist. For interpreted executables
 * (a script with a "#!" line) the script, which the system passes as an
 * argument to its interpreter, counts as the executable. Only processes of
 * the current user are looked at (a /proc scan), never the caller itself.
 * A process whose parent belongs to the same bundle is taken as part of that
 * parent's application (a fork of it, or a helper it started) and is not
 * listed on its own.
 *
 * @code
 * platform::RunningApplications::terminateApplications(QStringLiteral("com.kestrum.prismora"));
 * @endcode
 */
class PLATFORM_EXPORT RunningApplications {
public:
    struct Application {
        qint64 processIdentifier = 0;
        QString bundlePath;
    };

    /// Every running application of the user whose bundle has @p bundleIdentifier.
    static QList<Application> runningApplicationsWithBundleIdentifier(const QString &bundleIdentifier);

    /// Politely asks each of them to quit (SIGTERM) without waiting; answers how many were asked.
    static int terminateApplications(const QString &bundleIdentifier);

    /// The nearest enclosing bundle folder of @p path, or an empty string.
    static QString enclosingBundle(const QString &path);
};

} // namespace platform
