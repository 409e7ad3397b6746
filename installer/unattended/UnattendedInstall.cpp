#include "UnattendedInstall.h"

#include "EventWriter.h"

#include <installer/analytics/GA.h>
#include <installer/install/ArchiveImport.h>
#include <installer/install/ArchiveVersion.h>
#include <installer/install/DownLoader.h>
#include <installer/install/Product.h>
#include <installer/interface/InAppLanguage.h>
#include <installer/interface/LocalizedString.h>
#include <platform/Bundle.h>
#include <platform/Folders.h>
#include <platform/KSTLogManager.h>
#include <platform/NotificationCenter.h>
#include <platform/PrivilegedRemoval.h>
#include <platform/RunningApplications.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QLocale>

#include <cerrno>
#include <csignal>

using namespace std::chrono_literals;

namespace {

constexpr auto progressInterval = 250ms;

void log(const QString &line)
{
    platform::KSTLogManager::writeInfoLog(line);
}

/// Stands in for the administrator: nobody is there to give a password.
class NoAdministrator final : public platform::PrivilegedRemoval {
public:
    std::optional<QString> remove(const QString &) override
    {
        return QStringLiteral("administrator rights are not asked for in an unattended run");
    }
};

platform::PrivilegedRemoval &noAdministrator()
{
    static NoAdministrator runner;
    return runner;
}

QString installedVersion()
{
    return platform::Bundle(Product::installedPath())
        .infoValue(QStringLiteral("CFBundleShortVersionString"))
        .toString();
}

QString dataSize(std::int64_t bytes)
{
    return QLocale::c().formattedDataSize(bytes);
}

bool isPermissionError(int errorNumber)
{
    return errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS;
}

} // namespace

UnattendedInstall::UnattendedInstall(CommandLine::Options options, EventWriter &writer, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_writer(writer)
{
    if (!m_options.applicationsFolder.isEmpty())
        qputenv(
            "PRISMORA_APPLICATIONS_DIR", QFile::encodeName(QFileInfo(m_options.applicationsFolder).absoluteFilePath()));
    if (!m_options.language.isEmpty()) {
        QLocale::setDefault(QLocale(m_options.language));
        InAppLanguage::setLanguage(InAppLanguage::fromCode(m_options.language));
    }
    platform::PrivilegedRemoval::setShared(&noAdministrator());
    DownLoader::shared().setLaunchesAfterInstall(m_options.launch);
    if (!m_options.force) {
        // A signature that names its version tells, before the download, that there is nothing to do.
        DownLoader::shared().setArchiveNeeded([](const ArchiveSignatureCheck::Accepted &accepted) {
            const QStringList versions = accepted.signature.fieldValues("version");
            return versions.isEmpty() || !Product::isInstalled() || versions.constFirst() != installedVersion();
        });
    }
}

UnattendedInstall::~UnattendedInstall()
{
    DownLoader::shared().setArchiveNeeded({});
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    platform::PrivilegedRemoval::setShared(nullptr);
}

void UnattendedInstall::start()
{
    if (!m_options.archive.isEmpty()) {
        if (const auto why = ArchiveImport::refusal(m_options.archive)) {
            fail(ExitCode::usage, QStringLiteral("usage"), *why);
            return;
        }
    }
    if (const auto refusal = applicationsFolderRefusal()) {
        fail(refusal->first, refusal->first == ExitCode::usage ? QStringLiteral("usage") : QStringLiteral("permission"),
            refusal->second);
        return;
    }
    observe();
    auto &downloader = DownLoader::shared();
    const QString source = m_options.archive.isEmpty() ? downloader.downloadURLString()
                                                       : QFileInfo(m_options.archive).absoluteFilePath();
    m_writer.write(QStringLiteral("started"),
        { { QStringLiteral("source"), source }, { QStringLiteral("applications"), platform::Folders::applications() } },
        QStringLiteral("Installing %1 from %2 into %3")
            .arg(Product::localizedName(), source, platform::Folders::applications()));
    if (m_options.archive.isEmpty())
        downloader.startDownload(DownloadType::first);
    else
        downloader.startFromFile(m_options.archive);
}

std::optional<std::pair<ExitCode, QString>> UnattendedInstall::applicationsFolderRefusal() const
{
    const QString folder = platform::Folders::applications();
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return std::pair(ExitCode::usage, QStringLiteral("%1 is not a folder").arg(folder));
    if (!info.exists() && !QDir().mkpath(folder))
        return std::pair(ExitCode::permission, QStringLiteral("%1 cannot be created").arg(folder));
    return std::nullopt;
}

void UnattendedInstall::observe()
{
    auto &center = platform::NotificationCenter::defaultCenter();
    const auto on = [this, &center](const QString &name, void (UnattendedInstall::*handler)()) {
        center.addObserver(name, this, [this, handler](const platform::Notification &) { (this->*handler)(); });
    };
    on(InstallerNotification::downloaderProgress, &UnattendedInstall::progressed);
    on(InstallerNotification::downloaderFinished, &UnattendedInstall::downloaded);
    on(InstallerNotification::downloaderFailed, &UnattendedInstall::downloadFailed);
    on(InstallerNotification::launchedFinish, &UnattendedInstall::launched);
    on(InstallerNotification::launchedFailed, &UnattendedInstall::launchFailed);
    const InstallEvents *events = DownLoader::shared().events();
    connect(events, &InstallEvents::attemptFailed, this, &UnattendedInstall::attemptFailed);
    connect(events, &InstallEvents::installEnded, this, &UnattendedInstall::installEnded);
    connect(events, &InstallEvents::archiveNotNeeded, this, &UnattendedInstall::alreadyCurrent);
}

void UnattendedInstall::progressed()
{
    if (m_ended || (m_lastProgress.isValid() && m_lastProgress.elapsed() < progressInterval.count()))
        return;
    m_lastProgress.start();
    const auto zip = DownLoader::shared().zip();
    if (!zip)
        return;
    const std::int64_t bytes = zip->currentSize;
    const std::int64_t total = zip->totalSize;
    const QString sentence = total > 0 ? QStringLiteral("Downloading: %1 of %2 (%3%)")
                                             .arg(dataSize(bytes), dataSize(total))
                                             .arg(int(100 * bytes / total))
                                       : QStringLiteral("Downloading: %1").arg(dataSize(bytes));
    m_writer.write(QStringLiteral("progress"),
        { { QStringLiteral("bytes"), qint64(bytes) },
            { QStringLiteral("total"), total > 0 ? QJsonValue(qint64(total)) : QJsonValue() } },
        sentence);
}

void UnattendedInstall::attemptFailed(
    const QString &host, FailedReason reason, bool verification, const QString &detail)
{
    m_verificationFailed = m_verificationFailed || verification;
    const QString name = verification ? QStringLiteral("verification") : failedReasonName(reason);
    m_writer.write(QStringLiteral("mirror-failed"),
        { { QStringLiteral("host"), host }, { QStringLiteral("reason"), name }, { QStringLiteral("detail"), detail } },
        QStringLiteral("%1 failed (%2): %3").arg(host.isEmpty() ? m_options.archive : host, name, detail));
}

void UnattendedInstall::downloaded()
{
    if (m_ended)
        return;
    auto &downloader = DownLoader::shared();
    const auto archiveUrl = downloader.zipDownLoadedUrl();
    if (!archiveUrl)
        return;
    const QString archive = archiveUrl->toLocalFile();
    const qint64 bytes = QFileInfo(archive).size();
    QJsonObject fields { { QStringLiteral("bytes"), bytes } };
    QString sentence = QStringLiteral("Verified %1").arg(dataSize(bytes));
    if (const auto signature = downloader.acceptedSignature()) {
        const QString comment = signature->signature.printableTrustedComment();
        fields.insert(QStringLiteral("trusted_comment"), comment);
        sentence += QStringLiteral(", signed: ") + comment;
    }
    m_writer.write(QStringLiteral("verified"), fields, sentence);
    GA::installStep(QStringLiteral("Download_Successful"));

    if (Product::isInstalled()) {
        const QString current = installedVersion();
        if (!m_options.force && !current.isEmpty() && ArchiveVersion::read(archive) == current) {
            alreadyCurrent();
            return;
        }
        platform::RunningApplications::terminateApplications(Product::bundleIdentifier());
    }
    downloader.install();
}

void UnattendedInstall::alreadyCurrent()
{
    if (m_ended)
        return;
    const QString version = installedVersion();
    m_writer.write(QStringLiteral("current"),
        { { QStringLiteral("path"), Product::installedPath() }, { QStringLiteral("version"), version } },
        QStringLiteral("%1 %2 is already installed in %3; --force replaces it")
            .arg(Product::localizedName(), version, Product::installedPath()));
    DownLoader::shared().stopTransfers(); // the run's files go; nothing else was touched
    finish(ExitCode::installed);
}

void UnattendedInstall::downloadFailed()
{
    const auto zip = DownLoader::shared().zip();
    const FailedReason reason = zip ? FailedReason(zip->failed) : FailedReason::unknow;
    const QString message = failedReasonDescription(reason, DownLoader::shared().fullFolder())
                                .value_or(localizedString(QStringLiteral("Install_Error_Unknown")));
    switch (reason) {
    case FailedReason::write:
        fail(ExitCode::space, failedReasonName(reason), message);
        return;
    case FailedReason::withoutNetwork:
        fail(ExitCode::network, failedReasonName(reason), message);
        return;
    case FailedReason::server:
        if (m_verificationFailed)
            fail(ExitCode::verification, QStringLiteral("verification"),
                QStringLiteral("No archive passed its checks: ") + message);
        else
            fail(ExitCode::network, failedReasonName(reason), message);
        return;
    default:
        fail(ExitCode::failed, failedReasonName(reason), message);
        return;
    }
}

void UnattendedInstall::installEnded(const InstallTransaction::Result &result)
{
    if (m_ended)
        return;
    const QString path = Product::installedPath();
    switch (result.outcome) {
    case InstallTransaction::Outcome::Installed: {
        GA::installStep(QStringLiteral("Install_Finished"));
        const QString version = installedVersion();
        m_writer.write(QStringLiteral("installed"),
            { { QStringLiteral("path"), path }, { QStringLiteral("version"), version } },
            QStringLiteral("Installed %1 %2 in %3").arg(Product::localizedName(), version, path));
        if (!m_options.launch)
            finish(ExitCode::installed);
        return;
    }
    case InstallTransaction::Outcome::Blocked:
        fail(ExitCode::permission, QStringLiteral("permission"),
            QStringLiteral("%1 cannot be replaced without administrator rights, which an unattended run does not ask "
                           "for; remove it or run as a user who may")
                .arg(path));
        return;
    case InstallTransaction::Outcome::Failed:
        break;
    }
    if (result.reason == FailedReason::write)
        fail(ExitCode::space, failedReasonName(result.reason),
            failedReasonDescription(result.reason, result.fullFolder).value_or(result.localizedDescription));
    else if (isPermissionError(result.errorNumber))
        fail(ExitCode::permission, QStringLiteral("permission"),
            QStringLiteral("%1 (%2)").arg(result.localizedDescription, platform::Folders::applications()));
    else
        fail(ExitCode::archive, failedReasonName(result.reason), result.localizedDescription);
}

void UnattendedInstall::launched()
{
    if (m_ended)
        return;
    GA::installStep(QStringLiteral("Start_Application"));
    m_writer.write(QStringLiteral("launched"), { { QStringLiteral("path"), Product::installedPath() } },
        QStringLiteral("Started %1").arg(Product::localizedName()));
    finish(ExitCode::installed);
}

void UnattendedInstall::launchFailed()
{
    fail(ExitCode::launch, failedReasonName(FailedReason::launch),
        QStringLiteral("%1 was installed but did not start").arg(Product::installedPath()));
}

void UnattendedInstall::interrupt(int signalNumber)
{
    if (m_ended)
        return;
    log(QStringLiteral("Unattended install interrupted by signal %1").arg(signalNumber));
    // Cancels the transfer and waits for an install in progress, which completes or rolls back.
    DownLoader::shared().stopTransfers();
    fail(ExitCode::interrupted, QStringLiteral("interrupted"),
        QStringLiteral("Interrupted by %1; nothing was left half done")
            .arg(signalNumber == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM")));
}

void UnattendedInstall::fail(ExitCode code, const QString &reason, const QString &message)
{
    if (m_ended)
        return;
    log(QStringLiteral("Unattended install failed (%1): %2").arg(int(code)).arg(message));
    m_writer.write(QStringLiteral("failed"),
        { { QStringLiteral("code"), int(code) }, { QStringLiteral("reason"), reason },
            { QStringLiteral("message"), message } },
        QStringLiteral("Failed: ") + message);
    finish(code);
}

void UnattendedInstall::finish(ExitCode code)
{
    if (m_ended)
        return;
    m_ended = true;
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    Q_EMIT finished(code);
}
