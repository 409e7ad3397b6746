#include "TestHome.h"

#include <mirakit/foundation/KeyChainManager.h>
#include <mirakit/foundation/Keychained.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <csignal>
#include <sys/prctl.h>

using mira::Keychained;
using mira::KeyChainManager;

/**
 * A private session bus, and on request a real keyring daemon on it, for the
 * life of one test process. The bus has no service activation, so "no
 * daemon" really means none.
 *
 * Both daemons end with this process (parent-death signal), not before it:
 * the keychain library's bus connection stops the whole process when its
 * bus goes away underneath it.
 */
class SecretServiceSession {
public:
    SecretServiceSession()
    {
        for (QProcess *process : { &m_bus, &m_keyring })
            process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        QFile config(m_home.filePath(QStringLiteral("bus.conf")));
        config.open(QIODevice::WriteOnly);
        config.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
                     "<policy context='default'><allow send_destination='*' eavesdrop='true'/><allow eavesdrop='true'/>"
                     "<allow own='*'/></policy></busconfig>");
        config.close();
        m_bus.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1") });
        if (m_bus.waitForStarted() && m_bus.waitForReadyRead())
            qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("KDE_FULL_SESSION");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.path()));
    }

    static SecretServiceSession &instance()
    {
        static auto *session = new SecretServiceSession; // deliberately outlives the test
        return *session;
    }

    bool hasBus() const { return !qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty() && m_bus.state() == QProcess::Running; }

    /// Starts the keyring daemon with an unlocked login collection; true once it serves.
    bool startKeyring()
    {
        if (m_keyring.state() == QProcess::Running)
            return true;
        QDBusServiceWatcher watcher(QStringLiteral("org.freedesktop.secrets"), QDBusConnection::sessionBus(),
            QDBusServiceWatcher::WatchForRegistration);
        QSignalSpy registered(&watcher, &QDBusServiceWatcher::serviceRegistered);
        m_keyring.start(QStringLiteral("gnome-keyring-daemon"),
            { QStringLiteral("--foreground"), QStringLiteral("--unlock"), QStringLiteral("--components=secrets") });
        if (!m_keyring.waitForStarted())
            return false;
        m_keyring.write("test-password");
        m_keyring.closeWriteChannel();
        const bool serving = isServing() || registered.wait(20000) || isServing();
        if (!serving)
            qWarning() << "keyring daemon did not start:" << m_keyring.readAllStandardError();
        return serving;
    }

    static bool isServing()
    {
        return QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QStringLiteral("org.freedesktop.secrets"));
    }

    /// How many unlocked items have service and account @p key.
    static qsizetype itemsOf(const QString &key)
    {
        qDBusRegisterMetaType<QMap<QString, QString>>();
        QDBusMessage search = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.secrets"),
            QStringLiteral("/org/freedesktop/secrets"), QStringLiteral("org.freedesktop.Secret.Service"),
            QStringLiteral("SearchItems"));
        search << QVariant::fromValue(QMap<QString, QString> { { "server", key }, { "user", key } });
        const QList<QVariant> found = QDBusConnection::sessionBus().call(search).arguments();
        return found.isEmpty() ? -1 : qdbus_cast<QList<QDBusObjectPath>>(found.first()).size();
    }

    /// Locks the login collection, as a screen lock or the user would.
    static bool lockLogin()
    {
        QDBusMessage lock = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.secrets"),
            QStringLiteral("/org/freedesktop/secrets"), QStringLiteral("org.freedesktop.Secret.Service"),
            QStringLiteral("Lock"));
        lock << QVariant::fromValue(
            QList<QDBusObjectPath> { QDBusObjectPath(QStringLiteral("/org/freedesktop/secrets/collection/login")) });
        return QDBusConnection::sessionBus().call(lock).type() == QDBusMessage::ReplyMessage;
    }

private:
    TestHome m_home;
    QProcess m_bus;
    QProcess m_keyring;
};

class KeyChainManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_session = &SecretServiceSession::instance();
        if (!m_session->hasBus())
            QSKIP("dbus-daemon is not installed (scripts/install-deps)");
        KeyChainManager::setIndexKey(QString());
    }

    void valuesRoundTripAsOneElementArrays()
    {
        QVERIFY(m_session->startKeyring());
        QCOMPARE(KeyChainManager::indexKey(), QStringLiteral("mirakit:tst_keychainmanager"));
        Keychained<QString> token(QStringLiteral("token"), QStringLiteral("none"));
        QString error;
        QCOMPARE(token.wrappedValue(&error), QStringLiteral("none"));
        QVERIFY2(error.isEmpty(), qPrintable(error));

        QVERIFY(token.setWrappedValue(QStringLiteral("abc"), &error));
        QCOMPARE(KeyChainManager::value(QStringLiteral("token")), QByteArray("[\"abc\"]"));
        QCOMPARE(SecretServiceSession::itemsOf(QStringLiteral("token")), 1); // service = account = key
        QCOMPARE(Keychained<QString>(QStringLiteral("token"), {}).wrappedValue(), QStringLiteral("abc"));
        QVERIFY(token.setWrappedValue(QStringLiteral("replaced")));
        QCOMPARE(token.wrappedValue(), QStringLiteral("replaced"));

        // An item of another type, or garbage, reads as the default.
        QCOMPARE(Keychained<int>(QStringLiteral("token"), -1).wrappedValue(), -1);
        QVERIFY(KeyChainManager::setValue(QByteArray("\xff\xfe not json"), QStringLiteral("token")));
        QCOMPARE(token.wrappedValue(), QStringLiteral("none"));

        Keychained<double> ratio(QStringLiteral("ratio"), 1.0);
        QVERIFY(ratio.setWrappedValue(0.5));
        QCOMPARE(ratio.wrappedValue(), 0.5);
        QVERIFY(ratio.setWrappedValue(std::nan("")));
        QCOMPARE(KeyChainManager::value(QStringLiteral("ratio"), &error), std::nullopt);
        QVERIFY(error.isEmpty());
    }

    void removeAllLeavesOtherApplicationsSecrets()
    {
        QVERIFY(m_session->startKeyring());
        KeyChainManager::setIndexKey(QStringLiteral("another-application"));
        QVERIFY(KeyChainManager::setValue("[\"theirs\"]", QStringLiteral("their-token")));
        KeyChainManager::setIndexKey(QString());
        QVERIFY(KeyChainManager::setValue("[\"ours\"]", QStringLiteral("token")));
        QVERIFY(KeyChainManager::setValue("[1]", QStringLiteral("other")));

        QString error;
        QVERIFY2(KeyChainManager::removeAll(&error), qPrintable(error));
        QCOMPARE(KeyChainManager::value(QStringLiteral("token")), std::nullopt);
        QCOMPARE(KeyChainManager::value(QStringLiteral("other")), std::nullopt);
        QCOMPARE(KeyChainManager::value(QStringLiteral("their-token")), QByteArray("[\"theirs\"]"));
        QVERIFY(KeyChainManager::value(QStringLiteral("another-application")));
        QVERIFY(KeyChainManager::removeValue(QStringLiteral("never-written")));
    }

    void withoutADaemonCallsFailClearly()
    {
        if (SecretServiceSession::isServing())
            QSKIP("run this case in a process of its own (ctest does)");
        Keychained<QString> token(QStringLiteral("token"), QStringLiteral("none"));
        QString readError, writeError, removeError;
        QCOMPARE(token.wrappedValue(&readError), QStringLiteral("none"));
        QVERIFY(!token.setWrappedValue(QStringLiteral("abc"), &writeError));
        QVERIFY(!KeyChainManager::removeAll(&removeError));
        for (const QString &error : { readError, writeError, removeError })
            QVERIFY2(error.startsWith(QStringLiteral("Keychain ")), qPrintable(error));
        QVERIFY(readError.contains(QStringLiteral("\"token\"")));
    }

    void aLockedCollectionFailsClearly()
    {
        QVERIFY(m_session->startKeyring());
        Keychained<QString> token(QStringLiteral("token"), QStringLiteral("none"));
        QVERIFY(token.setWrappedValue(QStringLiteral("abc")));
        QVERIFY(SecretServiceSession::lockLogin());
        QString readError, removeError;
        QCOMPARE(token.wrappedValue(&readError), QStringLiteral("none"));
        QVERIFY2(readError.startsWith(QStringLiteral("Keychain read")), qPrintable(readError));
        QVERIFY(!KeyChainManager::removeAll(&removeError));
        QVERIFY2(removeError.contains(QStringLiteral("locked")), qPrintable(removeError));
    }

private:
    SecretServiceSession *m_session = nullptr;
};

QTEST_GUILESS_MAIN(KeyChainManagerTest)
#include "tst_keychainmanager.moc"
