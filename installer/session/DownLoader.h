#pragma once

#include <installer/session/ZipModel.h>

#include <platform/net/DownloadSession.h>

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

/// The installer's notifications, posted on the default centre on the main
/// thread with no object and no user information.
namespace InstallerNotification {
inline const QString downloaderProgress = QStringLiteral("com.kestrum.installer.notification.downloader.progress");
inline const QString downloaderFinished = QStringLiteral("com.kestrum.installer.notification.downloader.finished");
inline const QString downloaderFailed = QStringLiteral("com.kestrum.installer.notification.downloader.failed");
inline const QString installerFinish = QStringLiteral("com.kestrum.installer.notification.installer.finish");
inline const QString installerFailed = QStringLiteral("com.kestrum.installer.notification.installer.failed");
inline const QString launchedFinish = QStringLiteral("com.kestrum.installer.notification.launched.finish");
inline const QString launchedFailed = QStringLiteral("com.kestrum.installer.notification.launched.failed");
} // namespace InstallerNotification

/**
 * Fetches the product archive, installs it and starts the product.
 *
 * There is one downloader per process, DownLoader::shared(). A run begins
 * with startDownload() and tries up to four download hosts, in an order that
 * depends on the user's language, one URL session per attempt. Progress,
 * success and failure are announced with the InstallerNotification names;
 * the pages read what they need (zip()->currentSize, zip()->failed, ...)
 * from the shared instance.
 *
 * After downloaderFinished the page calls install(): the archive is unpacked
 * beside itself into "Fetchwell" on a background thread and every top-level
 * entry is placed into the applications folder; one second after
 * installerFinish, restart() starts the installed Prismora.app.
 *
 * Download hosts are compiled in (buildconfig::downloadHosts, in role order
 * main, japan, german, resource); PRISMORA_DOWNLOAD_HOSTS replaces them with
 * four comma-separated "host[:port][/path]" entries.
 */
class DownLoader final : public platform::net::DownloadSessionDelegate {
public:
    /// Reports a usage event (name, action, label); GA::event by default.
    using EventSink = std::function<void(const QString &name, const QString &action, const QString &label)>;

    static DownLoader &shared();

    /// URL of the attempt in flight (or of the last one).
    std::optional<QUrl> url() const;
    /// Where the finished archive was placed; empty until a download finished.
    std::optional<QUrl> zipDownLoadedUrl() const;
    /// Index of the host for the next attempt: the attempts made in this run.
    std::int64_t downloadCount() const;
    DownloadType type() const;
    /// Highest byte count reported in this run, across hosts.
    std::int64_t currentSize() const;
    /// The record of the current attempt; null before the first attempt.
    std::shared_ptr<ZipModel> zip() const;

    /// URL of the host at downloadCount() for the user's language, or "" after the last host.
    QString downloadURLString() const;
    /// "https://<base>/prismora.zip" for attempt @p index with preferred
    /// @p language and the four @p bases in role order; "" when out of range.
    static QString downloadURLString(const QString &language, std::int64_t index, const QStringList &bases);
    /// The four bases in role order, from PRISMORA_DOWNLOAD_HOSTS or the build.
    static QStringList downloadBases();
    /// The first of the installer's preferred localisations, lower-case ("en" when none).
    static QString preferredLanguage();

    /// Starts one attempt against the host selected by downloadCount().
    void startDownload(DownloadType type);
    /// Pauses the running transfer, if any.
    void suspend();
    /// Continues a paused transfer, if any.
    void resume();

    /// Unpacks and places the downloaded archive (returns at once).
    void install();
    /// Starts the installed product; scheduled one second after a successful install.
    void restart();
    /// Records the launch failure and posts launchedFailed.
    void notifyLaunchFailed();

    /// The failure reason for a transfer error of the last host.
    static FailedReason failedReason(const platform::net::TransferError &error);
    /// MD5 of the file as 32 lower-case hex digits, read in 1 MiB chunks; empty when unreadable.
    static std::optional<QString> fileMD5(const QString &path);

    /// Cancels the transfer in flight and waits for its thread; no further callback
    /// is acted on and no other host is tried. Runs by itself when the
    /// application object is destroyed; final for the process.
    void stopTransfers();

    /// Replaces where usage events go (tests); an empty sink restores GA::event.
    void setEventSink(EventSink sink);

    void didWriteData(platform::net::DownloadTask &task, std::int64_t bytesWritten, std::int64_t totalBytesWritten,
        std::int64_t totalBytesExpected) override;
    void didFinishDownloadingTo(platform::net::DownloadTask &task, const QString &location) override;
    void didCompleteWithError(
        platform::net::DownloadTask &task, const std::optional<platform::net::TransferError> &error) override;

private:
    DownLoader();
    ~DownLoader() override;

    bool isCurrent(const platform::net::DownloadTask &task) const;
    void report(const QString &action, const QString &label);
    void notifyFailed();
    void installFailed(FailedReason reason);
    void installSucceeded();

    std::atomic<std::shared_ptr<const QUrl>> m_url;
    std::atomic<std::shared_ptr<const QUrl>> m_zipDownLoadedUrl;
    std::atomic<std::int64_t> m_downloadCount { 0 };
    std::atomic<DownloadType> m_type { DownloadType::first };
    std::atomic<std::int64_t> m_currentSize { 0 };
    std::atomic<std::shared_ptr<ZipModel>> m_zip;
    std::atomic<std::shared_ptr<platform::net::DownloadSession>> m_session;
    std::atomic<std::shared_ptr<const EventSink>> m_eventSink;
    std::atomic<bool> m_stopping { false };
};
