#pragma once

#include <platform/platform_export.h>

#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>

namespace platform {

/**
 * Removes a file or folder with administrator rights.
 *
 * The default runner asks the system's authorisation agent
 * (/usr/bin/pkexec) to run "<rm> -rf -- <path>" with rm named by its
 * absolute path; the system asks the user for a password, so remove() blocks
 * until the user has answered: call it off the main thread. Programs are
 * never looked up through PATH, and the path is passed as one argument of an
 * argument vector, never inside a shell string. cancel() ends a pending
 * request from any thread (the quitting installer does so). Tests replace the
 * runner with setShared() so that no password prompt appears.
 *
 * @code
 * if (const auto error = platform::PrivilegedRemoval::shared().remove(path))
 *     showManualDeleteAlert();
 * @endcode
 */
class PLATFORM_EXPORT PrivilegedRemoval {
public:
    /// A runner that starts @p program (an absolute path) as the authorisation agent.
    explicit PrivilegedRemoval(QString program = defaultProgram());
    virtual ~PrivilegedRemoval();

    /// Removes @p path; nothing on success, else why not (cancelled, not authorised, ...).
    /// Only absolute paths other than "/" are accepted.
    virtual std::optional<QString> remove(const QString &path);

    /// Ends the request remove() is waiting for, if any; remove() then reports it as cancelled.
    virtual void cancel();

    /// The authorisation agent this runner starts.
    QString program() const;
    /// "/usr/bin/pkexec".
    static QString defaultProgram();
    /// Its arguments for @p path: <absolute rm> -rf -- <path>.
    static QStringList arguments(const QString &path);

    /// The runner in use: the default one unless replaced.
    static PrivilegedRemoval &shared();
    /// Replaces the shared runner (tests); nullptr restores the default. The caller keeps ownership.
    static void setShared(PrivilegedRemoval *runner);

private:
    const QString m_program;
    std::atomic<qint64> m_pending { 0 };
    std::atomic<bool> m_cancelled { false };
};

} // namespace platform
