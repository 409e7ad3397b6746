#include "LocalCollector.h"

#include <installer/analytics/Analytics.h>
#include <platform/ManualScheduler.h>
#include <platform/net/UrlSession.h>

#include <QTcpServer>
#include <QTest>

using namespace std::chrono_literals;
using Status = Analytics::UserEvent::Status;

// The analytics client with its real transport against the local HTTPS
// collector. Timers run on virtual time; the transfers are real, so the
// test waits for their answers while pumping the virtual clock's queue.
class AnalyticsCollectorTest : public QObject {
    Q_OBJECT
private:
    LocalCollector m_collector;
    std::unique_ptr<platform::ManualScheduler> m_scheduler;

    bool waitFor(const std::function<bool()> &condition, int timeoutMs = 15000)
    {
        return QTest::qWaitFor(
            [&] {
                m_scheduler->runPending();
                return condition();
            },
            timeoutMs);
    }

    QList<Status> statuses() const
    {
        QList<Status> found;
        for (const Analytics::Record &record : Analytics::eventQueue())
            found << record->status;
        return found;
    }

    void configure()
    {
        Analytics::configureWithMeasurement_id(
            QStringLiteral("G-LOCAL00001"), QStringLiteral("LocalSecretLocalSecret"));
    }

    void logTen()
    {
        for (int n = 0; n < 10; ++n)
            Analytics::logEvent(QStringLiteral("Install_SW"),
                { { QStringLiteral("n"), n }, { QStringLiteral("el"), QString(180, QLatin1Char('u')) } });
    }

    bool allAre(Status status) const
    {
        const QList<Status> found = statuses();
        return !found.isEmpty() && std::all_of(found.begin(), found.end(), [&](Status s) { return s == status; });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_collector.start());
        qputenv("PRISMORA_CA_FILE", QFile::encodeName(m_collector.caFile()));
    }

    void init()
    {
        m_scheduler = std::make_unique<platform::ManualScheduler>();
        platform::Scheduler::setShared(m_scheduler.get());
        Analytics::resetForTesting();
        Analytics::setTransport(nullptr);
        qputenv("PRISMORA_ANALYTICS_ENDPOINT", m_collector.endpoint().toUtf8());
        QVERIFY(m_collector.setMode(QStringLiteral("ok")));
    }

    void cleanup()
    {
        Analytics::resetForTesting();
        platform::Scheduler::setShared(nullptr);
        m_scheduler.reset();
    }

    void eventsArriveAcceptably()
    {
        const qsizetype before = m_collector.requests().size();
        configure();
        logTen();
        QVERIFY(waitFor([&] { return allAre(Status::submitSuccess); }));
        const QList<QJsonObject> requests = m_collector.requests().mid(before);
        QCOMPARE(requests.size(), 2); // heartbeat and the batch
        QCOMPARE(m_collector.problems(), QStringList());
        for (const QJsonObject &request : requests)
            QCOMPARE(request.value(QStringLiteral("query")).toString(),
                QStringLiteral("measurement_id=G-LOCAL00001&api_secret=LocalSecretLocalSecret"));
    }

    void answers_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("400 is taken as delivered") << QStringLiteral("400") << true;
        QTest::newRow("500 keeps the events") << QStringLiteral("500") << false;
        QTest::newRow("429 keeps the events") << QStringLiteral("429") << false;
        QTest::newRow("garbage keeps the events") << QStringLiteral("garbage") << false;
    }

    void answers()
    {
        QFETCH(QString, mode);
        QFETCH(bool, accepted);
        QVERIFY(m_collector.setMode(mode));
        const qsizetype before = m_collector.requests().size();
        configure();
        logTen();
        QVERIFY(waitFor([&] {
            return m_collector.requests().size() >= before + 2 && Analytics::eventQueue().size() == 10
                && !statuses().contains(Status::submiting) && !Analytics::heartbeatInFlight();
        }));
        QCOMPARE(allAre(Status::submitSuccess), accepted);
        QCOMPARE(allAre(Status::identity), !accepted);
        if (!accepted) {
            // The resend comes a second later, not at once.
            QCOMPARE(m_collector.requests().size(), before + 2);
            m_scheduler->advanceBy(999ms);
            QCOMPARE(m_collector.requests().size(), before + 2);
            QVERIFY(m_collector.setMode(QStringLiteral("ok")));
            m_scheduler->advanceBy(1ms);
            QVERIFY(waitFor([&] { return allAre(Status::submitSuccess); }));
        }
    }

    void unreachableEndpointKeepsEverything()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        qputenv("PRISMORA_ANALYTICS_ENDPOINT", QStringLiteral("https://127.0.0.1:%1").arg(port).toUtf8());
        configure();
        logTen();
        QVERIFY(waitFor([&] { return allAre(Status::identity) && !Analytics::heartbeatInFlight(); }));
        Analytics::flush();
        QVERIFY(waitFor([&] { return allAre(Status::identity) && !Analytics::heartbeatInFlight(); }));
        QCOMPARE(Analytics::eventQueue().size(), 10);
    }

    void silentEndpointHoldsOneRequestPerBatch()
    {
        QVERIFY(m_collector.setMode(QStringLiteral("hang")));
        const qsizetype before = m_collector.requests().size();
        configure();
        logTen();
        QVERIFY(waitFor([&] { return m_collector.requests().size() == before + 2; }));
        m_scheduler->advanceBy(120s); // the delayed run and two heartbeat ticks find nothing to send
        Analytics::flush();
        QTest::qWait(300); // give any stray request the time to show up at the collector
        QCOMPARE(m_collector.requests().size(), before + 2);
        QVERIFY(allAre(Status::submiting));
        QVERIFY(Analytics::heartbeatInFlight());
    }
};

QTEST_GUILESS_MAIN(AnalyticsCollectorTest)
#include "tst_analyticscollector.moc"
