// The sessions when libcurl cannot be loaded: every task must end with an
// error that says why, and the sessions must still stop cleanly.
#include <platform/net/DownloadSession.h>
#include <platform/net/UrlSession.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>

using namespace platform::net;
using namespace std::chrono_literals;

namespace {

const QByteArray absentLibrary = "libprismora-absent-curl.so.0";

class Completions : public DownloadSessionDelegate {
public:
    void didWriteData(DownloadTask &, std::int64_t, std::int64_t, std::int64_t) override
    {
        std::lock_guard lock(mutex);
        ++unexpected;
    }
    void didFinishDownloadingTo(DownloadTask &, const QString &) override
    {
        std::lock_guard lock(mutex);
        ++unexpected;
    }
    void didCompleteWithError(DownloadTask &task, const std::optional<TransferError> &error) override
    {
        std::lock_guard lock(mutex);
        errors.emplace(task.taskIdentifier(), error);
        changed.notify_all();
    }

    /// Waits until @p count tasks have completed; false if that never happens.
    bool waitFor(std::size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 20s, [&] { return errors.size() >= count; });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::uint64_t, std::optional<TransferError>> errors;
    int unexpected = 0;
};

} // namespace

class CurlUnavailableTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Read once, when the first session's worker loads the library.
        qputenv("PRISMORA_CURL_LIBRARY", absentLibrary);
    }

    void dataTasksFailWithTheReason()
    {
        UrlSession session;
        UrlRequest request;
        request.url = QUrl(QStringLiteral("http://127.0.0.1:9/collect"));
        std::vector<UrlResponse> responses;
        bool onMainThread = true;
        for (int i = 0; i < 3; ++i)
            session.dataTask(request, [&](const UrlResponse &response) {
                onMainThread = onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
                responses.push_back(response);
            });
        QTRY_COMPARE_WITH_TIMEOUT(responses.size(), std::size_t(3), 20000);
        QVERIFY(onMainThread);
        for (const UrlResponse &response : responses) {
            QCOMPARE(response.error, UrlError::Unknown);
            QCOMPARE(response.statusCode, 0);
            QVERIFY2(response.errorText.contains(QString::fromLatin1(absentLibrary)), qPrintable(response.errorText));
        }
        QCOMPARE(session.runningTaskCount(), 0);

        // Still serving after the first failures.
        std::optional<UrlResponse> later;
        session.dataTask(request, [&](const UrlResponse &response) { later = response; });
        QTRY_VERIFY_WITH_TIMEOUT(later.has_value(), 20000);
        QCOMPARE(later->error, UrlError::Unknown);
    }

    void downloadTasksFailWithTheReason()
    {
        Completions delegate;
        std::shared_ptr<DownloadTask> suspended;
        {
            DownloadSession session(&delegate);
            auto running = session.downloadTask({ QUrl(QStringLiteral("https://127.0.0.1:9/a.zip")), {} });
            suspended = session.downloadTask({ QUrl(QStringLiteral("https://127.0.0.1:9/b.zip")), {} });
            running->resume();
            QVERIFY(delegate.waitFor(1));
            {
                std::lock_guard lock(delegate.mutex);
                const auto &error = delegate.errors.at(running->taskIdentifier());
                QVERIFY(error.has_value());
                QCOMPARE(error->code, UrlError::Unknown);
                QVERIFY2(error->detail.contains(QString::fromLatin1(absentLibrary)), qPrintable(error->detail));
                QVERIFY(!delegate.errors.contains(suspended->taskIdentifier()));
            }
            QCOMPARE(running->state(), DownloadTask::State::Completed);
        }
        // Destroying the session cancels the task that never ran.
        QVERIFY(delegate.waitFor(2));
        std::lock_guard lock(delegate.mutex);
        const auto &error = delegate.errors.at(suspended->taskIdentifier());
        QVERIFY(error.has_value());
        QCOMPARE(error->code, UrlError::Cancelled);
        QCOMPARE(delegate.unexpected, 0);
    }
};

QTEST_GUILESS_MAIN(CurlUnavailableTest)
#include "tst_curlunavailable.moc"
