#include "LocalCollector.h"

#include <QDateTime>
#include <QDirIterator>
#include <QTest>

// Runs the built installer against the local HTTPS collector and ends it
// with SIGTERM, the way a session manager or a terminal does.
class AnalyticsEndToEndTest : public QObject {
    Q_OBJECT
private:
    LocalCollector m_collector;
    QTemporaryDir m_home;

    QProcessEnvironment installerEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString home = m_home.path();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.local/state"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        env.insert(QStringLiteral("PRISMORA_LOG_DIR"), home + QStringLiteral("/log"));
        env.insert(QStringLiteral("PRISMORA_APPLICATIONS_DIR"), home + QStringLiteral("/Applications"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("PRISMORA_ANALYTICS_ENDPOINT"), m_collector.endpoint());
        env.insert(QStringLiteral("PRISMORA_CA_FILE"), m_collector.caFile());
        env.remove(QStringLiteral("DO_NOT_TRACK"));
        env.remove(QStringLiteral("PRISMORA_NO_ANALYTICS"));
        return env;
    }

    static bool hasAction(const QJsonObject &request, const QString &action)
    {
        for (const QJsonValue &event :
            request.value(QStringLiteral("body")).toObject().value(QStringLiteral("events")).toArray()) {
            if (event.toObject().value(QStringLiteral("params")).toObject().value(QStringLiteral("ea")).toString()
                == action)
                return true;
        }
        return false;
    }

    static bool isHeartbeat(const QJsonObject &request)
    {
        const QJsonArray events
            = request.value(QStringLiteral("body")).toObject().value(QStringLiteral("events")).toArray();
        return events.size() == 1
            && events.at(0).toObject().value(QStringLiteral("name")).toString()
            == QStringLiteral("user_engagement_custom");
    }

    QByteArray logText() const
    {
        QByteArray text;
        QDirIterator files(m_home.path() + QStringLiteral("/log"), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly))
                text += file.readAll();
        }
        return text;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_collector.start()); }

    void heartbeatAtOnceAndLaunchFlushedOnSigterm()
    {
        QProcess installer;
        installer.setProcessEnvironment(installerEnvironment());
        installer.start(QStringLiteral(INSTALLER_PROGRAM), {});
        QVERIFY2(installer.waitForStarted(10000), qPrintable(installer.errorString()));

        QTRY_VERIFY_WITH_TIMEOUT(!m_collector.requests().isEmpty(), 20000);
        const QList<QJsonObject> early = m_collector.requests();
        QVERIFY(isHeartbeat(early.at(0)));
        QVERIFY(!hasAction(early.at(0), QStringLiteral("Launch_App"))); // still waiting for its batch

        const double signalledAt = QDateTime::currentMSecsSinceEpoch() / 1000.0;
        installer.terminate(); // SIGTERM
        QVERIFY(installer.waitForFinished(20000));
        QCOMPARE(installer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(installer.exitCode(), 0);

        const QList<QJsonObject> requests = m_collector.requests();
        qsizetype launch = -1;
        for (qsizetype i = 0; i < requests.size(); ++i) {
            if (hasAction(requests.at(i), QStringLiteral("Launch_App")))
                launch = i;
        }
        QVERIFY2(launch >= 0, "the launch event never arrived");
        QVERIFY(requests.at(launch).value(QStringLiteral("time")).toDouble() >= signalledAt);
        // The flush ends with a heartbeat of its own unless the first one's
        // answer had not reached the installer yet, so one or two in all.
        const auto heartbeats = std::count_if(requests.begin(), requests.end(), isHeartbeat);
        QVERIFY(heartbeats == 1 || heartbeats == 2);
        QCOMPARE(m_collector.problems(), QStringList());
        const QJsonObject body = requests.at(launch).value(QStringLiteral("body")).toObject();
        QVERIFY(body.contains(QStringLiteral("client_id")) || !QFile::exists(QStringLiteral("/etc/machine-id")));

        // The API secret travels in the query only: never printed, never logged.
        const QString query = requests.at(launch).value(QStringLiteral("query")).toString();
        const QByteArray secret = QUrlQuery(query).queryItemValue(QStringLiteral("api_secret")).toUtf8();
        QVERIFY(!secret.isEmpty());
        const QByteArray out = installer.readAllStandardOutput();
        const QByteArray err = installer.readAllStandardError();
        QVERIFY(out.contains("GA Install_SW : param:"));
        QVERIFY(!out.contains(secret));
        QVERIFY(!err.contains(secret));
        QVERIFY(!logText().contains(secret));
    }

    void optedOutInstallerSendsNothing()
    {
        const qsizetype before = m_collector.requests().size();
        QProcess installer;
        QProcessEnvironment env = installerEnvironment();
        env.insert(QStringLiteral("DO_NOT_TRACK"), QStringLiteral("1"));
        installer.setProcessEnvironment(env);
        installer.start(QStringLiteral(INSTALLER_PROGRAM), {});
        QVERIFY(installer.waitForStarted(10000));
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += installer.readAllStandardOutput()).contains("GA Install_SW : param:"), 20000);
        installer.terminate();
        QVERIFY(installer.waitForFinished(20000));
        QCOMPARE(installer.exitCode(), 0);
        QCOMPARE(m_collector.requests().size(), before);
    }
};

QTEST_GUILESS_MAIN(AnalyticsEndToEndTest)
#include "tst_analytics_e2e.moc"
