#pragma once

#include <mirakit/mirakit_export.h>

#include <QByteArray>
#include <QString>

#include <optional>

namespace mira {

/**
 * Secret items in the user's keychain (the Secret Service on Linux).
 *
 * Every item is a password item whose service and account are both the key,
 * on every platform, so that items stored by other builds are found. The
 * keys written here are listed in one more item, that of indexKey():
 * removeAll() deletes the listed items only, never other applications'
 * secrets on a shared Secret Service. Items are never written to a
 * plain-text file, even when no keychain is available.
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

    /// The key of the item that lists the keys written here; by default
    /// "mirakit:" followed by the application name.
    static QString indexKey();
    /// Sets the index key; an empty key restores the default.
    static void setIndexKey(const QString &key);

    /// The data stored for @p key; nullopt when there is none (no error
    /// then) or when the keychain fails (@p error says why).
    static std::optional<QByteArray> value(const QString &key, QString *error = nullptr);

    /// Stores @p data for @p key, replacing what was there, and lists the
    /// key under indexKey(). When the replacing write fails, the old item is
    /// deleted and the write tried once more. True on success.
    static bool setValue(const QByteArray &data, const QString &key, QString *error = nullptr);

    /// Deletes the item for @p key. True when it is gone (or never was).
    static bool removeValue(const QString &key, QString *error = nullptr);

    /// Deletes every item listed under indexKey(), and the list. Items in a
    /// locked collection are left (unlocking would ask the user); then the
    /// result is false and @p error counts them.
    static bool removeAll(QString *error = nullptr);
};

} // namespace mira
