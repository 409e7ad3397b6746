#include "PrivilegedRemoval.h"

#include <QDir>
#include <QProcess>

#include <atomic>

namespace platform {

namespace {
std::atomic<PrivilegedRemoval *> replacement { nullptr };

// The user may take a while to type the password; a forgotten prompt does not block forever.
constexpr int answerTimeoutMs = 10 * 60 * 1000;
// pkexec's own exit codes for a dismissed or refused authorisation.
constexpr int dismissed = 126;
constexpr int notAuthorized = 127;
} // namespace

PrivilegedRemoval::~PrivilegedRemoval() = default;

QString PrivilegedRemoval::program()
{
    return QStringLiteral("pkexec");
}

QStringList PrivilegedRemoval::arguments(const QString &path)
{
    return { QStringLiteral("rm"), QStringLiteral("-rf"), QStringLiteral("--"), path };
}

std::optional<QString> PrivilegedRemoval::remove(const QString &path)
{
    if (!QDir::isAbsolutePath(path) || QDir::cleanPath(path) == QLatin1String("/"))
        return QStringLiteral("refusing to remove %1").arg(path);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program(), arguments(path));
    if (!process.waitForStarted())
        return QStringLiteral("%1 could not be started").arg(program());
    if (!process.waitForFinished(answerTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("no answer to the authorisation request");
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("%1 crashed").arg(program());
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
    static PrivilegedRemoval standard;
    PrivilegedRemoval *replaced = replacement.load();
    return replaced ? *replaced : standard;
}

void PrivilegedRemoval::setShared(PrivilegedRemoval *runner)
{
    replacement = runner;
}

} // namespace platform
