#include "MachineIdentifier.h"

#include <QFile>
#include <QMessageAuthenticationCode>
#include <QMutex>
#include <QUuid>

namespace platform {

namespace {

// A machine-id file holds one line of 32 hexadecimal digits; anything much
// longer is not one.
constexpr qint64 maximumIdFileSize = 4096;

QMutex pathsMutex;
QStringList overriddenPaths;

QStringList defaultPaths()
{
    return { QStringLiteral("/etc/machine-id"), QStringLiteral("/var/lib/dbus/machine-id") };
}

} // namespace

QStringList MachineIdentifier::idFilePaths()
{
    QMutexLocker locker(&pathsMutex);
    return overriddenPaths.isEmpty() ? defaultPaths() : overriddenPaths;
}

void MachineIdentifier::setIdFilePaths(const QStringList &paths)
{
    QMutexLocker locker(&pathsMutex);
    overriddenPaths = paths;
}

QByteArray MachineIdentifier::defaultKey()
{
    return QByteArrayLiteral("com.kestrum.installer/analytics-client-id/v1");
}

std::optional<QString> MachineIdentifier::derive(const QByteArray &machineId, const QByteArray &key)
{
    const QByteArray id = machineId.trimmed();
    if (id.isEmpty() || id == "uninitialized")
        return std::nullopt;
    const QByteArray digest = QMessageAuthenticationCode::hash(id, key, QCryptographicHash::Sha256);
    const QUuid uuid = QUuid::fromRfc4122(digest.left(16));
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QString> MachineIdentifier::stable()
{
    for (const QString &path : idFilePaths()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray firstLine = file.read(maximumIdFileSize).split('\n').value(0);
        if (auto identifier = derive(firstLine, defaultKey()))
            return identifier;
    }
    return std::nullopt;
}

} // namespace platform
