#include "PrivilegedRemoval.h"

#include "SharedInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>

namespace platform {

namespace {
constinit SharedInstance<PrivilegedRemoval> sharedRemoval;

// The user may take a while to type the password; a forgotten prompt does not block forever.
constexpr int answerTimeoutMs = 10 * 60 * 1000;
// How often a waiting request looks whether it was cancelled.
constexpr int cancelPollMs = 100;
// pkexec's own exit codes for a dismissed or refused authorisation.
constexpr int dismissed = 126;
constexpr int notAuthorized = 127;

QString removeProgram()
{
    // Merged-/usr systems have both; older layouts only the second.
    return QFileInfo::exists(QStringLiteral("/usr/bin/rm")) ? QStringLiteral("/usr/bin/rm") : QStringLiteral("/bin/rm");
}
} // namespace

PrivilegedRemoval::PrivilegedRemoval(QString program)
    : m_program(std::move(program))
{
}

PrivilegedRemoval::~PrivilegedRemoval() = default;

QString PrivilegedRemoval::program() const
{
    return m_program;
}

QString PrivilegedRemoval::defaultProgram()
{
    return QStringLiteral("/usr/bin/pkexec");
}

QStringList PrivilegedRemoval::arguments(const QString &path)
{
    return { removeProgram(), QStringLiteral("-rf"), QStringLiteral("--"), path };
}

void PrivilegedRemoval::cancel()
{
    m_cancelled = true;
    if (const qint64 pid = m_pending.load())
        ::kill(pid_t(pid), SIGTERM);
}

std::optional<QString> PrivilegedRemoval::remove(const QString &path)
{
    if (!QDir::isAbsolutePath(path) || QDir::cleanPath(path) == QLatin1String("/"))
        return QStringLiteral("refusing to remove %1").arg(path);
    if (!QDir::isAbsolutePath(m_program))
        return QStringLiteral("%1 is not an absolute program path").arg(m_program);
    if (m_cancelled)
        return QStringLiteral("cancelled");
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(m_program, arguments(path));
    if (!process.waitForStarted())
        return QStringLiteral("%1 could not be started").arg(m_program);
    m_pending = process.processId();
    if (m_cancelled) // cancel() ran before the pid was known
        ::kill(pid_t(process.processId()), SIGTERM);
    bool finished = false;
    for (int waited = 0; !finished && waited < answerTimeoutMs; waited += cancelPollMs)
        finished = process.waitForFinished(cancelPollMs);
    m_pending = 0;
    if (!finished) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("no answer to the authorisation request");
    }
    if (m_cancelled)
        return QStringLiteral("cancelled");
    if (process.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("%1 crashed").arg(m_program);
    switch (process.exitCode()) {
    case 0:
        return std::nullopt;
    case notAuthorized:
        return QStringLiteral("not authorised");
    case dismissed:
        return QStringLiteral("the authorisation request was dismissed");
    default:
        return QStringLiteral("rm ended with status %1").arg(process.exitCode());
    }
}

PrivilegedRemoval &PrivilegedRemoval::shared()
{
    return sharedRemoval.instance();
}

void PrivilegedRemoval::setShared(PrivilegedRemoval *runner)
{
    sharedRemoval.replace(runner);
}

} // namespace platform
