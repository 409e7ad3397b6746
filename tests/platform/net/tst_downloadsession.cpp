#include <platform/net/DownloadSession.h>

#include "fixtures/FileSizeLimit.h"
#include "fixtures/LocalMirror.h"
#include "fixtures/SmallVolume.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <set>
#include <unistd.h>

using namespace platform::net;
using namespace std::chrono_literals;

namespace {

/// Records every callback; safe to read from the test thread.
class Recorder : public DownloadSessionDelegate {
public:
    void didWriteData(DownloadTask &, std::int64_t written, std::int64_t total, std::int64_t expected) override
    {
        std::lock_guard lock(mutex);
        threads.insert(QThread::currentThread());
        events << QStringLiteral("progress");
        progress.push_back({ written, total, expected });
        changed.notify_all();
    }
    void didFinishDownloadingTo(DownloadTask &, const QString &location) override
    {
        std::lock_guard lock(mutex);
        threads.insert(QThread::currentThread());
        events << QStringLiteral("finished");
        QFile file(location);
        if (file.open(QIODevice::ReadOnly))
            body = file.readAll();
        temporaryFile = location;
        changed.notify_all();
    }
    void didCompleteWithError(DownloadTask &, const std::optional<TransferError> &failure) override
    {
        std::lock_guard lock(mutex);
        threads.insert(QThread::currentThread());
        events << QStringLiteral("completed");
        error = failure;
        ++completions;
        changed.notify_all();
    }

    /// Waits (for the transfer, not for a timer) until @p predicate holds.
    template <typename Predicate> bool waitUntil(Predicate predicate, std::chrono::milliseconds limit = 20s)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, limit, [&] { return predicate(); });
    }
    bool waitForCompletion()
    {
        return waitUntil([this] { return completions > 0; });
    }

    struct Progress {
        std::int64_t written, total, expected;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::set<QThread *> threads;
    QStringList events;
    std::vector<Progress> progress;
    QByteArray body;
    QString temporaryFile;
    std::optional<TransferError> error;
    int completions = 0;
};

DownloadRequest zipRequest(const QString &url)
{
    return { QUrl(url), { { "Accept-Encoding", "application-x-zip" } } };
}

DownloadRequest fileRequest(const QString &url, const QString &destination, const ResumeData &resume = {})
{
    return { QUrl(url), { { "Accept-Encoding", "application-x-zip" } }, destination, resume };
}

QString hexHash(const QByteArray &bytes, QCryptographicHash::Algorithm algorithm)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, algorithm).toHex());
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDownloadSession : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_temp.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        m_archive = m_work.filePath(QStringLiteral("prismora.zip"));
        QFile file(m_archive);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes(2 * 1024 * 1024 + 123, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        m_content = bytes;
        file.write(bytes);
        file.close();
        QVERIFY(m_mirror.start(m_archive));
        qputenv("PRISMORA_CA_FILE", QFile::encodeName(m_mirror.caFile()));
    }

    void downloadsTheBodyOnTheSessionThread()
    {
        Recorder recorder;
        DownloadSession session(&recorder);
        auto task = session.downloadTask(zipRequest(m_mirror.url(QStringLiteral("ok/prismora.zip"))));
        QCOMPARE(task->state(), DownloadTask::State::Suspended);
        task->resume();
        QVERIFY(recorder.waitForCompletion());

        QVERIFY(!recorder.error);
        QCOMPARE(recorder.body.size(), m_content.size());
        QVERIFY(recorder.body == m_content);
        QCOMPARE(recorder.threads.size(), std::size_t(1));
        QVERIFY(*recorder.threads.begin() != QThread::currentThread());
        QCOMPARE(recorder.events.last(), QStringLiteral("completed"));
        QCOMPARE(recorder.events.at(recorder.events.size() - 2), QStringLiteral("finished"));
        QCOMPARE(recorder.events.count(QStringLiteral("finished")), 1);

        std::int64_t sum = 0;
        for (const auto &step : recorder.progress) {
            sum += step.written;
            QCOMPARE(step.total, sum);
            QCOMPARE(step.expected, std::int64_t(m_content.size()));
        }
        QCOMPARE(sum, std::int64_t(m_content.size()));
        QCOMPARE(task->state(), DownloadTask::State::Completed);
        QVERIFY(!QFile::exists(recorder.temporaryFile)); // removed after the callback
        QVERIFY(m_mirror.requests().last().endsWith(QStringLiteral("\tapplication-x-zip")));
    }

    void reportsFailuresAsUrlErrors_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("partialBytes");

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 freePort = closed.serverPort();
        closed.close();
        QTest::newRow("connection refused") << QStringLiteral("https://127.0.0.1:%1/prismora.zip").arg(freePort)
                                            << int(UrlError::CannotConnectToHost) << false;
        QTest::newRow("unknown host") << QStringLiteral("https://mirror.prismora.invalid/prismora.zip")
                                      << int(UrlError::CannotFindHost) << false;
        QTest::newRow("404") << m_mirror.url(QStringLiteral("status/404/prismora.zip"))
                             << int(UrlError::BadServerResponse) << false;
        QTest::newRow("503") << m_mirror.url(QStringLiteral("status/503/prismora.zip"))
                             << int(UrlError::BadServerResponse) << false;
        QTest::newRow("reset mid-body") << m_mirror.url(QStringLiteral("reset/prismora.zip"))
                                        << int(UrlError::NetworkConnectionLost) << true;
        QTest::newRow("truncated body") << m_mirror.url(QStringLiteral("truncate/prismora.zip"))
                                        << int(UrlError::NetworkConnectionLost) << true;
    }

    void reportsFailuresAsUrlErrors()
    {
        QFETCH(QString, url);
        QFETCH(int, code);
        QFETCH(bool, partialBytes);
        Recorder recorder;
        DownloadSession session(&recorder);
        auto task = session.downloadTask(zipRequest(url));
        task->resume();
        QVERIFY(recorder.waitForCompletion());
        QVERIFY(recorder.error);
        QCOMPARE(recorder.error->errorCode(), code);
        QCOMPARE(recorder.events.count(QStringLiteral("finished")), 0);
        QCOMPARE(recorder.completions, 1);
        QCOMPARE(!recorder.progress.empty(), partialBytes);
        QVERIFY(QDir(m_temp.path()).entryList(QDir::Files).isEmpty()); // no temporary file left behind
    }

    void refusesAnUntrustedCertificate()
    {
        LocalMirror untrusted;
        QVERIFY(untrusted.start(m_archive, LocalMirror::Certificate::Untrusted));
        Recorder recorder;
        DownloadSession session(&recorder);
        session.downloadTask(zipRequest(untrusted.url(QStringLiteral("prismora.zip"))))->resume();
        QVERIFY(recorder.waitForCompletion());
        QVERIFY(recorder.error);
        QCOMPARE(recorder.error->code, UrlError::ServerCertificateUntrusted);
        QVERIFY(recorder.progress.empty());
    }

    void acceptsABodyWithoutAnnouncedLength()
    {
        Recorder recorder;
        DownloadSession session(&recorder);
        session.downloadTask(zipRequest(m_mirror.url(QStringLiteral("nolength/prismora.zip"))))->resume();
        QVERIFY(recorder.waitForCompletion());
        QVERIFY(!recorder.error);
        QVERIFY(recorder.body == m_content);
        QVERIFY(!recorder.progress.empty());
        for (const auto &step : recorder.progress)
            QCOMPARE(step.expected, std::int64_t(-1));
    }

    void timesOutAStalledTransfer()
    {
        Recorder recorder;
        DownloadSession session(&recorder, 300ms);
        session.downloadTask(zipRequest(m_mirror.url(QStringLiteral("stall/prismora.zip"))))->resume();
        QVERIFY(recorder.waitForCompletion());
        QVERIFY(recorder.error);
        QCOMPARE(recorder.error->code, UrlError::TimedOut);
        QCOMPARE(recorder.progress.back().total, std::int64_t(1024));
    }

    void suspendPausesWithoutTimingOut()
    {
        Recorder recorder;
        DownloadSession session(&recorder, 250ms);
        auto task = session.downloadTask(zipRequest(m_mirror.url(QStringLiteral("slow/prismora.zip"))));
        task->resume();
        QVERIFY(recorder.waitUntil([&] { return !recorder.progress.empty(); }));
        task->suspend();
        QCOMPARE(task->state(), DownloadTask::State::Suspended);

        // Real time has to pass here: the point is that the idle time-out does
        // not fire and no bytes arrive while the transfer is paused.
        QTest::qWait(300);
        const std::int64_t pausedAt = task->countOfBytesReceived();
        QTest::qWait(500);
        QCOMPARE(task->countOfBytesReceived(), pausedAt);
        QVERIFY(pausedAt < m_content.size());
        {
            std::lock_guard lock(recorder.mutex);
            QCOMPARE(recorder.completions, 0);
        }

        task->resume();
        QVERIFY(recorder.waitForCompletion());
        QVERIFY2(!recorder.error, qPrintable(recorder.error ? recorder.error->description() : QString()));
        QVERIFY(recorder.body == m_content);
    }

    void cancelEndsWithCancelledOnce()
    {
        Recorder recorder;
        DownloadSession session(&recorder);
        auto task = session.downloadTask(zipRequest(m_mirror.url(QStringLiteral("slow/prismora.zip"))));
        task->resume();
        QVERIFY(recorder.waitUntil([&] { return !recorder.progress.empty(); }));
        task->cancel();
        task->cancel();
        QVERIFY(recorder.waitForCompletion());
        QCOMPARE(recorder.error->code, UrlError::Cancelled);
        QCOMPARE(recorder.error->errorCode(), -999);
        QCOMPARE(recorder.completions, 1);
        QCOMPARE(task->state(), DownloadTask::State::Completed);
    }

    void destroyingTheSessionCancelsItsTasks()
    {
        Recorder recorder;
        std::shared_ptr<DownloadTask> never;
        {
            DownloadSession session(&recorder);
            never = session.downloadTask(zipRequest(m_mirror.url(QStringLiteral("ok/prismora.zip"))));
        }
        QCOMPARE(recorder.completions, 1);
        QCOMPARE(recorder.error->code, UrlError::Cancelled);
        never->resume(); // harmless once the session is gone
        QCOMPARE(never->state(), DownloadTask::State::Completed);
    }

    void aFullDiskIsReportedAsOutOfSpace()
    {
        FileSizeLimit limit(256 * 1024);
        QVERIFY(limit.isActive());

        Recorder recorder;
        {
            DownloadSession session(&recorder);
            session.downloadTask(zipRequest(m_mirror.url(QStringLiteral("ok/prismora.zip"))))->resume();
            const bool completed = recorder.waitForCompletion();
            limit.restore();
            QVERIFY(completed);
        }
        QVERIFY(recorder.error);
        QCOMPARE(recorder.error->code, UrlError::CannotWriteToFile);
        QCOMPARE(recorder.error->fileError, platform::FileError::WriteOutOfSpace);
        QVERIFY(QDir(m_temp.path()).entryList(QDir::Files).isEmpty());
    }

    void resumesACutDownload_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("resumable");
        QTest::addColumn<bool>("appended");
        QTest::newRow("same file: the rest is appended") << QStringLiteral("cutonce/same.zip") << true << true;
        QTest::newRow("changed file: whole body again")
            << QStringLiteral("newetag/cutonce/changed.zip") << true << false;
        QTest::newRow("no validator: no range asked")
            << QStringLiteral("novalidator/cutonce/plain.zip") << false << false;
    }

    void resumesACutDownload()
    {
        QFETCH(QString, path);
        QFETCH(bool, resumable);
        QFETCH(bool, appended);
        const QString destination = m_work.filePath(QStringLiteral("resumed-%1.zip").arg(QTest::currentDataTag()));
        const QString url = m_mirror.url(path);

        Recorder cut;
        ResumeData resume;
        {
            DownloadSession session(&cut);
            auto task = session.downloadTask(fileRequest(url, destination));
            task->resume();
            QVERIFY(cut.waitForCompletion());
            QCOMPARE(cut.error->code, UrlError::NetworkConnectionLost);
            resume = task->resumeData();
        }
        const std::int64_t onDisk = QFileInfo(destination).size();
        QVERIFY(onDisk > 0 && onDisk < m_content.size()); // kept by the failed task
        QCOMPARE(resume.isValid(), resumable);
        if (resumable)
            QCOMPARE(resume.offset, onDisk);
        else
            resume.offset = onDisk; // the caller still knows the size, but has nothing to check it with

        Recorder recorder;
        DownloadSession session(&recorder);
        auto task = session.downloadTask(fileRequest(url, destination, resume));
        task->resume();
        QVERIFY(recorder.waitForCompletion());
        QVERIFY2(!recorder.error, qPrintable(recorder.error ? recorder.error->description() : QString()));
        QCOMPARE(recorder.temporaryFile, destination);
        QVERIFY(contentsOf(destination) == m_content); // the caller's file stays
        QCOMPARE(task->digests().md5, hexHash(m_content, QCryptographicHash::Md5));
        QCOMPARE(task->digests().sha256, hexHash(m_content, QCryptographicHash::Sha256));
        QCOMPARE(task->digests().blake2b512, hexHash(m_content, QCryptographicHash::Blake2b_512));
        QCOMPARE(task->countOfBytesReceived(), std::int64_t(m_content.size()));

        const QStringList logged = m_mirror.requests().constLast().split(QLatin1Char('\t'));
        QCOMPARE(logged.value(2), resumable ? QStringLiteral("bytes=%1-").arg(onDisk) : QString());
        QVERIFY(!recorder.progress.empty());
        const auto &first = recorder.progress.front();
        QCOMPARE(first.total - first.written, appended ? onDisk : 0);
        std::int64_t previous = 0;
        for (const auto &step : recorder.progress) {
            QVERIFY(step.total > previous);
            QCOMPARE(step.expected, std::int64_t(m_content.size()));
            previous = step.total;
        }
        QCOMPARE(previous, std::int64_t(m_content.size()));
    }

    void aCancelledDownloadLeavesFlushedResumeData()
    {
        const QString destination = m_work.filePath(QStringLiteral("cancelled.zip"));
        Recorder recorder;
        DownloadSession session(&recorder);
        auto task = session.downloadTask(fileRequest(m_mirror.url(QStringLiteral("slow/cancelled.zip")), destination));
        task->resume();
        QVERIFY(recorder.waitUntil([&] { return !recorder.progress.empty(); }));
        task->cancel();
        QVERIFY(recorder.waitForCompletion());
        QCOMPARE(recorder.error->code, UrlError::Cancelled);
        const ResumeData resume = task->resumeData();
        QVERIFY(resume.isValid());
        QCOMPARE(resume.offset, QFileInfo(destination).size()); // nothing left in a buffer
        QVERIFY(contentsOf(destination) == m_content.first(resume.offset));
    }

    void refusesAPartialAnswerThatDoesNotContinueTheFile()
    {
        const QString destination = m_work.filePath(QStringLiteral("shifted.zip"));
        const QByteArray kept = m_content.first(1000);
        QFile file(destination);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kept);
        file.close();

        Recorder recorder;
        DownloadSession session(&recorder);
        // The archive's Last-Modified date, as the mirror sends it, so that If-Range matches.
        const QByteArray lastModified = QLocale::c()
                                            .toString(QFileInfo(m_archive).lastModified().toUTC(),
                                                QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
                                            .toLatin1();
        auto task = session.downloadTask(
            fileRequest(m_mirror.url(QStringLiteral("shiftrange/shifted.zip")), destination, { 1000, lastModified }));
        task->resume();
        QVERIFY(recorder.waitForCompletion());
        QCOMPARE(recorder.error->code, UrlError::BadServerResponse);
        QVERIFY(recorder.progress.empty());
        QVERIFY(contentsOf(destination) == kept);
    }

    void ignoresUnusableResumeData_data()
    {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<QByteArray>("validator");
        const QByteArray etag = "\"any\"";
        QTest::newRow("offset past the end of the file") << qint64(m_content.size()) * 4 << etag;
        QTest::newRow("negative offset") << qint64(-5) << etag;
        QTest::newRow("line break in the validator") << qint64(1000) << QByteArray("\"a\"\r\nX-Injected: 1");
        QTest::newRow("oversized validator") << qint64(1000) << QByteArray(4096, 'a');
    }

    void ignoresUnusableResumeData()
    {
        QFETCH(qint64, offset);
        QFETCH(QByteArray, validator);
        const QString destination = m_work.filePath(QStringLiteral("unusable.zip"));
        QFile stale(destination);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray(m_content.size() / 2, 'x'));
        stale.close();

        Recorder recorder;
        DownloadSession session(&recorder);
        auto task = session.downloadTask(fileRequest(
            m_mirror.url(QStringLiteral("ok/unusable.zip")), destination, { std::int64_t(offset), validator }));
        task->resume();
        QVERIFY(recorder.waitForCompletion());
        QVERIFY(!recorder.error);
        QCOMPARE(m_mirror.requests().constLast().split(QLatin1Char('\t')).size(), 2); // no Range
        QVERIFY(contentsOf(destination) == m_content);
        QCOMPARE(task->digests().sha256, hexHash(m_content, QCryptographicHash::Sha256));
    }

    void refusesADestinationThatIsASymbolicLink()
    {
        const QString target = m_work.filePath(QStringLiteral("precious.txt"));
        QFile precious(target);
        QVERIFY(precious.open(QIODevice::WriteOnly));
        precious.write("keep me");
        precious.close();
        const QString link = m_work.filePath(QStringLiteral("link.zip"));
        QVERIFY(QFile::link(target, link));

        Recorder recorder;
        DownloadSession session(&recorder);
        session.downloadTask(fileRequest(m_mirror.url(QStringLiteral("ok/prismora.zip")), link))->resume();
        QVERIFY(recorder.waitForCompletion());
        QCOMPARE(recorder.error->code, UrlError::CannotCreateFile);
        QCOMPARE(contentsOf(target), QByteArray("keep me"));
    }

    void refusesABodyLargerThanTheFreeSpace_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("refusedBeforeTheBody");
        QTest::newRow("announced length") << QStringLiteral("ok/prismora.zip") << true;
        QTest::newRow("no announced length") << QStringLiteral("nolength/prismora.zip") << false;
    }

    void refusesABodyLargerThanTheFreeSpace()
    {
        QFETCH(QString, path);
        QFETCH(bool, refusedBeforeTheBody);
        QTemporaryDir small;
        QVERIFY(small.isValid());
        SmallVolume volume(small.path());
        if (!volume.isMounted())
            QSKIP("needs root to mount a small volume");
        const QString destination = small.filePath(QStringLiteral("prismora.zip"));

        Recorder recorder;
        {
            // No reserve: what is refused is a body the volume cannot hold at all.
            DownloadSession session(&recorder, DownloadSession::Limits { .reserveBytes = 0, .reservePercent = 0 });
            session.downloadTask(fileRequest(m_mirror.url(path), destination))->resume();
            QVERIFY(recorder.waitForCompletion());
        }
        QVERIFY(recorder.error);
        QCOMPARE(recorder.error->code, UrlError::CannotWriteToFile);
        QCOMPARE(recorder.error->fileError, platform::FileError::WriteOutOfSpace);
        QCOMPARE(recorder.progress.empty(), refusedBeforeTheBody);
        QCOMPARE(QFileInfo(destination).size() == 0, refusedBeforeTheBody);
    }

private:
    QTemporaryDir m_temp;
    QTemporaryDir m_work;
    QString m_archive;
    QByteArray m_content;
    LocalMirror m_mirror;
};

QTEST_GUILESS_MAIN(TestDownloadSession)
#include "tst_downloadsession.moc"
