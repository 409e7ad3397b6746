#pragma once

#include "ArchiveSignatureCheck.h"
#include "InstallEvents.h"
#include "InstallTransaction.h"
#include "LaunchStep.h"
#include "WorkFolder.h"
#include "ZipModel.h"

#include <platform/net/DownloadSession.h>
#include <platform/net/UrlSession.h>

#include <QString>
#include <QStringList>
#include <QThreadPool>
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
 * with startDownload() and tries up to four download hosts (HostPlan), one
 * URL session per attempt, writing into the run's private WorkFolder. A
 * transfer cut in the middle continues from the bytes on disk (HTTP Range with
 * If-Range) on the same host before the next host is tried; the bytes are
 * hashed as they arrive, and an archive that fails the configured
 * ArchiveCheck, or that is not a zip archive at all (ZipDirectoryEnd), is
 * discarded like a failed attempt. A host that sends too slowly is left for
 * the next, which continues the same file. When public keys are
 * configured (ArchiveSignatureCheck), each attempt first fetches the host's
 * "prismora.zip.minisig"; a host whose signature is missing or not accepted
 * fails before any archive byte is fetched, and an archive that does not
 * match the accepted signature is discarded like a failed attempt. Progress, success and
 * failure are announced with the InstallerNotification names; the pages read
 * what they need (zip()->currentSize, zip()->failed, ...) from the shared
 * instance.
 *
 * startFromFile() takes an archive already on the machine instead of the
 * hosts: it is copied into the work folder and checked exactly like a
 * download, its signature read from "<archive>.minisig" beside it.
 *
 * After downloaderFinished the page calls install(): an InstallTransaction
 * unpacks, stages, checks and swaps in the new Prismora.app on a background
 * thread; one second after installerFinish, restart() starts it (LaunchStep).
 *
 * The work folder is removed when an install ends either way and when the
 * process quits; after a failed download it is kept, so that Retry resumes
 * the partial archive.
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
    /// After a write failure: the folder whose volume is full.
    QString fullFolder() const;
    /// The typed signals of the install.
    InstallEvents *events();

    /// URL of the host at downloadCount() for the user's language, or "" after the last host.
    QString downloadURLString() const;

    /// Starts one attempt against the host selected by downloadCount().
    void startDownload(DownloadType type);
    /// Takes @p archive (a local file) as the run's download, on the install
    /// thread; ends with downloaderFinished or downloaderFailed.
    void startFromFile(const QString &archive);
    /// Pauses the running transfer, if any.
    void suspend();
    /// Continues a paused transfer, if any.
    void resume();

    /// Unpacks, checks and places the downloaded archive (returns at once).
    void install();
    /// Starts the installed product; scheduled one second after a successful install.
    void restart();
    /// Records the launch failure and posts launchedFailed.
    void notifyLaunchFailed();

    /// The failure reason for a transfer error of the last host.
    static FailedReason failedReason(const platform::net::TransferError &error);
    /// MD5 of the file as 32 lower-case hex digits, read in 1 MiB chunks; empty when unreadable.
    static std::optional<QString> fileMD5(const QString &path);

    /// Cancels the transfer in flight, ends a pending administrator request,
    /// waits for the install thread and removes the work folder; no further
    /// callback is acted on and no other host is tried. Runs by itself when
    /// the application object is destroyed; final for the process.
    void stopTransfers();

    /// Decides from a host's accepted signature, before any archive byte is
    /// fetched, whether the archive is wanted at all (say, whether its
    /// version is already installed); when it answers false the run ends with
    /// InstallEvents::archiveNotNeeded. Called on any thread. Empty: always wanted.
    using ArchiveNeeded = std::function<bool(const ArchiveSignatureCheck::Accepted &)>;
    void setArchiveNeeded(ArchiveNeeded needed);
    /// Whether a successful install starts the product one second later (true by default).
    void setLaunchesAfterInstall(bool launches);
    /// The signature accepted for the current archive; nothing when none is checked.
    std::optional<ArchiveSignatureCheck::Accepted> acceptedSignature() const;

    /// Replaces the time and disk limits of the transfers started from now on (tests).
    void setTransferLimits(const platform::net::DownloadSession::Limits &limits);
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
    /// Fetches the signature of the archive at @p url; the transfer starts once it is accepted.
    void fetchSignature(const QUrl &url, const ArchiveSignatureCheck &check);
    void signatureArrived(
        const QUrl &url, const ArchiveSignatureCheck &check, const platform::net::UrlResponse &response);
    /// Logs the accepted signature's trusted comment and keeps it for the archive's check.
    void keepSignature(const ArchiveSignatureCheck::Accepted &accepted);
    /// Ends the run because no work folder could be made (a write failure in the temporary folder).
    void failWithoutWorkFolder(const QString &error);
    void startTransfer(const QUrl &url);
    /// Why the finished download is not the published archive; nothing when it is.
    std::optional<QString> rejection(const QString &location, const platform::net::DownloadDigests &digests) const;
    /// Ends the current host's attempt: done without @p error, else the next host or the failure.
    /// @p verification: the host's signature or archive was refused.
    void endAttempt(const std::optional<platform::net::TransferError> &error, bool verification = false);
    /// Tells the pages that the current host's attempt failed.
    void announceAttemptFailed(const platform::net::TransferError &error, bool verification);
    /// Copies and checks a local archive (install thread); why it cannot be installed, or nothing.
    std::optional<QString> importArchive(const QString &archive, const WorkFolder &work, FailedReason *reason);
    bool resumeCutTransfer(platform::net::DownloadTask &task, const platform::net::TransferError &error);
    void notifyFailed();
    void installFinished(const InstallTransaction::Result &result);

    std::atomic<std::shared_ptr<const QUrl>> m_url;
    std::atomic<std::shared_ptr<const QUrl>> m_zipDownLoadedUrl;
    std::atomic<std::int64_t> m_downloadCount { 0 };
    std::atomic<DownloadType> m_type { DownloadType::first };
    std::atomic<std::int64_t> m_currentSize { 0 };
    std::atomic<std::shared_ptr<ZipModel>> m_zip;
    std::atomic<std::shared_ptr<platform::net::DownloadSession>> m_session;
    std::atomic<std::shared_ptr<const EventSink>> m_eventSink;
    std::atomic<std::shared_ptr<const ArchiveNeeded>> m_archiveNeeded;
    std::atomic<std::shared_ptr<WorkFolder>> m_work;
    std::atomic<std::shared_ptr<const platform::net::ResumeData>> m_resumeData;
    std::atomic<std::shared_ptr<const QString>> m_fullFolder;
    /// The current host's accepted signature; null when none is checked.
    std::atomic<std::shared_ptr<const ArchiveSignatureCheck::Accepted>> m_signature;
    std::atomic<platform::net::TaskId> m_signatureTask { 0 };
    std::atomic<std::shared_ptr<const platform::net::DownloadSession::Limits>> m_limits;
    std::atomic<int> m_resumes { 0 };
    std::atomic<bool> m_rejected { false };
    std::atomic<bool> m_stopping { false };
    std::atomic<bool> m_launchesAfterInstall { true };
    InstallEvents m_events;
    LaunchStep m_launch;
    QThreadPool m_installThread;
};
