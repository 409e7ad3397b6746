#pragma once

#include <mirakit/mirakit_export.h>

#include <QByteArray>
#include <QString>

#include <optional>

namespace mira {

/**
 * Secret items in the user's keychain (the Secret Service on Linux).
 *
 * Every item this manager writes is a password item whose account is the
 * key and whose service is serviceName(). The service name marks the item
 * as made here: removeAll() deletes only items with that service, never
 * other applications' secrets. Items are never written to a plain-text file,
 * even when no keychain is available.
 *
 * The calls are synchronous. The underlying keychain jobs are asynchronous;
 * each call hands its job to one dedicated keychain thread (which runs the
 * jobs and their D-Bus traffic in its own event loop) and blocks until that
 * thread reports the outcome. The calling thread processes no events while
 * it waits, so no timer, socket or deferred delete of the caller can run
 * in the middle of a read. The wait is bounded by the D-Bus call time-out
 * (about 25 seconds when the service stops answering). A QCoreApplication
 * must exist.
 *
 * Failures are reported, never thrown: the optional @p error argument
 * receives a sentence naming the key and the keychain's own reason (no
 * service running, collection locked, access denied).
 *
 * @code
 * mira::KeyChainManager::setValue("[\"s3cret\"]", QStringLiteral("token"));
 * QString error;
 * if (const auto data = mira::KeyChainManager::value(QStringLiteral("token"), &error))
 *     use(*data);
 * else if (!error.isEmpty())
 *     qWarning() << error;
 * @endcode
 */
class MIRAKIT_EXPORT KeyChainManager {
public:
    KeyChainManager() = delete;

    /// The service of every item; by default "mirakit:" followed by the
    /// application name. Items written under one name are invisible under another.
    static QString serviceName();
    /// Sets the service name; an empty name restores the default.
    static void setServiceName(const QString &name);

    /// The data stored for @p key; nullopt when there is none (no error
    /// then) or when the keychain fails (@p error says why).
    static std::optional<QByteArray> value(const QString &key, QString *error = nullptr);

    /// Stores @p data for @p key, replacing what was there. When the
    /// replacing write fails, the old item is deleted and the write tried
    /// once more. True on success.
    static bool setValue(const QByteArray &data, const QString &key, QString *error = nullptr);

    /// Deletes the item for @p key. True when it is gone (or never was).
    static bool removeValue(const QString &key, QString *error = nullptr);

    /// Deletes every item of serviceName(), and nothing else. Items in a
    /// locked collection are left (unlocking would ask the user); then the
    /// result is false and @p error counts them.
    static bool removeAll(QString *error = nullptr);
};

} // namespace mira
