#pragma once

#include <platform/platform_export.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

/**
 * A stable identifier for this machine that does not reveal the machine's
 * own id.
 *
 * The system's machine id (the first readable of idFilePaths(), by default
 * /etc/machine-id and /var/lib/dbus/machine-id) is run through HMAC-SHA256
 * with an application key; the first 16 bytes of the digest are written as
 * an upper-case UUID text (36 characters). The same machine always gives the
 * same identifier, another application key gives an unrelated one, and the
 * raw id can not be recovered from it.
 *
 * @code
 * if (const auto id = platform::MachineIdentifier::stable())
 *     body.insert("client_id", *id);
 * @endcode
 */
class PLATFORM_EXPORT MachineIdentifier {
public:
    /// The identifier under the default application key; nullopt when no
    /// id file holds a usable machine id.
    static std::optional<QString> stable();

    /// The identifier of @p machineId under @p key; nullopt when
    /// @p machineId is empty after trimming or reads "uninitialized".
    static std::optional<QString> derive(const QByteArray &machineId, const QByteArray &key);

    /// The files tried in order. Defaults to /etc/machine-id, then
    /// /var/lib/dbus/machine-id.
    static QStringList idFilePaths();
    /// Replaces the files tried (tests point this at their own files);
    /// an empty list restores the defaults.
    static void setIdFilePaths(const QStringList &paths);

    /// The application key stable() uses.
    static QByteArray defaultKey();
};

} // namespace platform
