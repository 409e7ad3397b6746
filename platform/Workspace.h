#pragma once

#include <platform/platform_export.h>

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace platform {

/**
 * Opens web pages and applications on the user's behalf.
 *
 * The default workspace opens URLs with the desktop's handler
 * (QDesktopServices) and starts an application bundle by running its
 * executable (Contents/MacOS/<CFBundleExecutable>) detached, with an argument
 * vector. Tests replace it with setShared() so that no browser is started.
 *
 * @code
 * platform::Workspace::shared().openUrl(QUrl("https://example.org/thanks"));
 * @endcode
 */
class PLATFORM_EXPORT Workspace {
public:
    /// Called with an error text, or with nothing when the application started.
    using OpenCompletion = std::function<void(const std::optional<QString> &error)>;

    virtual ~Workspace();

    /// Opens @p url in the user's preferred application; false when nothing could open it.
    virtual bool openUrl(const QUrl &url);

    /// Starts the application bundle at @p bundlePath. @p completion may run on any thread.
    virtual void openApplication(const QString &bundlePath, const OpenCompletion &completion);

    /// The workspace in use: the default one unless replaced.
    static Workspace &shared();
    /// Replaces the shared workspace (tests); nullptr restores the default. The caller keeps ownership.
    static void setShared(Workspace *workspace);

    /// Starts the executable of the bundle at @p bundlePath detached; an error text when it could not.
    static std::optional<QString> startBundle(const QString &bundlePath);
};

} // namespace platform
