#include "AnalyticsTestCase.h"

#include <installer/BuildConfig.h>
#include <installer/analytics/AnalyticsSteps.h>
#include <installer/analytics/GA.h>
#include <installer/analytics/SoftWare.h>

#include <QTest>

#include <cstdio>
#include <unistd.h>

using namespace std::chrono_literals;

// Collects what is written to the process's standard output meanwhile.
class StdoutCapture {
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        m_saved = ::dup(STDOUT_FILENO);
        m_file = std::tmpfile();
        ::dup2(::fileno(m_file), STDOUT_FILENO);
    }
    ~StdoutCapture() { finish(); }

    QByteArray finish()
    {
        if (m_saved >= 0) {
            std::fflush(stdout);
            ::dup2(m_saved, STDOUT_FILENO);
            ::close(m_saved);
            m_saved = -1;
            std::rewind(m_file);
            char buffer[4096];
            size_t count = 0;
            while ((count = std::fread(buffer, 1, sizeof buffer, m_file)) > 0)
                m_text.append(buffer, qsizetype(count));
            std::fclose(m_file);
        }
        return m_text;
    }

private:
    int m_saved = -1;
    FILE *m_file = nullptr;
    QByteArray m_text;
};

class GATest : public AnalyticsTestCase {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QVERIFY(startAnalytics());
        AnalyticsSteps::setTerminationPause(0ms);
        qunsetenv("DO_NOT_TRACK");
        qunsetenv("PRISMORA_NO_ANALYTICS");
        qputenv("PRISMORA_ANALYTICS_ENDPOINT", "https://collector.test");
    }

    void cleanup() { stopAnalytics(); }

    void standardParameters()
    {
        const QJsonObject params = GA::parameters(QStringLiteral("Start_Download"), QString());
        QCOMPARE(params.keys(), (QStringList { "cn", "ea", "el", "lang", "os", "ps", "pv", "sn", "tv" }));
        QCOMPARE(params.value(QStringLiteral("ea")).toString(), QStringLiteral("Start_Download"));
        QVERIFY(params.value(QStringLiteral("el")).isString());
        QCOMPARE(params.value(QStringLiteral("el")).toString(), QString());
        QCOMPARE(params.value(QStringLiteral("ps")).toString(), QStringLiteral("pr-mac-install"));
        QCOMPARE(params.value(QStringLiteral("tv")).toString(), QStringLiteral("1.0.0.6"));
        QCOMPARE(params.value(QStringLiteral("pv")).toString(), SoftWare::versionTrack());
        QCOMPARE(params.value(QStringLiteral("sn")).toString(), *platform::MachineIdentifier::stable());
        const QString lang = params.value(QStringLiteral("lang")).toString();
        QVERIFY(!lang.isEmpty());
        QCOMPARE(lang, lang.toLower());

        platform::MachineIdentifier::setIdFilePaths({ m_dir.filePath(QStringLiteral("absent")) });
        QCOMPARE(GA::parameters({}, {}).value(QStringLiteral("sn")).toString(), QStringLiteral("unknow"));
    }

    void operatingSystemText_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("debian") << "linux"
                                << "6.1.0-18-amd64"
                                << "Linux6.1.0";
        QTest::newRow("two parts") << "linux"
                                   << "5.15"
                                   << "Linux5.15.0";
        QTest::newRow("four parts") << "linux"
                                    << "4.19.0.1-x"
                                    << "Linux4.19.0";
        QTest::newRow("leading zeros") << "freebsd"
                                       << "14.01"
                                       << "Freebsd14.1.0";
        QTest::newRow("no version") << "linux"
                                    << ""
                                    << "Linux";
    }

    void operatingSystemText()
    {
        QFETCH(QString, type);
        QFETCH(QString, version);
        QFETCH(QString, expected);
        QCOMPARE(GA::operatingSystem(type, version), expected);
    }

    void countryNames()
    {
        QCOMPARE(GA::countryName(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("Germany"));
        QCOMPARE(GA::countryName(QLocale(QLocale::Japanese, QLocale::Japan)), QStringLiteral("Japan"));
        QCOMPARE(GA::countryName(QLocale::c()), QStringLiteral("unknow"));
    }

    void eventQueuesAndPrintsItsParameters()
    {
        AnalyticsSteps::startup();
        m_scheduler->runPending();
        StdoutCapture capture;
        GA::event(QStringLiteral("Install_SW"), QStringLiteral("Download_Failed"), QString(300, QLatin1Char('e')));
        const QByteArray out = capture.finish();
        QVERIFY2(out.startsWith("GA Install_SW : param:{\n"), out.constData());
        const QJsonObject printed = QJsonDocument::fromJson(out.mid(out.indexOf('{'))).object();
        QCOMPARE(printed.value(QStringLiteral("ea")).toString(), QStringLiteral("Download_Failed"));
        QVERIFY(!out.contains(buildconfig::analyticsApiSecret));

        const Analytics::Batch queue = Analytics::eventQueue();
        QCOMPARE(queue.size(), 2); // Launch_App and this one
        QCOMPARE(queue.at(1)->params.value(QStringLiteral("session_id")).toString(), Analytics::sessionId());
        QCOMPARE(queue.at(1)->params.size(), 10);
        m_transport.requests.clear();
        Analytics::flush();
        // The long label is cut so that the collector accepts the event.
        const QJsonObject sent = m_transport.events(0).at(1).toObject().value(QStringLiteral("params")).toObject();
        QCOMPARE(sent.value(QStringLiteral("el")).toString(), QString(100, QLatin1Char('e')));
    }

    void startupConfiguresAndReportsTheLaunch()
    {
        AnalyticsSteps::startup();
        QVERIFY(Analytics::isConfigured());
        QCOMPARE(Analytics::measurementId(), QString::fromUtf8(buildconfig::analyticsMeasurementId));
        m_scheduler->runPending();
        QCOMPARE(m_transport.names(0), QStringList { Analytics::heartbeatEventName() }); // at once
        QVERIFY(!m_transport.requests.at(0).url.toString().isEmpty());
        QCOMPARE(Analytics::eventQueue().size(), 1);
        QCOMPARE(
            Analytics::eventQueue().at(0)->params.value(QStringLiteral("ea")).toString(), QStringLiteral("Launch_App"));
        QCOMPARE(
            Analytics::eventQueue().at(0)->params.value(QStringLiteral("el")).toString(), QStringLiteral("Success"));
    }

    void terminationFlushesWhatWaits()
    {
        AnalyticsSteps::startup();
        m_scheduler->runPending();
        AnalyticsSteps::windowClose();
        m_transport.requests.clear();
        AnalyticsSteps::termination();
        QCOMPARE(m_transport.sizes(), (QList<qsizetype> { 2, 1 }));
        QCOMPARE(m_transport.events(0)
                     .at(1)
                     .toObject()
                     .value(QStringLiteral("params"))
                     .toObject()
                     .value(QStringLiteral("ea"))
                     .toString(),
            QStringLiteral("Close"));
        QCOMPARE(AnalyticsSteps::terminationPause(), 0ms);
    }

    void optOut_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("optedOut");
        QTest::newRow("DO_NOT_TRACK=1") << QByteArray("DO_NOT_TRACK") << QByteArray("1") << true;
        QTest::newRow("PRISMORA_NO_ANALYTICS=1") << QByteArray("PRISMORA_NO_ANALYTICS") << QByteArray("1") << true;
        QTest::newRow("PRISMORA_NO_ANALYTICS=true")
            << QByteArray("PRISMORA_NO_ANALYTICS") << QByteArray("True") << true;
        QTest::newRow("DO_NOT_TRACK=0") << QByteArray("DO_NOT_TRACK") << QByteArray("0") << false;
        QTest::newRow("DO_NOT_TRACK empty") << QByteArray("DO_NOT_TRACK") << QByteArray("") << false;
    }

    void optOut()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QByteArray, value);
        QFETCH(bool, optedOut);
        qputenv(variable.constData(), value);
        QCOMPARE(AnalyticsSteps::isOptedOut(), optedOut);
        AnalyticsSteps::startup();
        AnalyticsSteps::windowClose();
        AnalyticsSteps::termination();
        m_scheduler->advanceBy(120s);
        QCOMPARE(Analytics::isConfigured(), !optedOut);
        QCOMPARE(m_transport.requests.isEmpty(), optedOut);
        qunsetenv(variable.constData());
    }
};

QTEST_GUILESS_MAIN(GATest)
#include "tst_ga.moc"
