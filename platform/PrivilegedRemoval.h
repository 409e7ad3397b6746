#pragma once

#include <platform/platform_export.h>

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

/**
 * Removes a file or folder with administrator rights.
 *
 * The default runner asks the system's authorisation agent (pkexec) to run
 * "rm -rf -- <path>"; the system asks the user for a password, so the call
 * blocks until the user has answered. The path is passed as one argument of
 * an argument vector, never inside a shell string. Tests replace the runner
 * with setShared() so that no password prompt appears.
 *
 * @code
 * if (const auto error = platform::PrivilegedRemoval::shared().remove(path))
 *     showManualDeleteAlert();
 * @endcode
 */
class PLATFORM_EXPORT PrivilegedRemoval {
public:
    virtual ~PrivilegedRemoval();

    /// Removes @p path; nothing on success, else why not (cancelled, not authorised, ...).
    /// Only absolute paths other than "/" are accepted.
    virtual std::optional<QString> remove(const QString &path);

    /// The program that is run: "pkexec".
    static QString program();
    /// Its arguments for @p path: rm -rf -- <path>.
    static QStringList arguments(const QString &path);

    /// The runner in use: the default one unless replaced.
    static PrivilegedRemoval &shared();
    /// Replaces the shared runner (tests); nullptr restores the default. The caller keeps ownership.
    static void setShared(PrivilegedRemoval *runner);
};

} // namespace platform
