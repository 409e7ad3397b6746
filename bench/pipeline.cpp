// One step of the install pipeline, run by bench/run-pipeline.sh against a
// reference tool on the same input:
//
//   bench_pipeline download <url> <output>     DownloadSession, finished file linked to <output>
//   bench_pipeline md5 <file>                  the downloader's streaming MD5
//   bench_pipeline unzip <archive> <folder>    ZipArchive, overwriting
//   bench_pipeline copy <entry> <folder>       copying a bundle across volumes as the installer does
//   bench_pipeline install <url> <apps>        the whole pipeline: download into a work folder
//                                              (hashed as it arrives, checked against
//                                              PRISMORA_ARCHIVE_SIZE/SHA256), unpack, stage,
//                                              check and swap into <apps>
//
// Exits 0 on success; prints the digest for md5. download prints
// "done-at <s>" (seconds since the process started, when the file is complete)
// and install "downloaded-at", "unpacked-at", "validated-at" and "placed-at"
// (when its download is complete, unpacked, staged and checked, and when the
// new bundle is in place, before the run's files are removed); both print
// "peak-rss-kib <n>" last.

#include <installer/install/ArchiveCheck.h>
#include <installer/install/DownLoader.h>
#include <installer/install/InstallTransaction.h>
#include <installer/install/TreeCopy.h>
#include <installer/install/WorkFolder.h>

#include <platform/ZipArchive.h>
#include <platform/net/DownloadSession.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QElapsedTimer sinceStart;

void printSinceStart(const char *what)
{
    std::printf("%s %.4f\n", what, double(sinceStart.nsecsElapsed()) / 1e9);
}

void printPeakMemory()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak-rss-kib %ld\n", usage.ru_maxrss);
}

/// Downloads into the named file, hashing as the bytes arrive, and checks the result.
class Download : public platform::net::DownloadSessionDelegate {
public:
    void didWriteData(platform::net::DownloadTask &, std::int64_t, std::int64_t, std::int64_t) override { }
    void didFinishDownloadingTo(platform::net::DownloadTask &task, const QString &location) override
    {
        m_mismatch = ArchiveCheck::configured().mismatch(QFileInfo(location).size(), task.digests().sha256);
    }
    void didCompleteWithError(
        platform::net::DownloadTask &, const std::optional<platform::net::TransferError> &error) override
    {
        std::lock_guard lock(m_mutex);
        if (error)
            std::fprintf(stderr, "download failed: %s\n", qPrintable(error->description()));
        if (m_mismatch)
            std::fprintf(stderr, "archive check failed: %s\n", qPrintable(*m_mismatch));
        m_ok = !error && !m_mismatch;
        m_done = true;
        m_changed.notify_all();
    }
    bool wait()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_done; });
        return m_ok;
    }

private:
    std::optional<QString> m_mismatch;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    bool m_ok = false;
};

} // namespace

int main(int argc, char *argv[])
{
    sinceStart.start();
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString mode = arguments.value(1);
    const auto download = [](const QString &url, const QString &output) {
        Download delegate;
        platform::net::DownloadSession session(&delegate);
        session.downloadTask({ QUrl(url), { { "Accept-Encoding", "application-x-zip" } }, output })->resume();
        return delegate.wait();
    };
    if (mode == QLatin1String("download") && arguments.size() == 4) {
        const bool ok = download(arguments[2], arguments[3]);
        printSinceStart("done-at");
        printPeakMemory();
        return ok ? 0 : 1;
    }
    if (mode == QLatin1String("install") && arguments.size() == 4) {
        const auto work = WorkFolder::create();
        if (!work || !download(arguments[2], work->archivePath()))
            return 1;
        printSinceStart("downloaded-at");
        InstallTransaction::Options options;
        options.removeArchiveWhenUnpacked = true;
        options.phaseReached = [](InstallTransaction::Phase phase) {
            if (phase == InstallTransaction::Phase::Unpacked)
                printSinceStart("unpacked-at");
            else if (phase == InstallTransaction::Phase::Validated)
                printSinceStart("validated-at");
        };
        const auto result = InstallTransaction(work->archivePath(), work->unpackPath(), arguments[3], options).run();
        printSinceStart("placed-at");
        if (result.outcome != InstallTransaction::Outcome::Installed)
            std::fprintf(stderr, "install failed: %s\n", qPrintable(result.description));
        printPeakMemory();
        return result.outcome == InstallTransaction::Outcome::Installed ? 0 : 1;
    }
    if (mode == QLatin1String("md5") && arguments.size() == 3) {
        const auto digest = DownLoader::fileMD5(arguments[2]);
        if (!digest)
            return 1;
        std::printf("%s\n", qPrintable(*digest));
        return 0;
    }
    if (mode == QLatin1String("unzip") && arguments.size() == 4) {
        const auto error = platform::ZipArchive::unzip(arguments[2], arguments[3], true);
        if (error)
            std::fprintf(stderr, "unzip failed: %s\n", qPrintable(error->message));
        return error ? 1 : 0;
    }
    if (mode == QLatin1String("copy") && arguments.size() == 4) {
        const auto failure
            = TreeCopy::copy(arguments[2], arguments[3] + QLatin1Char('/') + QFileInfo(arguments[2]).fileName());
        if (failure)
            std::fprintf(
                stderr, "copy failed: %s: %s\n", qPrintable(failure->path), std::strerror(failure->errorNumber));
        return failure ? 1 : 0;
    }
    std::fprintf(stderr,
        "usage: bench_pipeline download <url> <output> | md5 <file> | unzip <archive> <folder> | copy <entry> "
        "<folder> | install <url> <applications>\n");
    return 2;
}
