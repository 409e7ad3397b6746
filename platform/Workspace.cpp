#include "Workspace.h"

#include "Bundle.h"
#include "SharedInstance.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>

namespace platform {

namespace {
constinit SharedInstance<Workspace> sharedWorkspace;
}

Workspace::~Workspace() = default;

bool Workspace::openUrl(const QUrl &url)
{
    // Without a graphical application there is no desktop to open it on.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    return QDesktopServices::openUrl(url);
}

void Workspace::openApplication(const QString &bundlePath, const OpenCompletion &completion)
{
    const auto error = startBundle(bundlePath);
    if (completion)
        completion(error);
}

Workspace &Workspace::shared()
{
    return sharedWorkspace.instance();
}

void Workspace::setShared(Workspace *workspace)
{
    sharedWorkspace.replace(workspace);
}

std::optional<QString> Workspace::startBundle(const QString &bundlePath)
{
    const Bundle bundle(bundlePath);
    if (!bundle.isValid())
        return QStringLiteral("no application bundle at %1").arg(bundlePath);
    const QString executable = bundle.executablePath();
    const QFileInfo info(executable);
    if (executable.isEmpty() || !info.isFile() || !info.isExecutable())
        return QStringLiteral("the bundle %1 has no executable").arg(bundlePath);
    // The path travels as the program of an argument vector, never through a shell.
    if (!QProcess::startDetached(executable, {}, info.absolutePath()))
        return QStringLiteral("%1 could not be started").arg(executable);
    return std::nullopt;
}

} // namespace platform
