#pragma once

#include <QString>

/**
 * Starts an installed application bundle.
 *
 * The bundle's executable (Contents/MacOS/<CFBundleExecutable> from its
 * Info.plist) is started detached with the path as a program, never through a
 * shell, so no character in the path can change what runs.
 */
class Launcher {
public:
    /// Starts the bundle at @p path; true when its executable was started.
    static bool launchApp(const QString &path);
};
