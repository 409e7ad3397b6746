#include <platform/net/UrlSession.h>

#include "LocalCollector.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTest>
#include <QThread>

#include <optional>

using namespace platform::net;

class UrlSessionTest : public QObject {
    Q_OBJECT
private:
    LocalCollector m_collector;

    UrlRequest collectRequest(const QByteArray &body = R"({"events":[{"name":"probe","timestamp_micros":1}]})")
    {
        UrlRequest request;
        request.url = QUrl(m_collector.endpoint() + QStringLiteral("/mp/collect?measurement_id=G-TEST&api_secret=s"));
        request.method = "POST";
        request.setHeader("Content-Type", "text/plain");
        request.setHeader("content-type", "application/json");
        request.body = body;
        return request;
    }

    // Runs one task to its end on the real event loop.
    UrlResponse run(UrlSession &session, const UrlRequest &request, int timeoutMs = 15000)
    {
        std::optional<UrlResponse> result;
        bool onMainThread = false;
        session.dataTask(request, [&](const UrlResponse &response) {
            onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
            result = response;
        });
        if (!QTest::qWaitFor([&] { return result.has_value(); }, timeoutMs))
            return UrlResponse { UrlError::Unknown, -1, {}, QStringLiteral("no completion") };
        if (!onMainThread)
            return UrlResponse { UrlError::Unknown, -2, {}, QStringLiteral("completion off the main thread") };
        return *result;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_collector.start());
        qputenv("PRISMORA_CA_FILE", QFile::encodeName(m_collector.caFile()));
    }

    void init() { QVERIFY(m_collector.setMode(QStringLiteral("ok"))); }

    void headersReplaceCaseInsensitively()
    {
        UrlRequest request;
        request.setHeader("Content-Type", "text/plain");
        request.setHeader("content-type", "application/json");
        QCOMPARE(request.headers.size(), 1);
        QCOMPARE(request.header("CONTENT-TYPE"), QByteArray("application/json"));
    }

    void postArrivesOverTlsWithTheExtraAuthority()
    {
        UrlSession session;
        const UrlResponse response = run(session, collectRequest());
        QCOMPARE(response.error, UrlError::None);
        QCOMPARE(response.statusCode, 204);
        const QJsonObject recorded = m_collector.requests().constLast();
        QCOMPARE(
            recorded.value(QStringLiteral("query")).toString(), QStringLiteral("measurement_id=G-TEST&api_secret=s"));
        QCOMPARE(recorded.value(QStringLiteral("content_type")).toString(), QStringLiteral("application/json"));
        QCOMPARE(recorded.value(QStringLiteral("body")).toObject().value(QStringLiteral("events")).toArray().size(), 1);
        QCOMPARE(session.runningTaskCount(), 0);
    }

    void httpStatusesAreAnswersNotErrors_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("status");
        QTest::newRow("400") << QStringLiteral("400") << 400;
        QTest::newRow("429") << QStringLiteral("429") << 429;
        QTest::newRow("500") << QStringLiteral("500") << 500;
    }

    void httpStatusesAreAnswersNotErrors()
    {
        QFETCH(QString, mode);
        QFETCH(int, status);
        QVERIFY(m_collector.setMode(mode));
        UrlSession session;
        const UrlResponse response = run(session, collectRequest());
        QCOMPARE(response.error, UrlError::None);
        QCOMPARE(response.statusCode, status);
        QCOMPARE(response.data, QByteArray("collector answers ") + mode.toUtf8());
    }

    void unknownAuthorityIsRefused()
    {
        const QByteArray saved = qgetenv("PRISMORA_CA_FILE");
        qunsetenv("PRISMORA_CA_FILE");
        UrlSession session;
        const int before = m_collector.requests().size();
        const UrlResponse response = run(session, collectRequest());
        qputenv("PRISMORA_CA_FILE", saved);
        QCOMPARE(response.error, UrlError::ServerCertificateUntrusted);
        QCOMPARE(response.statusCode, 0);
        QCOMPARE(m_collector.requests().size(), before);
    }

    void garbageAnswerIsAnError()
    {
        QVERIFY(m_collector.setMode(QStringLiteral("garbage")));
        UrlSession session;
        const UrlResponse response = run(session, collectRequest());
        QVERIFY(response.error != UrlError::None);
        QVERIFY(!response.errorText.isEmpty());
    }

    void silentServerTimesOut()
    {
        QVERIFY(m_collector.setMode(QStringLiteral("hang")));
        UrlSession session;
        UrlRequest request = collectRequest();
        request.timeout = std::chrono::milliseconds(1500);
        const UrlResponse response = run(session, request);
        QCOMPARE(response.error, UrlError::TimedOut);
    }

    void cancelReportsCancelled()
    {
        QVERIFY(m_collector.setMode(QStringLiteral("hang")));
        UrlSession session;
        std::optional<UrlResponse> result;
        const TaskId id = session.dataTask(collectRequest(), [&](const UrlResponse &response) { result = response; });
        QVERIFY(id != 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_collector.requests().constLast().value(QStringLiteral("answer")).toString(),
            QStringLiteral("hang"), 10000);
        session.cancel(id);
        QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000);
        QCOMPARE(result->error, UrlError::Cancelled);
        session.cancel(id); // finished ids are ignored
        QCOMPARE(session.runningTaskCount(), 0);
    }

    void refusedConnection()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        UrlSession session;
        UrlRequest request;
        request.url = QUrl(QStringLiteral("https://127.0.0.1:%1/mp/collect").arg(port));
        QCOMPARE(run(session, request).error, UrlError::CannotConnectToHost);
    }

    void onlyHttpUrlsAreFetched_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<UrlError>("error");
        QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << UrlError::UnsupportedURL;
        QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/x") << UrlError::UnsupportedURL;
        QTest::newRow("empty") << QString() << UrlError::BadURL;
    }

    void onlyHttpUrlsAreFetched()
    {
        QFETCH(QString, url);
        QFETCH(UrlError, error);
        UrlSession session;
        UrlRequest request;
        request.url = QUrl(url);
        QCOMPARE(run(session, request).error, error);
    }

    void concurrentTasksAllComplete()
    {
        UrlSession session;
        const int before = m_collector.requests().size();
        int completed = 0;
        for (int i = 0; i < 12; ++i)
            session.dataTask(collectRequest(), [&](const UrlResponse &response) {
                if (response.error == UrlError::None && response.statusCode == 204)
                    ++completed;
            });
        QTRY_COMPARE_WITH_TIMEOUT(completed, 12, 20000);
        QCOMPARE(m_collector.requests().size(), before + 12);
        QCOMPARE(session.runningTaskCount(), 0);
    }

    void destroyingTheSessionAbandonsRunningTasks()
    {
        QVERIFY(m_collector.setMode(QStringLiteral("hang")));
        bool called = false;
        {
            UrlSession session;
            session.dataTask(collectRequest(), [&](const UrlResponse &) { called = true; });
        }
        QCoreApplication::processEvents();
        QVERIFY(!called);
    }
};

QTEST_GUILESS_MAIN(UrlSessionTest)
#include "tst_urlsession.moc"
