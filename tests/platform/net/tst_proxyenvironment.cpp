#include <platform/net/DownloadSession.h>
#include <platform/net/UrlSession.h>

#include "LocalMirror.h"
#include "LocalProxy.h"

#include <QRandomGenerator>
#include <QTest>

#include <condition_variable>
#include <mutex>
#include <optional>

using namespace platform::net;
using namespace std::chrono_literals;

namespace {

/// Waits for the one completion of a download.
class Completion : public DownloadSessionDelegate {
public:
    void didWriteData(DownloadTask &, std::int64_t, std::int64_t, std::int64_t) override { }
    void didFinishDownloadingTo(DownloadTask &, const QString &) override { }
    void didCompleteWithError(DownloadTask &, const std::optional<TransferError> &failure) override
    {
        std::lock_guard lock(m_mutex);
        m_error = failure;
        m_done = true;
        m_changed.notify_all();
    }
    /// The error, or an empty string after success; "no completion" if none came.
    QString wait()
    {
        std::unique_lock lock(m_mutex);
        if (!m_changed.wait_for(lock, 20s, [this] { return m_done; }))
            return QStringLiteral("no completion");
        return m_error ? m_error->description() : QString();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    std::optional<TransferError> m_error;
};

constexpr const char *proxyVariables[]
    = { "https_proxy", "HTTPS_PROXY", "no_proxy", "NO_PROXY", "all_proxy", "ALL_PROXY" };

} // namespace

/// Downloads and data tasks go through the proxy the environment names.
class ProxyEnvironmentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        const QString archive = m_mirror.root() + QStringLiteral("/../archive.zip");
        QVERIFY(QDir().mkpath(m_mirror.root()));
        QFile file(archive);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes(256 * 1024, Qt::Uninitialized);
        QRandomGenerator(3).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        file.write(bytes);
        file.close();
        m_content = bytes;
        QVERIFY(m_mirror.start(archive));
        qputenv("PRISMORA_CA_FILE", QFile::encodeName(m_mirror.caFile()));
        QVERIFY(m_proxy.start());
    }

    void init()
    {
        for (const char *name : proxyVariables)
            qunsetenv(name);
    }

    void cleanupTestCase() { init(); }

    void followsTheProxyVariables_data()
    {
        QTest::addColumn<bool>("download");
        QTest::addColumn<QByteArray>("proxyVariable");
        QTest::addColumn<QByteArray>("bypassVariable");
        QTest::addColumn<bool>("proxied");
        for (const bool download : { true, false }) {
            const char *kind = download ? "download" : "data task";
            QTest::addRow("%s: https_proxy", kind) << download << QByteArray("https_proxy") << QByteArray() << true;
            QTest::addRow("%s: HTTPS_PROXY", kind) << download << QByteArray("HTTPS_PROXY") << QByteArray() << true;
            QTest::addRow("%s: no_proxy", kind)
                << download << QByteArray("https_proxy") << QByteArray("no_proxy") << false;
            QTest::addRow("%s: NO_PROXY", kind)
                << download << QByteArray("https_proxy") << QByteArray("NO_PROXY") << false;
        }
    }

    void followsTheProxyVariables()
    {
        QFETCH(bool, download);
        QFETCH(QByteArray, proxyVariable);
        QFETCH(QByteArray, bypassVariable);
        QFETCH(bool, proxied);
        qputenv(proxyVariable.constData(), m_proxy.url().toUtf8());
        if (!bypassVariable.isEmpty())
            qputenv(bypassVariable.constData(), "example.invalid,127.0.0.1");
        const qsizetype before = m_proxy.targets().size();
        const QUrl url(m_mirror.url(QStringLiteral("ok/%1.zip").arg(QTest::currentDataTag()).replace(' ', '_')));

        if (download) {
            Completion completion;
            DownloadSession session(&completion);
            session.downloadTask({ url })->resume();
            QCOMPARE(completion.wait(), QString());
        } else {
            UrlSession session;
            std::optional<UrlResponse> response;
            UrlRequest request;
            request.url = url;
            session.dataTask(request, [&](const UrlResponse &answer) { response = answer; });
            QVERIFY(QTest::qWaitFor([&] { return response.has_value(); }, 20000));
            QCOMPARE(response->error, UrlError::None);
            QCOMPARE(response->statusCode, 200);
        }

        const QStringList targets = m_proxy.targets().mid(before);
        QCOMPARE(
            targets, proxied ? QStringList { QStringLiteral("127.0.0.1:%1").arg(m_mirror.port()) } : QStringList());
    }

    void resumesThroughTheProxy()
    {
        // The proxy's own "200 Connection established" must not pass for the server's answer.
        qputenv("https_proxy", m_proxy.url().toUtf8());
        const QUrl url(m_mirror.url(QStringLiteral("cutonce/proxied.zip")));
        const QString destination = m_mirror.root() + QStringLiteral("/../proxied.zip");
        ResumeData resume;
        {
            Completion cut;
            DownloadSession session(&cut);
            auto task = session.downloadTask({ url, {}, destination });
            task->resume();
            QVERIFY(!cut.wait().isEmpty());
            resume = task->resumeData();
        }
        QVERIFY(resume.isValid());

        Completion completion;
        DownloadSession session(&completion);
        auto task = session.downloadTask({ url, {}, destination, resume });
        task->resume();
        QCOMPARE(completion.wait(), QString());
        QFile file(destination);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == m_content);
        QVERIFY(m_mirror.requests().constLast().endsWith(QStringLiteral("\tbytes=%1-").arg(resume.offset)));
    }

private:
    QByteArray m_content;
    LocalMirror m_mirror;
    LocalProxy m_proxy;
};

QTEST_GUILESS_MAIN(ProxyEnvironmentTest)
#include "tst_proxyenvironment.moc"
