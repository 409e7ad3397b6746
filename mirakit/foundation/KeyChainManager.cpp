#include "KeyChainManager.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutex>
#include <QThread>

#include <functional>
#include <future>

namespace mira {

namespace {

struct JobOutcome {
    QKeychain::Error error = QKeychain::NoError;
    QString errorString;
    QByteArray data;
};

/// The one thread on which every keychain job runs, so that callers can
/// block without running their own event loop.
class KeychainThread {
public:
    static KeychainThread &instance()
    {
        static KeychainThread *thread = new KeychainThread; // stopped by a post routine, never deleted
        return *thread;
    }

    JobOutcome run(std::function<QKeychain::Job *()> makeJob)
    {
        ensureRunning();
        auto promise = std::make_shared<std::promise<JobOutcome>>();
        std::future<JobOutcome> outcome = promise->get_future();
        QMetaObject::invokeMethod(
            &m_context,
            [makeJob = std::move(makeJob), promise] {
                QKeychain::Job *job = makeJob();
                job->setAutoDelete(true);
                job->setInsecureFallback(false);
                QObject::connect(job, &QKeychain::Job::finished, job, [promise](QKeychain::Job *finished) {
                    JobOutcome result { finished->error(), finished->errorString(), {} };
                    if (auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(finished))
                        result.data = read->binaryData();
                    promise->set_value(std::move(result));
                });
                job->start();
            },
            Qt::QueuedConnection);
        return outcome.get();
    }

private:
    KeychainThread()
    {
        m_thread.setObjectName(QStringLiteral("mirakit-keychain"));
        m_context.moveToThread(&m_thread);
    }

    // The thread stops with the QCoreApplication and starts again if a
    // later application uses the keychain.
    void ensureRunning()
    {
        QMutexLocker lock(&m_mutex);
        if (m_thread.isRunning())
            return;
        m_thread.start();
        qAddPostRoutine([] {
            QThread &thread = instance().m_thread;
            thread.quit();
            thread.wait();
        });
    }

    QMutex m_mutex;
    QThread m_thread;
    QObject m_context;
};

QMutex indexKeyMutex;
QString customIndexKey;

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

bool hasApplication(QString *error)
{
    if (QCoreApplication::instance())
        return true;
    return fail(error, QStringLiteral("The keychain needs a QCoreApplication"));
}

QString describe(const QString &action, const QString &key, const JobOutcome &outcome)
{
    return QStringLiteral("Keychain %1 of \"%2\" failed: %3").arg(action, key, outcome.errorString);
}

// Every item is found by the key alone: its service and its account are both the key.
JobOutcome read(const QString &key)
{
    return KeychainThread::instance().run([key] {
        auto *job = new QKeychain::ReadPasswordJob(key);
        job->setKey(key);
        return job;
    });
}

JobOutcome write(const QByteArray &data, const QString &key)
{
    return KeychainThread::instance().run([data, key] {
        auto *job = new QKeychain::WritePasswordJob(key);
        job->setKey(key);
        job->setBinaryData(data);
        return job;
    });
}

JobOutcome remove(const QString &key)
{
    return KeychainThread::instance().run([key] {
        auto *job = new QKeychain::DeletePasswordJob(key);
        job->setKey(key);
        return job;
    });
}

QDBusMessage secretCall(const QString &path, const QString &interface, const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.secrets"), path, interface, method);
}

struct FoundItems {
    QList<QDBusObjectPath> unlocked;
    QList<QDBusObjectPath> locked;
};

// The keychain library cannot list items, so searches go to the Secret
// Service directly. An item carries its service in the "server" attribute
// and its account in "user".
std::optional<FoundItems> searchItems(const QMap<QString, QString> &attributes, QString *error)
{
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        fail(error, QStringLiteral("no session bus"));
        return std::nullopt;
    }
    QDBusMessage search = secretCall(QStringLiteral("/org/freedesktop/secrets"),
        QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("SearchItems"));
    search << QVariant::fromValue(attributes);
    const QDBusMessage found = bus.call(search, QDBus::Block);
    if (found.type() != QDBusMessage::ReplyMessage || found.arguments().size() != 2) {
        fail(error, found.errorMessage());
        return std::nullopt;
    }
    return FoundItems { qdbus_cast<QList<QDBusObjectPath>>(found.arguments().at(0)),
        qdbus_cast<QList<QDBusObjectPath>>(found.arguments().at(1)) };
}

QMap<QString, QString> itemAttributes(const QString &key)
{
    return { { QStringLiteral("server"), key }, { QStringLiteral("user"), key } };
}

// The keys written here, kept in the keychain item of KeyChainManager::indexKey().
QMutex indexMutex;

QStringList readIndex(const QString &indexKey, QString *error)
{
    const std::optional<QByteArray> data = KeyChainManager::value(indexKey, error);
    const QJsonArray keys = data ? QJsonDocument::fromJson(*data).array() : QJsonArray();
    QStringList list;
    for (const QJsonValue &key : keys)
        list << key.toString();
    return list;
}

/// Adds @p key to the index (or takes it out); true when the index is right afterwards.
bool recordKey(const QString &key, bool written)
{
    const QString indexKey = KeyChainManager::indexKey();
    if (key == indexKey)
        return true;
    QMutexLocker lock(&indexMutex);
    QString error;
    QStringList keys = readIndex(indexKey, &error);
    if (!error.isEmpty() || keys.contains(key) == written)
        return error.isEmpty();
    if (written)
        keys << key;
    else
        keys.removeAll(key);
    if (keys.isEmpty())
        return remove(indexKey).error == QKeychain::NoError;
    return write(QJsonDocument(QJsonArray::fromStringList(keys)).toJson(QJsonDocument::Compact), indexKey).error
        == QKeychain::NoError;
}

/// Deletes the unlocked items of @p key through the Secret Service (which never prompts);
/// the number of items left, or nullopt when the search failed.
std::optional<qsizetype> deleteItems(const QString &key, QString *error)
{
    const std::optional<FoundItems> found = searchItems(itemAttributes(key), error);
    if (!found)
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    qsizetype left = found->locked.size();
    for (const QDBusObjectPath &item : found->unlocked) {
        const QDBusMessage reply
            = bus.call(secretCall(item.path(), QStringLiteral("org.freedesktop.Secret.Item"), QStringLiteral("Delete")),
                QDBus::Block);
        // A prompt other than "/" means the service wants the user to confirm; we never prompt.
        const bool deleted = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
            && qdbus_cast<QDBusObjectPath>(reply.arguments().at(0)).path() == QLatin1String("/");
        if (!deleted)
            ++left;
    }
    return left;
}

} // namespace

QString KeyChainManager::indexKey()
{
    QMutexLocker lock(&indexKeyMutex);
    if (!customIndexKey.isEmpty())
        return customIndexKey;
    return QStringLiteral("mirakit:") + QCoreApplication::applicationName();
}

void KeyChainManager::setIndexKey(const QString &key)
{
    QMutexLocker lock(&indexKeyMutex);
    customIndexKey = key;
}

std::optional<QByteArray> KeyChainManager::value(const QString &key, QString *error)
{
    if (!hasApplication(error))
        return std::nullopt;
    const JobOutcome outcome = read(key);
    if (outcome.error == QKeychain::NoError)
        return outcome.data;
    if (outcome.error != QKeychain::EntryNotFound) {
        fail(error, describe(QStringLiteral("read"), key, outcome));
        return std::nullopt;
    }
    // A locked collection hides its items from a read; say so rather than
    // let the caller believe the value was never stored.
    const std::optional<FoundItems> found = searchItems(itemAttributes(key), nullptr);
    if (found && !found->locked.isEmpty())
        fail(error, QStringLiteral("Keychain read of \"%1\" failed: the item is in a locked collection").arg(key));
    return std::nullopt;
}

bool KeyChainManager::setValue(const QByteArray &data, const QString &key, QString *error)
{
    if (!hasApplication(error))
        return false;
    JobOutcome outcome = write(data, key);
    if (outcome.error != QKeychain::NoError) {
        remove(key);
        outcome = write(data, key);
    }
    if (outcome.error != QKeychain::NoError)
        return fail(error, describe(QStringLiteral("write"), key, outcome));
    if (!recordKey(key, true))
        return fail(
            error, QStringLiteral("Keychain write of \"%1\" could not be recorded in \"%2\"").arg(key, indexKey()));
    return true;
}

bool KeyChainManager::removeValue(const QString &key, QString *error)
{
    if (!hasApplication(error))
        return false;
    const JobOutcome outcome = remove(key);
    if (outcome.error != QKeychain::NoError && outcome.error != QKeychain::EntryNotFound)
        return fail(error, describe(QStringLiteral("delete"), key, outcome));
    recordKey(key, false);
    return true;
}

bool KeyChainManager::removeAll(QString *error)
{
    if (!hasApplication(error))
        return false;
    QMutexLocker lock(&indexMutex);
    QString readError;
    const QString index = indexKey();
    const QStringList keys = readIndex(index, &readError);
    if (!readError.isEmpty())
        return fail(error, QStringLiteral("Keychain removal failed: ") + readError);
    qsizetype left = 0;
    for (const QString &key : keys + QStringList { index }) {
        QString searchError;
        const std::optional<qsizetype> kept = deleteItems(key, &searchError);
        if (!kept)
            return fail(error, QStringLiteral("Keychain removal failed: ") + searchError);
        left += *kept;
    }
    if (left > 0)
        return fail(error, QStringLiteral("Keychain removal left %1 item(s) that are locked or protected").arg(left));
    return true;
}

} // namespace mira
