#include "AnalyticsTestCase.h"

#include <QTest>

using namespace std::chrono_literals;
using Status = Analytics::UserEvent::Status;
using platform::net::UrlError;

class AnalyticsTest : public AnalyticsTestCase {
    Q_OBJECT
private:
    void configure()
    {
        Analytics::configureWithMeasurement_id(
            QStringLiteral("G-TEST000001"), QStringLiteral("SecretSecretSecret0001"));
        m_scheduler->runPending(); // the first heartbeat
        m_transport.requests.clear();
    }

    void log(int n, const QString &name = QStringLiteral("Install_SW"))
    {
        Analytics::logEvent(name, QJsonObject { { QStringLiteral("n"), n } });
    }

    QList<Status> statuses() const
    {
        QList<Status> found;
        for (const Analytics::Record &record : Analytics::eventQueue())
            found << record->status;
        return found;
    }

    double secondsSinceStart() const
    {
        return std::chrono::duration<double>(m_scheduler->now() - platform::ManualScheduler::defaultStart()).count();
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(startAnalytics());
        qunsetenv("PRISMORA_ANALYTICS_ENDPOINT");
    }

    void cleanup() { stopAnalytics(); }

    void unconfiguredClientDropsEverything()
    {
        log(1);
        Analytics::flush();
        Analytics::sendHeartbeat();
        m_scheduler->advanceBy(120s);
        QVERIFY(m_transport.requests.isEmpty());
        QVERIFY(Analytics::eventQueue().isEmpty());
        QVERIFY(!Analytics::isConfigured());
    }

    void configurationHappensOnceWithOneHeartbeat()
    {
        Analytics::configureWithMeasurement_id(
            QStringLiteral("G-TEST000001"), QStringLiteral("SecretSecretSecret0001"));
        Analytics::configureWithMeasurement_id(
            QStringLiteral("G-OTHER00002"), QStringLiteral("OtherOtherOtherOther02"));
        QCOMPARE(Analytics::measurementId(), QStringLiteral("G-TEST000001"));
        m_scheduler->runPending();
        QCOMPARE(m_transport.requests.size(), 1); // the first heartbeat, at once
        QCOMPARE(m_transport.names(0), QStringList { Analytics::heartbeatEventName() });
        m_scheduler->advanceBy(180s);
        QCOMPARE(m_transport.requests.size(), 4); // 0, 60, 120, 180: one timer, not two
        QVERIFY(m_transport.requests.constLast().url.query().contains(QStringLiteral("G-TEST000001")));
    }

    void burstsAreBatched_data()
    {
        QTest::addColumn<int>("events");
        QTest::addColumn<QList<qsizetype>>("sentAtOnce");
        QTest::addColumn<QList<qsizetype>>("sentAfterPause");
        QTest::newRow("nine wait for the pause") << 9 << QList<qsizetype> {} << QList<qsizetype> { 9 };
        QTest::newRow("ten go at once") << 10 << QList<qsizetype> { 10 } << QList<qsizetype> {};
        QTest::newRow("twelve: ten, then two") << 12 << QList<qsizetype> { 10 } << QList<qsizetype> { 2 };
        QTest::newRow("twenty: two tens") << 20 << QList<qsizetype> { 10, 10 } << QList<qsizetype> {};
    }

    void burstsAreBatched()
    {
        QFETCH(int, events);
        QFETCH(QList<qsizetype>, sentAtOnce);
        QFETCH(QList<qsizetype>, sentAfterPause);
        configure();
        for (int n = 0; n < events; ++n) {
            log(n);
            m_scheduler->advanceBy(1s);
        }
        QCOMPARE(m_transport.sizes(), sentAtOnce);
        m_scheduler->advanceBy(13s); // 14 s after the last event: still nothing more
        QCOMPARE(m_transport.sizes(), sentAtOnce);
        m_scheduler->advanceBy(1s);
        QCOMPARE(m_transport.sizes(), sentAtOnce + sentAfterPause);
        QList<int> order;
        for (qsizetype i = 0; i < m_transport.requests.size(); ++i)
            order += m_transport.indexes(i);
        QCOMPARE(order.size(), events);
        QVERIFY(std::is_sorted(order.begin(), order.end()));
    }

    void flushSplitsWaitingEventsThenBeats()
    {
        configure();
        // Two full batches fail, so 25 events wait in logging order.
        m_transport.hold = true;
        for (int n = 0; n < 25; ++n)
            log(n);
        m_transport.release({ UrlError::TimedOut, 0 });
        QCOMPARE(statuses(), QList<Status>(25, Status::identity));
        m_transport.hold = false;
        m_transport.requests.clear();
        Analytics::flush();
        QCOMPARE(m_transport.sizes(), (QList<qsizetype> { 10, 10, 5, 1 }));
        QCOMPARE(m_transport.indexes(0).constFirst(), 0);
        QCOMPARE(m_transport.indexes(1).constFirst(), 10);
        QCOMPARE(m_transport.indexes(2), (QList<int> { 20, 21, 22, 23, 24 }));
        QCOMPARE(m_transport.names(3), QStringList { Analytics::heartbeatEventName() });
        // In flight already: a second flush sends nothing, not even a heartbeat.
        Analytics::flush();
        QCOMPARE(m_transport.requests.size(), 4);
        m_scheduler->runPending();
        QCOMPARE(statuses(), QList<Status>(25, Status::submitSuccess));
        m_scheduler->advanceBy(15s); // the pending delayed run finds nothing
        QCOMPARE(m_transport.requests.size(), 4);
    }

    void flushWithNothingWaitingSendsNothing()
    {
        configure();
        Analytics::flush();
        QVERIFY(m_transport.requests.isEmpty());
    }

    void sessionIdOverwritesTheCallers()
    {
        configure();
        Analytics::logEvent(
            QStringLiteral("Install_SW"), QJsonObject { { QStringLiteral("session_id"), QStringLiteral("mine") } });
        Analytics::flush();
        const QJsonObject params = m_transport.events(0).at(0).toObject().value(QStringLiteral("params")).toObject();
        QCOMPARE(params.value(QStringLiteral("session_id")).toString(), Analytics::sessionId());
        QCOMPARE(Analytics::sessionId().size(), 36);
        QCOMPARE(m_transport.requests.at(1)
                     .json.value(QStringLiteral("events"))
                     .toArray()
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("params"))
                     .toObject()
                     .value(QStringLiteral("session_id"))
                     .toString(),
            Analytics::sessionId());
    }

    void failedHeartbeatIsCountedAgainByTheNext()
    {
        Analytics::configureWithMeasurement_id(
            QStringLiteral("G-TEST000001"), QStringLiteral("SecretSecretSecret0001"));
        const double configuredAt = Analytics::lastEngagementTime();
        m_scheduler->runPending();
        auto engagement = [&](qsizetype i) {
            return m_transport.events(i)
                .at(0)
                .toObject()
                .value(QStringLiteral("params"))
                .toObject()
                .value(QStringLiteral("engagement_time_msec"));
        };
        QVERIFY(engagement(0).isDouble());
        QCOMPARE(engagement(0).toInteger(), 0);
        m_transport.outcome = { UrlError::TimedOut, 0 };
        m_scheduler->advanceBy(60s);
        QCOMPARE(engagement(1).toInteger(), 60000);
        QVERIFY(!Analytics::heartbeatInFlight());
        QCOMPARE(Analytics::lastEngagementTime(), configuredAt);
        m_transport.outcome = { UrlError::None, 204 };
        m_scheduler->advanceBy(60s);
        QCOMPARE(engagement(2).toInteger(), 120000);
        QCOMPARE(Analytics::lastEngagementTime(), configuredAt + 120);
    }

    void heartbeatsNeverOverlap()
    {
        configure();
        m_transport.hold = true;
        m_scheduler->advanceBy(60s);
        QVERIFY(Analytics::heartbeatInFlight());
        m_scheduler->advanceBy(120s);
        QCOMPARE(m_transport.requests.size(), 1);
        m_transport.release({ UrlError::None, 204 });
        QVERIFY(!Analytics::heartbeatInFlight());
        m_transport.hold = false;
        m_scheduler->advanceBy(60s);
        QCOMPARE(m_transport.requests.size(), 2);
        QCOMPARE(m_transport.events(1)
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("params"))
                     .toObject()
                     .value(QStringLiteral("engagement_time_msec"))
                     .toInteger(),
            180000); // counted from the accepted beat at 60 s to 240 s
    }

    void withoutPauseEveryEventLeavesAlone()
    {
        configure();
        Analytics::setInactiveTimeSpaceInterval(0);
        log(1);
        QCOMPARE(m_transport.sizes(), QList<qsizetype> { 1 });
        QVERIFY(Analytics::eventQueue().isEmpty());
        m_transport.outcome = { UrlError::NotConnectedToInternet, 0 };
        log(2);
        m_scheduler->runPending();
        QCOMPARE(m_transport.sizes(), (QList<qsizetype> { 1, 1 }));
        QCOMPARE(Analytics::eventQueue().size(), 1); // only the failed one joins the queue
        QCOMPARE(statuses(), QList<Status> { Status::identity });
        Analytics::setInactiveTimeSpaceInterval(15);
        Analytics::logEvent(QStringLiteral("now"), {}, true); // submit-now with the default pause, too
        QCOMPARE(m_transport.sizes().size(), 3);
    }

    void acceptedRecordsStayUntilTheNextEventAndAreNotResent()
    {
        configure();
        for (int n = 0; n < 10; ++n)
            log(n);
        m_scheduler->runPending();
        QCOMPARE(statuses(), QList<Status>(10, Status::submitSuccess));
        Analytics::flush();
        m_scheduler->advanceBy(15s);
        QCOMPARE(m_transport.requests.size(), 1);
        log(10);
        QCOMPARE(statuses(), QList<Status> { Status::identity });
    }

    void serverErrorsAreFailures_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("204") << 204 << true;
        QTest::newRow("400") << 400 << true;
        QTest::newRow("404") << 404 << true;
        QTest::newRow("429") << 429 << false;
        QTest::newRow("500") << 500 << false;
        QTest::newRow("503") << 503 << false;
    }

    void serverErrorsAreFailures()
    {
        QFETCH(int, status);
        QFETCH(bool, accepted);
        configure();
        m_transport.outcome = { UrlError::None, status };
        for (int n = 0; n < 10; ++n)
            log(n);
        m_scheduler->runPending();
        QCOMPARE(statuses(), QList<Status>(10, accepted ? Status::submitSuccess : Status::identity));
    }

    void failingEndpointIsRetriedWithBackOff()
    {
        configure();
        m_transport.outcome = { UrlError::CannotConnectToHost, 0 };
        for (int n = 0; n < 12; ++n)
            log(n);
        QCOMPARE(m_transport.requests.size(), 1);
        m_scheduler->advanceBy(60s);

        QList<double> batchTimes;
        int heartbeats = 0;
        for (const FakeTransport::Request &request : std::as_const(m_transport.requests)) {
            const double t
                = std::chrono::duration<double>(request.at - platform::ManualScheduler::defaultStart()).count();
            if (request.json.value(QStringLiteral("events")).toArray().at(0).toObject().value(QStringLiteral("name"))
                == Analytics::heartbeatEventName())
                ++heartbeats;
            else
                batchTimes << t;
        }
        // Resends 1, 2, 4, 8, then every 15 s; the heartbeat keeps its minute.
        QCOMPARE(batchTimes, (QList<double> { 0, 1, 3, 7, 15, 30, 45, 60 }));
        QCOMPARE(heartbeats, 1);
        QCOMPARE(m_transport.requests.size(), 9);
        for (qsizetype i = 0; i < m_transport.requests.size(); ++i) {
            if (m_transport.names(i).constFirst() != Analytics::heartbeatEventName())
                QCOMPARE(m_transport.indexes(i), (QList<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }));
        }
        QCOMPARE(Analytics::eventQueue().size(), 12); // nothing dropped, nothing duplicated

        // Once the endpoint answers again everything leaves, and the next
        // failure starts the back-off from one second.
        m_transport.outcome = { UrlError::None, 204 };
        m_scheduler->advanceBy(30s);
        int delivered = 0;
        for (const Analytics::Record &record : Analytics::eventQueue())
            delivered += record->status == Status::submitSuccess;
        QCOMPARE(delivered, 12);
        m_transport.outcome = { UrlError::CannotConnectToHost, 0 };
        m_transport.requests.clear();
        for (int n = 0; n < 10; ++n)
            log(n);
        m_scheduler->advanceBy(1s);
        QCOMPARE(m_transport.requests.size(), 2);
        QCOMPARE(secondsSinceStart(), 91.0);
    }

    void batchSizeStaysWithinOneAndTwentyFive()
    {
        configure();
        Analytics::setGrandTotalSubmitCount(40);
        for (int n = 0; n < 30; ++n)
            log(n);
        QCOMPARE(m_transport.sizes(), QList<qsizetype> { 25 });
        m_scheduler->runPending();
        m_transport.requests.clear();
        Analytics::setGrandTotalSubmitCount(0); // taken as 1: never an empty batch, never a loop
        log(30);
        QCOMPARE(m_transport.sizes(), QList<qsizetype> { 1 });
        QCOMPARE(m_transport.indexes(0), QList<int> { 25 });
        m_scheduler->advanceBy(15s);
        QCOMPARE(m_transport.sizes(), (QList<qsizetype> { 1, 1 }));
    }

    void timestampsAndQueryReachTheRequest()
    {
        m_scheduler = std::make_unique<platform::ManualScheduler>(
            platform::Scheduler::TimePoint(std::chrono::microseconds(1700000000250000)));
        platform::Scheduler::setShared(m_scheduler.get());
        configure();
        log(0);
        Analytics::flush();
        const FakeTransport::Request &request = m_transport.requests.at(0);
        QCOMPARE(request.url.path(), QStringLiteral("/mp/collect"));
        QCOMPARE(request.url.query(), QStringLiteral("measurement_id=G-TEST000001&api_secret=SecretSecretSecret0001"));
        QCOMPARE(m_transport.events(0).at(0).toObject().value(QStringLiteral("timestamp_micros")).toInteger(),
            1700000000250000);
        QCOMPARE(request.json.keys(), (QStringList { QStringLiteral("client_id"), QStringLiteral("events") }));
        QCOMPARE(request.json.value(QStringLiteral("client_id")).toString(), *platform::MachineIdentifier::stable());
        QVERIFY(!request.body.contains('\n'));
    }

    void userPropertiesAndMissingClientId()
    {
        platform::MachineIdentifier::setIdFilePaths({ m_dir.filePath(QStringLiteral("absent")) });
        configure();
        log(0);
        Analytics::flush();
        QCOMPARE(m_transport.requests.at(0).json.keys(), QStringList { QStringLiteral("events") });
        Analytics::setUserPropertyWithValue(QStringLiteral("a"), QStringLiteral("edition"));
        Analytics::setUserPropertyWithValue(QStringLiteral("b"), QStringLiteral("edition"));
        log(1);
        Analytics::flush();
        QCOMPARE(m_transport.requests.constLast().json.value(QStringLiteral("user_properties")).toObject(),
            (QJsonObject {
                { QStringLiteral("edition"), QJsonObject { { QStringLiteral("value"), QStringLiteral("b") } } } }));
    }

    void unbuildableRequestChangesNothing()
    {
        qputenv("PRISMORA_ANALYTICS_ENDPOINT", "not a url");
        configure();
        QVERIFY(!Analytics::heartbeatInFlight()); // a heartbeat that cannot be built does not block later ones
        log(0);
        Analytics::flush();
        const auto record = std::make_shared<Analytics::UserEvent>(QStringLiteral("x"), QJsonObject {}, 1.0);
        bool completed = false;
        QVERIFY(!Analytics::submitEvents({ record }, true, [&](bool) { completed = true; }));
        m_scheduler->advanceBy(60s);
        QVERIFY(m_transport.requests.isEmpty());
        QVERIFY(!completed);
        QCOMPARE(record->status, Status::identity);
        QCOMPARE(statuses(), QList<Status> { Status::identity });
        qputenv("PRISMORA_ANALYTICS_ENDPOINT", "https://collector.test/");
        QCOMPARE(Analytics::releaseHostUrl(), QStringLiteral("https://collector.test/mp/collect"));
        QCOMPARE(Analytics::debugHostUrl(), QStringLiteral("https://collector.test/debug/mp/collect"));
        qunsetenv("PRISMORA_ANALYTICS_ENDPOINT");
    }

    void failedSubmitNowRecordJoinsTheQueueOnce()
    {
        configure();
        m_transport.hold = true;
        const auto record = std::make_shared<Analytics::UserEvent>(QStringLiteral("x"), QJsonObject {}, 1.0);
        QVERIFY(Analytics::submitEvents({ record }, true, {}));
        QVERIFY(Analytics::submitEvents({ record }, true, {}));
        QCOMPARE(record->status, Status::submiting);
        m_transport.release({ UrlError::NetworkConnectionLost, 0 });
        QCOMPARE(Analytics::eventQueue().size(), 1);
        QCOMPARE(record->status, Status::identity);
        const auto dropped = std::make_shared<Analytics::UserEvent>(QStringLiteral("y"), QJsonObject {}, 1.0);
        bool result = true;
        Analytics::submitEvents({ dropped }, false, [&](bool success) { result = success; });
        m_transport.release({ UrlError::TimedOut, 0 });
        QVERIFY(!result);
        QCOMPARE(Analytics::eventQueue().size(), 1);
    }

    void answersFromBeforeAResetAreIgnored()
    {
        configure();
        m_transport.hold = true;
        for (int n = 0; n < 10; ++n)
            log(n);
        Analytics::resetForTesting();
        m_transport.release({ UrlError::TimedOut, 0 });
        QVERIFY(Analytics::eventQueue().isEmpty());
        QVERIFY(!Analytics::isConfigured());
        QCOMPARE(m_scheduler->pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(AnalyticsTest)
#include "tst_analytics.moc"
