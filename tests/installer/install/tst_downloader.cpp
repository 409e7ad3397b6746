#include "InstallerHarness.h"
#include "TestHome.h"
#include "fixtures/FileSizeLimit.h"
#include "fixtures/LocalMirror.h"
#include "fixtures/MinisignTool.h"
#include "fixtures/SmallVolume.h"
#include "fixtures/ZipBuilder.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTemporaryDir>

#include <csignal>

using platform::net::TransferError;
using platform::net::UrlError;

namespace {

/// Trusts the minisign public @p keys until the returned guard goes.
auto trustKeys(const QString &keys)
{
    qputenv("PRISMORA_ARCHIVE_PUBLIC_KEYS", keys.toLatin1());
    return qScopeGuard([] { qunsetenv("PRISMORA_ARCHIVE_PUBLIC_KEYS"); });
}

} // namespace

class TestDownLoader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        qputenv("PRISMORA_LOG_DIR", QFile::encodeName(m_home.filePath(QStringLiteral("logs"))));
        m_archive = m_home.filePath(QStringLiteral("prismora.zip"));
        QByteArray noise(2 * 1024 * 1024 + 4320, Qt::Uninitialized);
        QRandomGenerator(42).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        ZipBuilder zip(m_archive);
        QVERIFY(zip.addFile(QStringLiteral("Prismora.app/Contents/Resources/noise.bin"), noise) && zip.close());
        m_content = readAll(m_archive);
        QVERIFY(m_mirror.start(m_archive));
        qputenv("PRISMORA_CA_FILE", QFile::encodeName(m_mirror.caFile()));

        m_trustedKey = m_home.filePath(QStringLiteral("trusted"));
        m_otherKey = m_home.filePath(QStringLiteral("other"));
        m_trustedPublicKey = MinisignTool::makeKey(m_trustedKey);
        m_retiredPublicKey = MinisignTool::makeKey(m_home.filePath(QStringLiteral("retired")));
        QVERIFY(!m_trustedPublicKey.isEmpty() && !m_retiredPublicKey.isEmpty()
            && !MinisignTool::makeKey(m_otherKey).isEmpty());
        writeFile(m_archive + QStringLiteral(".minisig"), signedBy(m_archive, m_content, m_trustedKey));

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        m_refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    }

    void hostOrderFollowsTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("order");
        const QStringList en { "main", "resource", "japan", "german" };
        QTest::newRow("en-GB") << "en-gb" << en;
        QTest::newRow("no language") << "" << en;
        QTest::newRow("ja") << "ja" << QStringList { "japan", "resource", "main", "german" };
        QTest::newRow("de") << "de" << QStringList { "german", "resource", "main", "japan" };
        QTest::newRow("pt-BR") << "pt-br" << QStringList { "resource", "main", "japan", "german" };
        QTest::newRow("zh-Hans") << "zh-hans" << QStringList { "resource", "main", "japan", "german" };
    }

    void hostOrderFollowsTheLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, order);
        const QStringList bases { "main", "japan", "german", "resource" };
        for (int attempt = 0; attempt < 4; ++attempt) {
            QCOMPARE(HostPlan::downloadURLString(language, attempt, bases),
                QStringLiteral("https://%1/prismora.zip").arg(order.at(attempt)));
        }
        QCOMPARE(HostPlan::downloadURLString(language, 4, bases), QString());
    }

    void hostsComeFromTheEnvironmentWhenComplete()
    {
        qputenv("PRISMORA_DOWNLOAD_HOSTS", "a.test:8443/mirror/, b.test,c.test,d.test/x");
        QCOMPARE(HostPlan::downloadBases(), (QStringList { "a.test:8443/mirror", "b.test", "c.test", "d.test/x" }));
        qputenv("PRISMORA_DOWNLOAD_HOSTS", "a.test,b.test");
        const QStringList compiled = HostPlan::downloadBases();
        QCOMPARE(compiled.size(), 4);
        QVERIFY(!compiled.contains(QStringLiteral("a.test")));
        qunsetenv("PRISMORA_DOWNLOAD_HOSTS");
        QCOMPARE(HostPlan::downloadBases(),
            (QStringList { "download.prismora.com", "download-jp.prismora.com", "download-de.prismora.com",
                "resource.prismora.com/product" }));
    }

    void errorsAreClassified_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("fileError");
        QTest::addColumn<FailedReason>("reason");
        const int none = int(platform::FileError::None);
        for (int code : { -1005, -1009, -2000, -1018, -1019, -1020, -1001, -1003, -1004, -1006, -1200, -1021 })
            QTest::addRow("%d", code) << code << none << FailedReason::withoutNetwork;
        QTest::newRow("cancelled") << -999 << none << FailedReason::canceld;
        QTest::newRow("bad response") << -1011 << none << FailedReason::server;
        QTest::newRow("untrusted") << -1202 << none << FailedReason::server;
        QTest::newRow("disk full") << -3003 << int(platform::FileError::WriteOutOfSpace) << FailedReason::write;
        QTest::newRow("other write") << -3003 << int(platform::FileError::WriteNoPermission) << FailedReason::server;
    }

    void errorsAreClassified()
    {
        QFETCH(int, code);
        QFETCH(int, fileError);
        QFETCH(FailedReason, reason);
        QCOMPARE(
            DownLoader::failedReason(TransferError { UrlError(code), platform::FileError(fileError), {} }), reason);
    }

    void md5IsStreamedAndLowerCaseHex()
    {
        QCOMPARE(DownLoader::fileMD5(m_archive).value_or(QString()),
            QString::fromLatin1(QCryptographicHash::hash(m_content, QCryptographicHash::Md5).toHex()));
        QFile empty(m_home.filePath(QStringLiteral("empty")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QCOMPARE(DownLoader::fileMD5(empty.fileName()).value_or(QString()),
            QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
        QVERIFY(!DownLoader::fileMD5(m_home.filePath(QStringLiteral("missing"))));
    }

    void downloadsFromTheFirstHost()
    {
        InstallerHarness harness;
        setAttempts({ m_mirror.base(QStringLiteral("ok")), m_refused, m_refused, m_refused });
        const QString expectedUrl = QStringLiteral("https://%1/prismora.zip").arg(m_mirror.base(QStringLiteral("ok")));
        QCOMPARE(DownLoader::shared().downloadURLString(), expectedUrl);

        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFinished) == 1; }));
        QVERIFY(harness.pump([&] { return !DownLoader::shared().zip()->task.load(); }));

        QCOMPARE(harness.count(InstallerNotification::downloaderFailed), 0);
        QVERIFY(harness.count(InstallerNotification::downloaderProgress) >= 1);
        QCOMPARE(harness.shown.last(), std::int64_t(m_content.size()));
        QCOMPARE(harness.events.size(), std::size_t(1));
        QCOMPARE(harness.events[0].name, QStringLiteral("Install_SW"));
        QCOMPARE(harness.events[0].action, QStringLiteral("Start_Download"));
        QCOMPARE(harness.events[0].label, expectedUrl);

        const auto &downloader = DownLoader::shared();
        QCOMPARE(downloader.url()->toString(), expectedUrl);
        QCOMPARE(downloader.zip()->totalSize.load(), std::int64_t(m_content.size()));
        QCOMPARE(downloader.zip()->failed.load(), FailedReason::unknow);
        QCOMPARE(downloader.downloadCount(), 0);
        QCOMPARE(downloader.currentSize(), 0);

        const QString placed = downloader.zipDownLoadedUrl()->toLocalFile();
        QVERIFY(placed.endsWith(QStringLiteral(".zip")));
        // The archive lies in the run's own folder, which nobody else may enter.
        const QFileInfo folder(QFileInfo(placed).absolutePath());
        QCOMPARE(folder.permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(folder.ownerId(), ::geteuid());
        QVERIFY(!folder.isSymLink());
        QFile file(placed);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == m_content);

        const QString md5 = QString::fromLatin1(QCryptographicHash::hash(m_content, QCryptographicHash::Md5).toHex());
        const QString log = InstallerHarness::logText();
        QVERIFY(log.contains(QStringLiteral("DownLoader download url: ") + expectedUrl));
        QVERIFY(log.contains(QStringLiteral("DownLoader download md5: ") + md5));
        QVERIFY(log.contains(QStringLiteral("DownLoader download result error: nil")));
        QVERIFY(log.contains(QStringLiteral("DownLoader signature check off: no public key configured")));
        QVERIFY(m_mirror.requests().last().endsWith(QStringLiteral("\tapplication-x-zip")));
    }

    void aFailedHostFallsBackWithoutLosingShownProgress()
    {
        InstallerHarness harness;
        setAttempts(
            { m_mirror.base(QStringLiteral("reset")), m_mirror.base(QStringLiteral("ok")), m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFinished) == 1; }));

        QCOMPARE(harness.count(InstallerNotification::downloaderFailed), 0);
        QCOMPARE(harness.actions(), (QStringList { "Start_Download", "Start_Download" }));
        QVERIFY(harness.events[1].label.contains(m_mirror.base(QStringLiteral("ok"))));
        QVERIFY(harness.shown.size() >= 2);
        for (int i = 1; i < harness.shown.size(); ++i)
            QVERIFY2(harness.shown[i] >= harness.shown[i - 1], "the shown byte count went back");
        QCOMPARE(harness.shown.last(), std::int64_t(m_content.size()));
    }

    void aCutTransferResumesOnTheSameHost()
    {
        InstallerHarness harness;
        const QString cut = m_mirror.base(QStringLiteral("cutonce/same-host"));
        setAttempts({ cut, m_refused, m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFinished) == 1; }));

        QCOMPARE(harness.actions(), QStringList { QStringLiteral("Start_Download") });
        const QStringList requests = m_mirror.requests().filter(QStringLiteral("/cutonce/same-host/"));
        QCOMPARE(requests.size(), 2);
        QVERIFY2(requests[1].contains(QStringLiteral("\tbytes=")), qPrintable(requests[1]));
        QCOMPARE(readAll(DownLoader::shared().zipDownLoadedUrl()->toLocalFile()), m_content);
        for (int i = 1; i < harness.shown.size(); ++i)
            QVERIFY2(harness.shown[i] >= harness.shown[i - 1], "the shown byte count went back");
        QVERIFY(InstallerHarness::logText().contains(QStringLiteral("DownLoader download resume at ")));
    }

    void retryResumesThePartialArchive()
    {
        InstallerHarness harness;
        const QString reset = m_mirror.base(QStringLiteral("reset"));
        setAttempts({ reset, reset, reset, reset });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFailed) == 1; }));
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::withoutNetwork);

        const qsizetype before = m_mirror.requests().size();
        setAttempts({ m_mirror.base(QStringLiteral("ok")), m_refused, m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::retry);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFinished) == 1; }));
        const QStringList retried = m_mirror.requests().mid(before);
        QCOMPARE(retried.size(), 1);
        // The bytes kept from the cut run are asked for no more.
        QVERIFY2(retried[0].contains(QStringLiteral("\tbytes=")) && !retried[0].endsWith(QStringLiteral("bytes=0-")),
            qPrintable(retried[0]));
        QCOMPARE(readAll(DownLoader::shared().zipDownLoadedUrl()->toLocalFile()), m_content);
    }

    void anArchiveFailingItsCheckIsDiscarded_data()
    {
        QTest::addColumn<QByteArray>("size");
        QTest::addColumn<QByteArray>("sha256");
        QTest::addColumn<bool>("secondHostHasIt");
        const QByteArray right = QCryptographicHash::hash(m_content, QCryptographicHash::Sha256).toHex();
        const QByteArray length = QByteArray::number(m_content.size());
        QTest::newRow("first host serves another file") << length << right << true;
        QTest::newRow("no host has the published digest") << QByteArray() << QByteArray(64, 'a') << false;
        QTest::newRow("no host has the published size") << QByteArray::number(m_content.size() + 1) << right << false;
        QTest::newRow("a mistyped digest passes nothing") << QByteArray() << QByteArray("12ab") << false;
    }

    void anArchiveFailingItsCheckIsDiscarded()
    {
        QFETCH(QByteArray, size);
        QFETCH(QByteArray, sha256);
        QFETCH(bool, secondHostHasIt);
        QFile other(m_mirror.root() + QStringLiteral("/other.zip"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write(m_content.left(m_content.size() - 1) + 'x');
        other.close();
        qputenv("PRISMORA_ARCHIVE_SIZE", size);
        qputenv("PRISMORA_ARCHIVE_SHA256", sha256);
        const auto restore = qScopeGuard([] {
            qunsetenv("PRISMORA_ARCHIVE_SIZE");
            qunsetenv("PRISMORA_ARCHIVE_SHA256");
        });

        InstallerHarness harness;
        const QString ok = m_mirror.base(QStringLiteral("ok"));
        setAttempts({ m_mirror.base(QStringLiteral("files/other.zip")), ok, ok, ok });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] {
            return harness.count(InstallerNotification::downloaderFinished)
                + harness.count(InstallerNotification::downloaderFailed)
                == 1;
        }));
        QVERIFY(InstallerHarness::logText().contains(QStringLiteral("DownLoader download rejected: ")));
        if (secondHostHasIt) {
            QCOMPARE(harness.count(InstallerNotification::downloaderFinished), 1);
            QCOMPARE(readAll(DownLoader::shared().zipDownLoadedUrl()->toLocalFile()), m_content);
        } else {
            QCOMPARE(harness.count(InstallerNotification::downloaderFailed), 1);
            QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::server);
            QCOMPARE(harness.actions().count(QStringLiteral("Start_Download")), 4);
        }
    }

    void onlyASignatureByATrustedKeyInstalls_data()
    {
        QTest::addColumn<bool>("published");
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QByteArray>("served");
        QTest::addColumn<bool>("signatureAccepted");

        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("prismora.zip"));
        const QByteArray good = signedBy(archive, m_content, m_trustedKey);
        QByteArray changed = m_content;
        changed[1000] = char(changed[1000] ^ 1);
        QByteArray edited = good;
        edited.replace("timestamp:", "timestamp:1");
        const QByteArray junk = "untrusted comment: x\n" + QByteArray(5 * 1024, 'A') + '\n';

        QTest::newRow("good") << true << good << m_content << true;
        QTest::newRow("another key") << true << signedBy(archive, m_content, m_otherKey) << m_content << false;
        QTest::newRow("one archive byte changed") << true << good << changed << true;
        QTest::newRow("trusted comment edited") << true << edited << m_content << false;
        QTest::newRow("another file") << true
                                      << signedBy(dir.filePath(QStringLiteral("setup.zip")), m_content, m_trustedKey)
                                      << m_content << false;
        QTest::newRow("legacy Ed") << true << signedBy(archive, m_content, m_trustedKey, { QStringLiteral("-l") })
                                   << m_content << false;
        QTest::newRow("garbage") << true << QByteArray("untrusted comment: a\nnot base64!\ntrusted comment: b\n==\n")
                                 << m_content << false;
        QTest::newRow("empty") << true << QByteArray() << m_content << false;
        QTest::newRow("5 KiB of junk") << true << junk << m_content << false;
        QTest::newRow("missing") << false << QByteArray() << m_content << false;
    }

    void onlyASignatureByATrustedKeyInstalls()
    {
        QFETCH(bool, published);
        QFETCH(QByteArray, signature);
        QFETCH(QByteArray, served);
        QFETCH(bool, signatureAccepted);
        const QString name = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'))
            + QStringLiteral(".zip");
        const QString path = m_mirror.root() + QLatin1Char('/') + name;
        writeFile(path, served);
        QFile::remove(path + QStringLiteral(".minisig"));
        if (published)
            writeFile(path + QStringLiteral(".minisig"), signature);
        // Two keys while the maker rotates them; the other key is not among them.
        const auto restore = trustKeys(m_retiredPublicKey + QStringLiteral(", ") + m_trustedPublicKey);

        // The second host publishes the archive with a good signature.
        InstallerHarness harness;
        setAttempts({ m_mirror.base(QStringLiteral("files/") + name), m_mirror.base(QStringLiteral("ok")), m_refused,
            m_refused });
        const qsizetype requestsBefore = m_mirror.requests().size();
        const qsizetype logBefore = InstallerHarness::logText().size();
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return runEnded(harness); }));

        const QStringList archiveRequests
            = m_mirror.requests()
                  .mid(requestsBefore)
                  .filter(QRegularExpression(
                      QStringLiteral("^/files/%1/prismora\\.zip\t").arg(QRegularExpression::escape(name))));
        const QString log = InstallerHarness::logText().mid(logBefore);
        const bool fromFirst = served == m_content && signatureAccepted;
        QCOMPARE(harness.actions().size(), fromFirst ? 1 : 2);
        // A refused signature ends the host before any archive byte is asked for.
        QCOMPARE(archiveRequests.size(), signatureAccepted ? 1 : 0);
        QCOMPARE(log.contains(QStringLiteral("DownLoader signature rejected: ")), !signatureAccepted);
        QCOMPARE(log.contains(QStringLiteral("DownLoader download rejected: ")), signatureAccepted && !fromFirst);
        QVERIFY(log.contains(QStringLiteral("DownLoader signature trusted comment: timestamp:")));
        QCOMPARE(readAll(DownLoader::shared().zipDownLoadedUrl()->toLocalFile()), m_content);
    }

    void aSignedArchiveCutMidwayResumesAndVerifies()
    {
        const auto restore = trustKeys(m_trustedPublicKey);
        InstallerHarness harness;
        setAttempts({ m_mirror.base(QStringLiteral("cutonce/signed")), m_refused, m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return runEnded(harness); }));
        const QStringList requests = m_mirror.requests().filter(QStringLiteral("/cutonce/signed/"));
        QCOMPARE(requests.filter(QStringLiteral(".minisig")).size(), 1);
        QCOMPARE(requests.filter(QStringLiteral("\tbytes=")).size(), 1);
        QCOMPARE(readAll(DownLoader::shared().zipDownLoadedUrl()->toLocalFile()), m_content);
    }

    void aMistypedKeyPassesNothing()
    {
        const auto restore = trustKeys(m_trustedPublicKey + QStringLiteral(",RWQnotakey"));
        InstallerHarness harness;
        const QString ok = m_mirror.base(QStringLiteral("ok"));
        setAttempts({ ok, ok, ok, ok });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFailed) == 1; }));
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::server);
        QVERIFY(InstallerHarness::logText().contains(QStringLiteral("\"RWQnotakey\" is not a minisign public key")));
    }

    void aBadHostIsLeftForTheNext_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<bool>("continued");
        QTest::newRow("web page with 200") << "html"
                                           << "not a zip archive" << false;
        QTest::newRow("gzip body") << "gzip"
                                   << "not a zip archive" << false;
        QTest::newRow("short body, clean close") << "truncate"
                                                 << "DownLoader download resume at " << true;
        QTest::newRow("one byte every 200 ms") << "trickle"
                                               << "bytes a second" << true;
        QTest::newRow("endless body") << "endless"
                                      << "kept free" << false;
        QTest::newRow("longer than the published size") << "endless"
                                                        << "longer than" << false;
    }

    void aBadHostIsLeftForTheNext()
    {
        QFETCH(QString, mode);
        QFETCH(QString, logged);
        QFETCH(bool, continued);
        // Short windows; an endless body runs into the reserve of a 32 MiB work volume.
        platform::net::DownloadSession::Limits limits;
        limits.lowSpeedTime = std::chrono::seconds(2);
        limits.reserveBytes = 0;
        limits.reservePercent = 0;
        const bool published = logged == QLatin1String("longer than");
        std::optional<SmallVolume> volume;
        const QByteArray cache = qgetenv("XDG_CACHE_HOME");
        if (mode == QLatin1String("endless") && !published) {
            volume.emplace(m_home.filePath(QStringLiteral("endless-cache")), "32m");
            if (!volume->isMounted())
                QSKIP("needs root to mount a small volume");
            qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("endless-cache"))));
            limits.reserveBytes = 8 * 1024 * 1024;
        }
        DownLoader::shared().setTransferLimits(limits);
        if (published)
            qputenv("PRISMORA_ARCHIVE_SIZE", QByteArray::number(m_content.size()));
        const auto restore = qScopeGuard([&cache] {
            DownLoader::shared().setTransferLimits({});
            qunsetenv("PRISMORA_ARCHIVE_SIZE");
            qputenv("XDG_CACHE_HOME", cache);
        });

        InstallerHarness harness;
        setAttempts({ m_mirror.base(mode), m_mirror.base(QStringLiteral("ok")), m_refused, m_refused });
        const qsizetype requestsBefore = m_mirror.requests().size();
        const qsizetype logBefore = InstallerHarness::logText().size();
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY2(
            harness.pump([&] { return runEnded(harness); }), qPrintable(InstallerHarness::logText().mid(logBefore)));

        QCOMPARE(harness.actions().size(), 2);
        QVERIFY(InstallerHarness::logText().mid(logBefore).contains(logged));
        QCOMPARE(readAll(DownLoader::shared().zipDownLoadedUrl()->toLocalFile()), m_content);
        // The bytes of a cut or slow host are kept: the next host sends only the rest.
        const QStringList next = m_mirror.requests().mid(requestsBefore).filter(QStringLiteral("/ok/"));
        QCOMPARE(next.size(), 1);
        QCOMPARE(next[0].contains(QStringLiteral("\tbytes=")), continued);
    }

    void everyHostFailing_data()
    {
        QTest::addColumn<DownloadType>("type");
        QTest::addColumn<QString>("action");
        QTest::newRow("first") << DownloadType::first << QStringLiteral("Start_Download");
        QTest::newRow("retry") << DownloadType::retry << QStringLiteral("Download_Try_Again");
    }

    void everyHostFailing()
    {
        QFETCH(DownloadType, type);
        QFETCH(QString, action);
        InstallerHarness harness;
        setAttempts({ m_mirror.base(QStringLiteral("status/503")), m_refused, m_mirror.base(QStringLiteral("truncate")),
            m_mirror.base(QStringLiteral("status/404")) });
        DownLoader::shared().startDownload(type);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFailed) == 1; }));
        harness.scheduler.runPending();

        QCOMPARE(harness.actions(), (QStringList { action, action, action, action, "Download_Failed" }));
        QCOMPARE(harness.events.back().label, platform::net::urlErrorDescription(UrlError::BadServerResponse));
        QCOMPARE(harness.count(InstallerNotification::downloaderFailed), 1);
        QCOMPARE(harness.count(InstallerNotification::downloaderFinished), 0);
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::server);
        QVERIFY(!DownLoader::shared().zip()->task.load());
        QCOMPARE(DownLoader::shared().downloadCount(), 0);
        QCOMPARE(DownLoader::shared().currentSize(), 0);
        QCOMPARE(DownLoader::shared().type(), type);
        QVERIFY(InstallerHarness::logText().contains(QStringLiteral("DownLoader download failed server")));
        for (int i = 1; i < harness.shown.size(); ++i)
            QVERIFY(harness.shown[i] >= harness.shown[i - 1]);
    }

    void theLastHostDecidesTheReason_data()
    {
        QTest::addColumn<QString>("last");
        QTest::addColumn<FailedReason>("reason");
        QTest::newRow("connection reset") << "reset" << FailedReason::withoutNetwork;
        QTest::newRow("unknown host") << "mirror.prismora.invalid" << FailedReason::withoutNetwork;
        QTest::newRow("not found") << "status/404" << FailedReason::server;
    }

    void theLastHostDecidesTheReason()
    {
        QFETCH(QString, last);
        QFETCH(FailedReason, reason);
        InstallerHarness harness;
        const QString fault = last.contains(QLatin1Char('.')) ? last : m_mirror.base(last);
        setAttempts({ m_refused, m_refused, m_refused, fault });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFailed) == 1; }));
        QCOMPARE(DownLoader::shared().zip()->failed.load(), reason);
    }

    void aNewRunStartsAgainAtTheFirstHost()
    {
        InstallerHarness harness;
        setAttempts({ m_refused, m_refused, m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFailed) == 1; }));

        setAttempts({ m_mirror.base(QStringLiteral("ok")), m_refused, m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::retry);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFinished) == 1; }));
        QCOMPARE(harness.events.back().action, QStringLiteral("Download_Try_Again"));
        QVERIFY(harness.events.back().label.contains(m_mirror.base(QStringLiteral("ok"))));
    }

    void aBodyWithoutLengthLeavesTheTotalUnknown()
    {
        InstallerHarness harness;
        setAttempts({ m_mirror.base(QStringLiteral("nolength")), m_refused, m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFinished) == 1; }));
        QCOMPARE(DownLoader::shared().zip()->totalSize.load(), std::int64_t(-1));
    }

    void suspendAndResumeReachTheTransfer()
    {
        InstallerHarness harness;
        setAttempts({ m_mirror.base(QStringLiteral("slow")), m_refused, m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderProgress) >= 1; }));
        const auto task = DownLoader::shared().zip()->task.load();
        DownLoader::shared().suspend();
        QCOMPARE(task->state(), platform::net::DownloadTask::State::Suspended);
        DownLoader::shared().suspend(); // already suspended: nothing happens
        DownLoader::shared().resume();
        QCOMPARE(task->state(), platform::net::DownloadTask::State::Running);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFinished) == 1; }));
        QCOMPARE(harness.count(InstallerNotification::downloaderFailed), 0);
    }

    void anUnusableUrlChangesNothing()
    {
        InstallerHarness harness;
        const auto before = DownLoader::shared().zip();
        setAttempts({ QStringLiteral("bad host name"), m_refused, m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::first);
        harness.scheduler.runPending();
        QCOMPARE(DownLoader::shared().zip(), before);
        QVERIFY(harness.events.empty());
        QVERIFY(harness.posted.isEmpty());
        QVERIFY(InstallerHarness::logText().contains(
            QStringLiteral("DownLoader download url failed: https://bad host name/prismora.zip")));
    }

    void aFullDiskIsReportedAsWrite()
    {
        InstallerHarness harness;
        setAttempts({ m_mirror.base(QStringLiteral("ok")), m_mirror.base(QStringLiteral("ok")),
            m_mirror.base(QStringLiteral("ok")), m_mirror.base(QStringLiteral("ok")) });
        FileSizeLimit limit(512 * 1024);
        QVERIFY(limit.isActive());
        DownLoader::shared().startDownload(DownloadType::first);
        const bool failed = harness.pump([&] { return harness.count(InstallerNotification::downloaderFailed) == 1; });
        limit.restore();
        QVERIFY(failed);
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::write);
        QVERIFY(InstallerHarness::logText().contains(QStringLiteral("DownLoader download failed write")));
    }

    void aFullWorkFolderIsNamed()
    {
        const QString small = m_home.filePath(QStringLiteral("small-cache"));
        SmallVolume volume(small);
        if (!volume.isMounted())
            QSKIP("needs root to mount a small volume");
        const QByteArray cache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(small));
        const auto restore = qScopeGuard([&] { qputenv("XDG_CACHE_HOME", cache); });

        InstallerHarness harness;
        const QString ok = m_mirror.base(QStringLiteral("ok"));
        setAttempts({ ok, ok, ok, ok });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFailed) == 1; }));
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::write);
        // The page names the folder that is full, not the applications folder.
        QCOMPARE(DownLoader::shared().fullFolder(), small + QStringLiteral("/Prismora_Installer"));
    }

    void stoppingEndsTheRunQuietly()
    {
        // Runs last: stopping is final for the process, as it is at application exit.
        InstallerHarness harness;
        setAttempts(
            { m_mirror.base(QStringLiteral("slow")), m_mirror.base(QStringLiteral("ok")), m_refused, m_refused });
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderProgress) >= 1; }));
        const auto task = DownLoader::shared().zip()->task.load();

        DownLoader::shared().stopTransfers();
        QCOMPARE(task->state(), platform::net::DownloadTask::State::Completed);
        // The thread has been joined, so every callback has run; what they posted runs now.
        const QStringList posted = harness.posted;
        harness.scheduler.runPending();
        // The cancelled transfer must not send the run on to the next host.
        QVERIFY(!harness.posted.mid(posted.size()).contains(InstallerNotification::downloaderFailed));
        QCOMPARE(harness.actions(), QStringList { QStringLiteral("Start_Download") });
        QCOMPARE(harness.count(InstallerNotification::downloaderFailed), 0);
    }

private:
    /// The signature of @p content written as @p path, by the key pair @p key.
    static QByteArray signedBy(
        const QString &path, const QByteArray &content, const QString &key, const QStringList &options = {})
    {
        writeFile(path, content);
        if (!MinisignTool::sign(key, path, path + QStringLiteral(".sig"), options))
            qFatal("minisign cannot sign");
        return readAll(path + QStringLiteral(".sig"));
    }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write a test file");
    }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    /// The download finished and its last callback ran, so the next run starts at the first host.
    static bool runEnded(const InstallerHarness &harness)
    {
        return harness.count(InstallerNotification::downloaderFinished) == 1
            && !DownLoader::shared().zip()->task.load();
    }

    void setAttempts(const QStringList &attempts)
    {
        qputenv("PRISMORA_DOWNLOAD_HOSTS", InstallerHarness::hostsForAttempts(attempts).toUtf8());
    }

    TestHome m_home;
    QTemporaryDir m_temp;
    QString m_archive;
    QByteArray m_content;
    QString m_refused;
    QString m_trustedPublicKey;
    QString m_retiredPublicKey;
    QString m_trustedKey;
    QString m_otherKey;
    LocalMirror m_mirror;
};

QTEST_GUILESS_MAIN(TestDownLoader)
#include "tst_downloader.moc"
