#include "RunningApplications.h"

#include "Bundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

/// The paths that may be the program of process @p pid: its executable and,
/// for interpreters, the first arguments.
QStringList programPaths(const QString &pid)
{
    QStringList paths;
    QString executable = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    if (executable.endsWith(QLatin1String(" (deleted)")))
        executable.chop(10);
    if (!executable.isEmpty())
        paths << executable;

    QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (commandLine.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> arguments = commandLine.read(64 * 1024).split('\0');
        // An interpreter started by "#!" sees: interpreter, [one option], script.
        for (int i = 0; i < std::min<qsizetype>(arguments.size(), 3); ++i) {
            const QString argument = QFile::decodeName(arguments.at(i));
            if (argument.startsWith(QLatin1Char('/')))
                paths << QDir::cleanPath(argument);
        }
    }
    return paths;
}

/// The parent of process @p pid, or 0 when it cannot be read.
qint64 parentOf(const QString &pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // "pid (name) state ppid ...": the name may itself hold spaces and parentheses.
    const QByteArray line = stat.read(4096);
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 1).simplified().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

bool ownedByUser(const QString &pid)
{
    struct stat info { };
    return ::stat(QFile::encodeName(QStringLiteral("/proc/") + pid).constData(), &info) == 0
        && info.st_uid == ::getuid();
}

} // namespace

QString RunningApplications::enclosingBundle(const QString &path)
{
    for (QString folder = QFileInfo(path).absolutePath(); folder.size() > 1;
         folder = QFileInfo(folder).absolutePath()) {
        if (folder.endsWith(QLatin1String(".app"))
            && QFileInfo(folder + QStringLiteral("/Contents/Info.plist")).isFile())
            return folder;
    }
    return QString();
}

QList<RunningApplications::Application> RunningApplications::runningApplicationsWithBundleIdentifier(
    const QString &bundleIdentifier)
{
    QList<Application> found;
    if (bundleIdentifier.isEmpty())
        return found;
    QHash<qint64, qint64> parents;
    QHash<QString, QString> identifiers; // bundle path -> identifier, read once per scan
    const QString self = QString::number(::getpid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : entries) {
        bool numeric = false;
        const qint64 number = pid.toLongLong(&numeric);
        if (!numeric || pid == self || !ownedByUser(pid))
            continue;
        for (const QString &program : programPaths(pid)) {
            const QString bundle = enclosingBundle(program);
            if (bundle.isEmpty())
                continue;
            if (!identifiers.contains(bundle))
                identifiers.insert(bundle, Bundle(bundle).bundleIdentifier());
            if (identifiers.value(bundle) == bundleIdentifier) {
                found.append({ number, bundle });
                parents.insert(number, parentOf(pid));
                break;
            }
        }
    }
    // A child of a found process that runs the same program (a fork that has
    // not, or never will, exec) is part of that application, not another one.
    QHash<qint64, QString> bundles;
    for (const Application &application : std::as_const(found))
        bundles.insert(application.processIdentifier, application.bundlePath);
    found.removeIf([&](const Application &application) {
        return bundles.value(parents.value(application.processIdentifier)) == application.bundlePath;
    });
    return found;
}

int RunningApplications::terminateApplications(const QString &bundleIdentifier)
{
    int asked = 0;
    for (const Application &application : runningApplicationsWithBundleIdentifier(bundleIdentifier)) {
        if (::kill(pid_t(application.processIdentifier), SIGTERM) == 0)
            ++asked;
    }
    return asked;
}

} // namespace platform
