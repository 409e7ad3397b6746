// Runs one install transaction and kills itself with SIGKILL when it reaches
// the named phase, so that tests can look at what a killed run leaves behind.
//
//   transaction_child <archive> <applications> <phase> <exchange 0|1>
//
// An https:// archive is first downloaded into the work folder; phase -1
// kills the process as soon as the first bytes of it are on disk.
//
// The work folder is made with WorkFolder::create() (XDG_CACHE_HOME decides
// where); it is deliberately left behind by the kill.

#include <installer/install/InstallTransaction.h>
#include <installer/install/WorkFolder.h>

#include <platform/net/DownloadSession.h>

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <future>

namespace {

/// Downloads into the work folder; with @p killEarly the process dies at the first bytes.
class Download : public platform::net::DownloadSessionDelegate {
public:
    explicit Download(bool killEarly)
        : m_killEarly(killEarly)
    {
    }
    void didWriteData(platform::net::DownloadTask &, std::int64_t, std::int64_t, std::int64_t) override
    {
        if (m_killEarly)
            std::raise(SIGKILL);
    }
    void didFinishDownloadingTo(platform::net::DownloadTask &, const QString &) override { }
    void didCompleteWithError(
        platform::net::DownloadTask &, const std::optional<platform::net::TransferError> &error) override
    {
        m_done.set_value(!error);
    }
    bool wait() { return m_done.get_future().get(); }

private:
    bool m_killEarly;
    std::promise<bool> m_done;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 5)
        return 2;
    auto work = WorkFolder::create();
    if (!work)
        return 3;
    const int killAt = arguments[3].toInt();
    QString archive = arguments[1];
    if (archive.startsWith(QLatin1String("https://"))) {
        Download download(killAt == -1);
        platform::net::DownloadSession session(&download);
        session.downloadTask({ QUrl(archive), {}, work->archivePath() })->resume();
        if (!download.wait())
            return 4;
        archive = work->archivePath();
    }
    InstallTransaction::Options options;
    options.exchange = arguments[4] == QLatin1String("1");
    options.phaseReached = [killAt](InstallTransaction::Phase phase) {
        if (int(phase) == killAt)
            std::raise(SIGKILL);
    };
    const auto result = InstallTransaction(archive, work->unpackPath(), arguments[2], options).run();
    std::printf("%d\n", int(result.outcome));
    return result.outcome == InstallTransaction::Outcome::Installed ? 0 : 1;
}
