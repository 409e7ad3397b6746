#include "DownLoader.h"

#include "Launcher.h"
#include "PackageInstaller.h"
#include "Product.h"
#include "TrackingRecord.h"

#include <installer/BuildConfig.h>
#include <installer/analytics/GA.h>
#include <installer/interface/LocalizedString.h>

#include <platform/Bundle.h>
#include <platform/Folders.h>
#include <platform/KSTLogManager.h>
#include <platform/NotificationCenter.h>
#include <platform/Scheduler.h>
#include <platform/Workspace.h>
#include <platform/ZipArchive.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include <openssl/evp.h>

#include <array>
#include <cstdio>
#include <unistd.h>

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

/// The user-visible text for @p key.
QString localized(const QString &key)
{
    return localizedString(key);
}

/// Attempt order per language, as indices into the bases in role order (main, japan, german, resource).
std::array<int, 4> hostOrder(const QString &language)
{
    if (language.startsWith(QLatin1String("en")))
        return { 0, 3, 1, 2 };
    if (language.startsWith(QLatin1String("ja")))
        return { 1, 3, 0, 2 };
    if (language.startsWith(QLatin1String("de")))
        return { 2, 3, 0, 1 };
    return { 3, 0, 1, 2 };
}

} // namespace

QString failedReasonName(FailedReason reason)
{
    switch (reason) {
    case FailedReason::unknow:
        return QStringLiteral("unknow");
    case FailedReason::withoutNetwork:
        return QStringLiteral("withoutNetwork");
    case FailedReason::canceld:
        return QStringLiteral("canceld");
    case FailedReason::write:
        return QStringLiteral("write");
    case FailedReason::server:
        return QStringLiteral("server");
    case FailedReason::install:
        return QStringLiteral("install");
    case FailedReason::launch:
        return QStringLiteral("launch");
    }
    return QStringLiteral("unknow");
}

DownLoader::DownLoader()
{
    // The transfer thread must be gone before the process tears down what it uses (log, queues).
    qAddPostRoutine([] { shared().stopTransfers(); });
}

DownLoader::~DownLoader() = default;

void DownLoader::stopTransfers()
{
    m_stopping = true;
    m_session.store(nullptr); // cancels and joins: the last callbacks find m_stopping set
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

QString DownLoader::preferredLanguage()
{
    const QStringList localizations = platform::Bundle::main().preferredLocalizations();
    return localizations.isEmpty() ? QStringLiteral("en") : localizations.first().toLower();
}

QStringList DownLoader::downloadBases()
{
    const auto parse = [](const QString &text) {
        QStringList bases;
        for (QString base : text.split(QLatin1Char(','))) {
            base = base.trimmed();
            while (base.endsWith(QLatin1Char('/')))
                base.chop(1);
            bases << base;
        }
        return bases;
    };
    const QStringList configured = parse(qEnvironmentVariable("PRISMORA_DOWNLOAD_HOSTS"));
    if (configured.size() == 4 && !configured.contains(QString()))
        return configured;
    return parse(QString::fromUtf8(buildconfig::downloadHosts));
}

QString DownLoader::downloadURLString(const QString &language, std::int64_t index, const QStringList &bases)
{
    if (index < 0 || index >= 4 || bases.size() < 4)
        return QString();
    const QString lower = language.isEmpty() ? QStringLiteral("en") : language.toLower();
    return QStringLiteral("https://") + bases.at(hostOrder(lower)[std::size_t(index)])
        + QStringLiteral("/prismora.zip");
}

QString DownLoader::downloadURLString() const
{
    return downloadURLString(preferredLanguage(), m_downloadCount, downloadBases());
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
    m_type = type;
    report(type == DownloadType::first ? QStringLiteral("Start_Download") : QStringLiteral("Download_Try_Again"), text);
    log(QStringLiteral("DownLoader download url: ") + text);

    const platform::net::DownloadRequest request { url, { { "Accept-Encoding", "application-x-zip" } } };
    auto session = std::make_shared<platform::net::DownloadSession>(this);
    auto task = session->downloadTask(request);

    // Everything a callback relies on is in place before the transfer starts.
    m_url = std::make_shared<const QUrl>(url);
    auto zip = std::make_shared<ZipModel>();
    zip->task = task;
    // A progress notification of the previous host may still be on its way to
    // the page, which then reads this record: it must not show less than before.
    zip->currentSize = m_currentSize.load();
    m_zip = zip;
    // The previous attempt's session may be the one calling us; it winds down by itself.
    m_session.exchange(session);
    task->resume();
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
    const QFileInfo temporary(location);
    QString destination = temporary.absolutePath() + QLatin1Char('/') + temporary.completeBaseName();
    const QString extension = QFileInfo(url().value_or(QUrl()).path()).suffix();
    if (!extension.isEmpty())
        destination += QLatin1Char('.') + extension;

    // A second name for the same bytes costs nothing; copy only where links are not possible.
    QFile::remove(destination);
    if (::link(QFile::encodeName(location).constData(), QFile::encodeName(destination).constData()) != 0)
        QFile::copy(location, destination);

    const auto digest = fileMD5(destination);
    log(QStringLiteral("DownLoader download md5: ") + digest.value_or(QStringLiteral("nil")));
    m_zipDownLoadedUrl = std::make_shared<const QUrl>(QUrl::fromLocalFile(destination));
    platform::Scheduler::shared().post([] {
        console("下载成功");
        platform::NotificationCenter::defaultCenter().post(InstallerNotification::downloaderFinished);
    });
}

void DownLoader::didCompleteWithError(DownloadTask &task, const std::optional<TransferError> &error)
{
    if (!isCurrent(task))
        return;
    log(QStringLiteral("DownLoader download result error: ") + (error ? error->description() : QStringLiteral("nil")));
    ++m_downloadCount;
    const auto zip = m_zip.load();
    if (!error) {
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
    log(QStringLiteral("DownLoader download failed ") + failedReasonName(reason));
    zip->failed = reason;
    platform::Scheduler::shared().post([this] { notifyFailed(); });
    zip->task.store(nullptr);
}

FailedReason DownLoader::failedReason(const TransferError &error)
{
    if (error.code == UrlError::CannotWriteToFile && error.fileError == platform::FileError::WriteOutOfSpace)
        return FailedReason::write;
    switch (error.errorCode()) {
    case -1005:
    case -1009:
    case -2000:
    case -1018:
    case -1019:
    case -1020:
    case -1001:
    case -1003:
    case -1004:
    case -1006:
    case -1200:
    case -1021:
        return FailedReason::withoutNetwork;
    case -999:
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
    if (!archiveUrl)
        return;
    const QString archive = archiveUrl->toLocalFile();
    const QString applications = platform::Folders::applications();

    QThreadPool::globalInstance()->start([this, archive, applications] {
        const QString folder = PackageInstaller::unpackFolder(archive);
        QDir(folder).removeRecursively();
        platform::ZipArchive::unzipFileAtPath(
            archive, folder, true, [&](const QString &, bool, const std::optional<platform::ZipError> &error) {
                if (error) {
                    report(QStringLiteral("Install_Failed"), error->localizedDescription());
                    log(QStringLiteral("DownLoader install unzipFile failed:") + error->localizedDescription());
                    const FailedReason reason = error->fileError == platform::FileError::WriteOutOfSpace
                        ? FailedReason::write
                        : FailedReason::install;
                    platform::Scheduler::shared().post([this, reason] { installFailed(reason); });
                    return;
                }
                if (const auto failed = PackageInstaller::placeUnpacked(archive, folder, applications)) {
                    log(QStringLiteral("DownLoader install ziped or moved faield:") + failed->description);
                    report(QStringLiteral("Install_Failed"), failed->localizedDescription);
                    const FailedReason reason = failed->error == platform::FileError::WriteOutOfSpace
                        ? FailedReason::write
                        : FailedReason::install;
                    platform::Scheduler::shared().post([this, reason] { installFailed(reason); });
                    return;
                }
                writeTrackingRecord();
                log(QStringLiteral("DownLoader install install success"));
                platform::Scheduler::shared().post([this] { installSucceeded(); });
            });
    });
}

void DownLoader::installFailed(FailedReason reason)
{
    if (const auto zip = m_zip.load())
        zip->failed = reason;
    console("安装失败");
    platform::NotificationCenter::defaultCenter().post(InstallerNotification::installerFailed);
}

void DownLoader::installSucceeded()
{
    log(QStringLiteral("DownLoader install install success"));
    console("安装成功");
    platform::NotificationCenter::defaultCenter().post(InstallerNotification::installerFinish);
    platform::Scheduler::shared().after(std::chrono::seconds(1), [this] { restart(); });
}

void DownLoader::restart()
{
    const QString application = Product::installedPath();
    log(QStringLiteral("DownLoader restart ") + application);
    if (!QFileInfo::exists(application)) {
        report(QStringLiteral("Start_Application_Failed"), QStringLiteral("appNotExit"));
        log(QStringLiteral("DownLoader restart bundle not exists"));
        notifyLaunchFailed();
        return;
    }

    const QUrl page(localized(QStringLiteral("URL_Install_Complete")), QUrl::StrictMode);
    if (page.isValid() && !page.scheme().isEmpty())
        platform::Workspace::shared().openUrl(page);

    if (Launcher::launchApp(application)) {
        log(QStringLiteral("DownLoader restart success"));
        console("启动成功");
        platform::NotificationCenter::defaultCenter().post(InstallerNotification::launchedFinish);
        return;
    }

    platform::Workspace::shared().openApplication(application, [this](const std::optional<QString> &error) {
        platform::Scheduler::shared().post([this, error] {
            log(QStringLiteral("DownLoader restart failed macOS 10.15 result: ")
                + error.value_or(QStringLiteral("nil")));
            if (!error) {
                log(QStringLiteral("DownLoader restart macOS 10.15 success"));
                console("启动成功");
                platform::NotificationCenter::defaultCenter().post(InstallerNotification::launchedFinish);
                return;
            }
            log(QStringLiteral("DownLoader restart macOS 10.15 failed"));
            report(QStringLiteral("Start_Application_Failed"), *error);
            notifyLaunchFailed();
        });
    });
}

void DownLoader::notifyLaunchFailed()
{
    console("启动失败");
    if (const auto zip = m_zip.load())
        zip->failed = FailedReason::launch;
    platform::NotificationCenter::defaultCenter().post(InstallerNotification::launchedFailed);
}
