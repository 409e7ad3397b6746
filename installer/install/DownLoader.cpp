#include "DownLoader.h"

#include "TrackingRecord.h"

#include "ArchiveCheck.h"
#include "ArchiveImport.h"
#include "DesktopEntry.h"
#include "HostPlan.h"
#include "Product.h"
#include <installer/analytics/GA.h>

#include <platform/Folders.h>
#include <platform/KSTLogManager.h>
#include <platform/NotificationCenter.h>
#include <platform/PrivilegedRemoval.h>
#include <platform/Scheduler.h>
#include <platform/ZipDirectoryEnd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include <openssl/evp.h>

#include <cerrno>
#include <cstdio>

using platform::net::DownloadTask;
using platform::net::TransferError;
using platform::net::UrlError;

namespace {

constexpr qint64 md5ChunkSize = 1024 * 1024;

void log(const QString &line)
{
    platform::KSTLogManager::writeInfoLog(line);
}

/// A short note on standard output.
void console(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

/// Posts @p name on the default centre from the main thread.
void postOnMain(const QString &name)
{
    platform::Scheduler::shared().post([name] { platform::NotificationCenter::defaultCenter().post(name); });
}

} // namespace

DownLoader::DownLoader()
    : m_launch([this](const QString &action, const QString &label) { report(action, label); })
{
    m_installThread.setMaxThreadCount(1);
    QObject::connect(&m_launch, &LaunchStep::launched, &m_launch, [] {
        console("启动成功");
        platform::NotificationCenter::defaultCenter().post(InstallerNotification::launchedFinish);
    });
    QObject::connect(&m_launch, &LaunchStep::failed, &m_launch, [this] { notifyLaunchFailed(); });
    // The transfer thread must be gone before the process tears down what it uses (log, queues).
    qAddPostRoutine([] { shared().stopTransfers(); });
}

DownLoader::~DownLoader() = default;

void DownLoader::stopTransfers()
{
    m_stopping = true;
    m_session.store(nullptr); // cancels and joins: the last callbacks find m_stopping set
    platform::net::UrlSession::shared().cancel(m_signatureTask.exchange(0));
    platform::PrivilegedRemoval::shared().cancel();
    m_installThread.waitForDone();
    m_work.store(nullptr);
}

DownLoader &DownLoader::shared()
{
    // Created once, thread-safely, and never released: sessions may call back at any time.
    static DownLoader *const instance = new DownLoader;
    return *instance;
}

std::optional<QUrl> DownLoader::url() const
{
    const auto value = m_url.load();
    return value ? std::optional<QUrl>(*value) : std::nullopt;
}

std::optional<QUrl> DownLoader::zipDownLoadedUrl() const
{
    const auto value = m_zipDownLoadedUrl.load();
    return value ? std::optional<QUrl>(*value) : std::nullopt;
}

std::int64_t DownLoader::downloadCount() const
{
    return m_downloadCount;
}

DownloadType DownLoader::type() const
{
    return m_type;
}

std::int64_t DownLoader::currentSize() const
{
    return m_currentSize;
}

std::shared_ptr<ZipModel> DownLoader::zip() const
{
    return m_zip.load();
}

QString DownLoader::fullFolder() const
{
    const auto folder = m_fullFolder.load();
    return folder ? *folder : platform::Folders::applications();
}

InstallEvents *DownLoader::events()
{
    return &m_events;
}

QString DownLoader::downloadURLString() const
{
    return HostPlan::downloadURLString(HostPlan::preferredLanguage(), m_downloadCount, HostPlan::downloadBases());
}

void DownLoader::setTransferLimits(const platform::net::DownloadSession::Limits &limits)
{
    m_limits = std::make_shared<const platform::net::DownloadSession::Limits>(limits);
}

void DownLoader::setArchiveNeeded(ArchiveNeeded needed)
{
    m_archiveNeeded = needed ? std::make_shared<const ArchiveNeeded>(std::move(needed)) : nullptr;
}

void DownLoader::setLaunchesAfterInstall(bool launches)
{
    m_launchesAfterInstall = launches;
}

std::optional<ArchiveSignatureCheck::Accepted> DownLoader::acceptedSignature() const
{
    const auto signature = m_signature.load();
    return signature ? std::optional(*signature) : std::nullopt;
}

void DownLoader::setEventSink(EventSink sink)
{
    m_eventSink = sink ? std::make_shared<const EventSink>(std::move(sink)) : nullptr;
}

void DownLoader::report(const QString &action, const QString &label)
{
    // Analytics lives on the main thread; events keep their order through the main queue.
    const auto sink = m_eventSink.load();
    platform::Scheduler::shared().post([sink, action, label] {
        if (sink)
            (*sink)(GA::installEventName(), action, label);
        else
            GA::installStep(action, label);
    });
}

// --- download ----------------------------------------------------------------

void DownLoader::startDownload(DownloadType type)
{
    const QString text = downloadURLString();
    const QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid() || url.host().isEmpty()) {
        log(QStringLiteral("DownLoader download url failed: ") + text);
        return;
    }
    if (m_downloadCount == 0 && type == DownloadType::first) {
        // A first run starts clean; only Retry continues what the last run left.
        m_work.store(nullptr);
        m_resumeData.store(nullptr);
    }
    if (!m_work.load()) {
        QString error;
        m_work = std::shared_ptr<WorkFolder>(WorkFolder::create(&error));
        if (!m_work.load()) {
            m_type = type;
            failWithoutWorkFolder(error);
            return;
        }
    }
    m_type = type;
    m_resumes = 0;
    if (m_downloadCount == 0)
        m_fullFolder.store(nullptr);
    report(type == DownloadType::first ? QStringLiteral("Start_Download") : QStringLiteral("Download_Try_Again"), text);
    log(QStringLiteral("DownLoader download url: ") + text);

    auto zip = std::make_shared<ZipModel>();
    // A progress notification of the previous host may still be on its way to
    // the page, which then reads this record: it must not show less than before.
    zip->currentSize = m_currentSize.load();
    m_zip = zip;
    m_signature.store(nullptr);
    const auto check = ArchiveSignatureCheck::configured();
    if (check.isEnabled()) {
        fetchSignature(url, check);
        return;
    }
    if (m_downloadCount == 0)
        log(QStringLiteral("DownLoader signature check off: no public key configured"));
    startTransfer(url);
}

void DownLoader::fetchSignature(const QUrl &url, const ArchiveSignatureCheck &check)
{
    platform::net::UrlRequest request;
    request.url = url;
    request.url.setPath(url.path() + QStringLiteral(".minisig"));
    request.maximumSize = ArchiveSignatureCheck::maximumSignatureSize;
    request.followsRedirects = true;
    const auto zip = m_zip.load();
    m_signatureTask = platform::net::UrlSession::shared().dataTask(
        request, [this, zip, url, check](const platform::net::UrlResponse &response) {
            // A later attempt, or the end of the run, has made this answer stale.
            if (!m_stopping && m_zip.load() == zip)
                signatureArrived(url, check, response);
        });
}

void DownLoader::signatureArrived(
    const QUrl &url, const ArchiveSignatureCheck &check, const platform::net::UrlResponse &response)
{
    m_signatureTask = 0;
    std::optional<TransferError> error;
    if (response.error != UrlError::None) {
        error = TransferError { response.error, platform::FileError::None, response.errorText };
    } else if (response.statusCode != 200) {
        error = TransferError { UrlError::BadServerResponse, platform::FileError::None,
            QStringLiteral("HTTP status %1 for the signature").arg(response.statusCode) };
    } else {
        QString why;
        if (const auto accepted = check.accept(response.data, url.fileName(), &why)) {
            keepSignature(*accepted);
            if (const auto needed = m_archiveNeeded.load(); needed && !(*needed)(*accepted)) {
                log(QStringLiteral("DownLoader archive not needed"));
                m_downloadCount = 0;
                platform::Scheduler::shared().post([this, comment = accepted->signature.printableTrustedComment()] {
                    Q_EMIT m_events.archiveNotNeeded(comment);
                });
                return;
            }
            startTransfer(url);
            return;
        }
        error = TransferError { UrlError::BadServerResponse, platform::FileError::None, why };
    }
    log(QStringLiteral("DownLoader signature rejected: ") + error->description());
    endAttempt(error, response.error == UrlError::None && response.statusCode == 200);
}

void DownLoader::keepSignature(const ArchiveSignatureCheck::Accepted &accepted)
{
    log(QStringLiteral("DownLoader signature trusted comment: ") + accepted.signature.printableTrustedComment());
    m_signature = std::make_shared<const ArchiveSignatureCheck::Accepted>(accepted);
}

void DownLoader::failWithoutWorkFolder(const QString &error)
{
    log(QStringLiteral("DownLoader work folder failed: ") + error);
    auto zip = std::make_shared<ZipModel>();
    zip->failed = FailedReason::write;
    m_zip = zip;
    m_fullFolder = std::make_shared<const QString>(QDir::tempPath());
    platform::Scheduler::shared().post([this] { notifyFailed(); });
}

void DownLoader::startTransfer(const QUrl &url)
{
    const auto work = m_work.load();
    const auto resumeData = m_resumeData.load();
    platform::net::DownloadRequest request { url, { { "Accept-Encoding", "application-x-zip" } } };
    request.destination = work->archivePath();
    if (resumeData)
        request.resume = *resumeData;
    request.maximumSize = ArchiveCheck::configured().expectedSize().value_or(-1);
    const auto limits = m_limits.load();
    auto session = std::make_shared<platform::net::DownloadSession>(
        this, limits ? *limits : platform::net::DownloadSession::Limits());
    auto task = session->downloadTask(request);

    // Everything a callback relies on is in place before the transfer starts.
    m_url = std::make_shared<const QUrl>(url);
    m_zip.load()->task = task;
    // The previous attempt's session may be the one calling us; it winds down by itself.
    m_session.exchange(session);
    task->resume();
}

void DownLoader::startFromFile(const QString &archive)
{
    m_type = DownloadType::first;
    m_downloadCount = 0;
    m_resumeData.store(nullptr);
    m_fullFolder.store(nullptr);
    m_signature.store(nullptr);
    auto zip = std::make_shared<ZipModel>();
    m_zip = zip;
    m_url = std::make_shared<const QUrl>(QUrl::fromLocalFile(archive));
    QString error;
    std::shared_ptr<WorkFolder> work(WorkFolder::create(&error));
    m_work = work;
    if (!work) {
        failWithoutWorkFolder(error);
        return;
    }
    // Only the file's name is reported: the rest of a local path is the user's business.
    report(QStringLiteral("Start_Download"), QFileInfo(archive).fileName());
    log(QStringLiteral("DownLoader archive file: ") + archive);
    m_installThread.start([this, archive, work, zip] {
        FailedReason reason = FailedReason::server;
        if (const auto why = importArchive(archive, *work, &reason)) {
            log(QStringLiteral("DownLoader download rejected: ") + *why);
            QFile::remove(work->archivePath());
            report(QStringLiteral("Download_Failed"), *why);
            zip->failed = reason;
            if (reason == FailedReason::write)
                m_fullFolder = std::make_shared<const QString>(QFileInfo(work->path()).absolutePath());
            platform::Scheduler::shared().post([this, reason, why = *why] {
                Q_EMIT m_events.attemptFailed(QString(), reason, reason == FailedReason::server, why);
                notifyFailed();
            });
            return;
        }
        zip->totalSize = zip->currentSize = QFileInfo(work->archivePath()).size();
        m_zipDownLoadedUrl = std::make_shared<const QUrl>(QUrl::fromLocalFile(work->archivePath()));
        platform::Scheduler::shared().post([] {
            console("下载成功");
            platform::NotificationCenter::defaultCenter().post(InstallerNotification::downloaderFinished);
        });
    });
}

std::optional<QString> DownLoader::importArchive(const QString &archive, const WorkFolder &work, FailedReason *reason)
{
    const auto imported
        = ArchiveImport::copy(archive, work.archivePath(), ArchiveCheck::configured().expectedSize().value_or(-1));
    if (imported.error) {
        if (imported.errorNumber == ENOSPC || imported.errorNumber == EDQUOT)
            *reason = FailedReason::write;
        return imported.error;
    }
    const auto check = ArchiveSignatureCheck::configured();
    if (check.isEnabled()) {
        QFile file(archive + QStringLiteral(".minisig"));
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("no signature beside the archive: ") + file.errorString();
        const QByteArray text = file.read(ArchiveSignatureCheck::maximumSignatureSize + 1);
        if (text.size() > ArchiveSignatureCheck::maximumSignatureSize)
            return QStringLiteral("the signature beside the archive is too large");
        QString why;
        const auto accepted = check.accept(text, QLatin1String(HostPlan::archiveFileName), &why);
        if (!accepted)
            return QStringLiteral("signature rejected: ") + why;
        keepSignature(*accepted);
    } else {
        log(QStringLiteral("DownLoader signature check off: no public key configured"));
    }
    return rejection(work.archivePath(), imported.digests);
}

void DownLoader::suspend()
{
    const auto zip = m_zip.load();
    const auto task = zip ? zip->task.load() : nullptr;
    if (task && task->state() == DownloadTask::State::Running)
        task->suspend();
}

void DownLoader::resume()
{
    const auto zip = m_zip.load();
    const auto task = zip ? zip->task.load() : nullptr;
    if (task && task->state() == DownloadTask::State::Suspended)
        task->resume();
}

bool DownLoader::isCurrent(const DownloadTask &task) const
{
    const auto zip = m_zip.load();
    return !m_stopping && zip && zip->task.load().get() == &task;
}

void DownLoader::didWriteData(
    DownloadTask &task, std::int64_t, std::int64_t totalBytesWritten, std::int64_t totalBytesExpected)
{
    if (!isCurrent(task))
        return;
    const auto zip = m_zip.load();
    zip->totalSize = totalBytesExpected;
    // The shown count never goes back when the next host starts again from zero.
    if (m_currentSize < totalBytesWritten) {
        zip->currentSize = totalBytesWritten;
        m_currentSize = totalBytesWritten;
    } else {
        zip->currentSize = m_currentSize.load();
    }
    postOnMain(InstallerNotification::downloaderProgress);
}

void DownLoader::didFinishDownloadingTo(DownloadTask &task, const QString &location)
{
    if (!isCurrent(task))
        return;
    const auto digests = task.digests();
    log(QStringLiteral("DownLoader download md5: ") + (digests.md5.isEmpty() ? QStringLiteral("nil") : digests.md5));
    if (const auto mismatch = rejection(location, digests)) {
        // Not the archive that was published: this host's file is discarded and the next host tried.
        log(QStringLiteral("DownLoader download rejected: ") + *mismatch);
        QFile::remove(location);
        m_resumeData.store(nullptr);
        m_rejected = true;
        return;
    }
    m_zipDownLoadedUrl = std::make_shared<const QUrl>(QUrl::fromLocalFile(location));
    platform::Scheduler::shared().post([] {
        console("下载成功");
        platform::NotificationCenter::defaultCenter().post(InstallerNotification::downloaderFinished);
    });
}

std::optional<QString> DownLoader::rejection(
    const QString &location, const platform::net::DownloadDigests &digests) const
{
    if (auto mismatch = ArchiveCheck::configured().mismatch(QFileInfo(location).size(), digests.sha256))
        return mismatch;
    if (const auto signature = m_signature.load())
        return ArchiveSignatureCheck::mismatch(*signature, digests.blake2b512);
    if (ArchiveSignatureCheck::configured().isEnabled())
        return QStringLiteral("no accepted signature for this download");
    QString notZip;
    if (!platform::ZipDirectoryEnd::readChecked(location, &notZip))
        return QStringLiteral("not a zip archive: ") + notZip;
    return std::nullopt;
}

bool DownLoader::resumeCutTransfer(DownloadTask &task, const TransferError &error)
{
    constexpr int resumesPerHost = 3;
    const auto resumeData = task.resumeData();
    m_resumeData = resumeData.isValid() ? std::make_shared<const platform::net::ResumeData>(resumeData) : nullptr;
    // A host that is only slow is left for the next one, which continues the same bytes.
    const bool cut
        = (error.code == UrlError::NetworkConnectionLost || error.code == UrlError::TimedOut) && !error.tooSlow;
    if (!cut || !resumeData.isValid() || m_resumes >= resumesPerHost)
        return false;
    ++m_resumes;
    log(QStringLiteral("DownLoader download resume at %1: ").arg(resumeData.offset) + error.description());
    startTransfer(task.request().url);
    return true;
}

void DownLoader::didCompleteWithError(DownloadTask &task, const std::optional<TransferError> &reported)
{
    if (!isCurrent(task))
        return;
    std::optional<TransferError> error = reported;
    const bool rejected = !error && m_rejected.exchange(false);
    if (rejected)
        error = TransferError { UrlError::BadServerResponse, platform::FileError::None,
            QStringLiteral("the archive does not match its expected size, SHA-256 or signature") };
    if (error && resumeCutTransfer(task, *error))
        return;
    endAttempt(error, rejected);
}

void DownLoader::announceAttemptFailed(const TransferError &error, bool verification)
{
    const auto url = m_url.load();
    const QString host = url ? url->host() : QString();
    platform::Scheduler::shared().post(
        [this, host, reason = failedReason(error), verification, detail = error.description()] {
            Q_EMIT m_events.attemptFailed(host, reason, verification, detail);
        });
}

void DownLoader::endAttempt(const std::optional<TransferError> &error, bool verification)
{
    log(QStringLiteral("DownLoader download result error: ") + (error ? error->description() : QStringLiteral("nil")));
    if (error)
        announceAttemptFailed(*error, verification);
    ++m_downloadCount;
    const auto zip = m_zip.load();
    if (!error) {
        m_resumeData.store(nullptr);
        m_currentSize = 0;
        m_downloadCount = 0;
        zip->task.store(nullptr);
        return;
    }
    if (!downloadURLString().isEmpty()) {
        zip->task.store(nullptr);
        startDownload(m_type);
        return;
    }

    m_currentSize = 0;
    m_downloadCount = 0;
    report(QStringLiteral("Download_Failed"), error->localizedDescription());
    const FailedReason reason = failedReason(*error);
    if (reason == FailedReason::write) {
        const auto work = m_work.load();
        m_fullFolder
            = std::make_shared<const QString>(work ? QFileInfo(work->path()).absolutePath() : QDir::tempPath());
    }
    log(QStringLiteral("DownLoader download failed ") + failedReasonName(reason));
    zip->failed = reason;
    platform::Scheduler::shared().post([this] { notifyFailed(); });
    zip->task.store(nullptr);
}

FailedReason DownLoader::failedReason(const TransferError &error)
{
    if (error.code == UrlError::CannotWriteToFile && error.fileError == platform::FileError::WriteOutOfSpace)
        return FailedReason::write;
    switch (error.code) {
    case UrlError::NetworkConnectionLost:
    case UrlError::NotConnectedToInternet:
    case UrlError::CannotLoadFromNetwork:
    case UrlError::InternationalRoamingOff:
    case UrlError::CallIsActive:
    case UrlError::DataNotAllowed:
    case UrlError::TimedOut:
    case UrlError::CannotFindHost:
    case UrlError::CannotConnectToHost:
    case UrlError::DNSLookupFailed:
    case UrlError::SecureConnectionFailed:
    case UrlError::RequestBodyStreamExhausted:
        return FailedReason::withoutNetwork;
    case UrlError::Cancelled:
        return FailedReason::canceld;
    default:
        return FailedReason::server;
    }
}

void DownLoader::notifyFailed()
{
    log(QStringLiteral("DownLoader download failed notifyFailed"));
    console("下载失败");
    platform::NotificationCenter::defaultCenter().post(InstallerNotification::downloaderFailed);
}

std::optional<QString> DownLoader::fileMD5(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::printf("Cannot open file: %s\n", qPrintable(file.errorString()));
        std::fflush(stdout);
        return std::nullopt;
    }
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, EVP_md5(), nullptr);
    // One buffer for the whole pass: memory stays at one chunk whatever the file size.
    QByteArray chunk(md5ChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(chunk.data(), md5ChunkSize);
        if (read <= 0)
            break;
        EVP_DigestUpdate(context, chunk.constData(), size_t(read));
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest, &length);
    EVP_MD_CTX_free(context);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}

// --- install and launch --------------------------------------------------------

void DownLoader::install()
{
    log(QStringLiteral("DownLoader install"));
    const auto archiveUrl = zipDownLoadedUrl();
    auto work = m_work.load();
    if (!archiveUrl || !work)
        return;
    const QString archive = archiveUrl->toLocalFile();
    const QString applications = platform::Folders::applications();

    m_installThread.start([this, archive, work = std::move(work), applications]() mutable {
        InstallTransaction transaction(
            archive, work->unpackPath(), applications, { .phaseReached = {}, .removeArchiveWhenUnpacked = true });
        InstallTransaction::Result result = transaction.run();
        // A full work folder is named by the folder that holds the runs, which outlives this one.
        if (result.reason == FailedReason::write && result.step == InstallTransaction::Step::Unpack)
            result.fullFolder = QFileInfo(work->path()).absolutePath();
        for (const QString &entry : result.ignoredEntries)
            log(QStringLiteral("DownLoader install ignored entry: ") + entry);
        if (result.unnamedIgnoredEntries > 0)
            log(QStringLiteral("DownLoader install ignored %1 more entries").arg(result.unnamedIgnoredEntries));
        switch (result.outcome) {
        case InstallTransaction::Outcome::Installed:
            writeTrackingRecord();
            if (const auto error = DesktopEntry::write(applications + QLatin1Char('/') + Product::bundleName()))
                log(QStringLiteral("DownLoader install ") + *error);
            log(QStringLiteral("DownLoader install install success"));
            break;
        case InstallTransaction::Outcome::Failed:
            report(QStringLiteral("Install_Failed"), result.localizedDescription);
            // Both lines are spelled as the log reader expects.
            log(result.step == InstallTransaction::Step::Unpack
                    ? QStringLiteral("DownLoader install unzipFile failed:") + result.localizedDescription
                    : QStringLiteral("DownLoader install ziped or moved faield:") + result.description);
            break;
        case InstallTransaction::Outcome::Blocked:
            log(QStringLiteral("DownLoader install blocked: ") + result.description);
            break;
        }
        {
            auto expected = work;
            m_work.compare_exchange_strong(expected, nullptr);
        }
        m_zipDownLoadedUrl.store(nullptr);
        platform::Scheduler::shared().post([this, result] { installFinished(result); });
        // The run's files are of no further use whatever the outcome. They go
        // after the outcome is told (freeing a large archive's cached pages
        // takes a while), with the last reference to the folder, here and
        // not on the main thread; quitting waits for this thread.
        work.reset();
    });
}

void DownLoader::installFinished(const InstallTransaction::Result &result)
{
    switch (result.outcome) {
    case InstallTransaction::Outcome::Installed:
        log(QStringLiteral("DownLoader install install success"));
        console("安装成功");
        platform::NotificationCenter::defaultCenter().post(InstallerNotification::installerFinish);
        Q_EMIT m_events.installEnded(result);
        if (m_launchesAfterInstall)
            platform::Scheduler::shared().after(std::chrono::seconds(1), [this] { restart(); });
        return;
    case InstallTransaction::Outcome::Failed:
        if (const auto zip = m_zip.load())
            zip->failed = result.reason;
        if (result.reason == FailedReason::write)
            m_fullFolder = std::make_shared<const QString>(result.fullFolder);
        console("安装失败");
        platform::NotificationCenter::defaultCenter().post(InstallerNotification::installerFailed);
        Q_EMIT m_events.installEnded(result);
        return;
    case InstallTransaction::Outcome::Blocked:
        Q_EMIT m_events.replaceBlocked();
        Q_EMIT m_events.installEnded(result);
        return;
    }
}

void DownLoader::restart()
{
    m_launch.start();
}

void DownLoader::notifyLaunchFailed()
{
    console("启动失败");
    if (const auto zip = m_zip.load())
        zip->failed = FailedReason::launch;
    platform::NotificationCenter::defaultCenter().post(InstallerNotification::launchedFailed);
}
