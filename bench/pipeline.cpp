// One step of the install pipeline, run by bench/run-pipeline.sh against a
// reference tool on the same input:
//
//   bench_pipeline download <url> <output>     DownloadSession, finished file linked to <output>
//   bench_pipeline md5 <file>                  the downloader's streaming MD5
//   bench_pipeline unzip <archive> <folder>    ZipArchive, overwriting
//   bench_pipeline copy <entry> <folder>       placing one entry as the installer does
//
// Exits 0 on success; prints the digest for md5.

#include <installer/session/DownLoader.h>
#include <installer/session/PackageInstaller.h>

#include <platform/ZipArchive.h>
#include <platform/net/DownloadSession.h>

#include <QCoreApplication>
#include <QFile>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <unistd.h>

namespace {

class Download : public platform::net::DownloadSessionDelegate {
public:
    explicit Download(QByteArray output)
        : m_output(std::move(output))
    {
    }

    void didWriteData(platform::net::DownloadTask &, std::int64_t, std::int64_t, std::int64_t) override { }
    void didFinishDownloadingTo(platform::net::DownloadTask &, const QString &location) override
    {
        ::unlink(m_output.constData());
        if (::link(QFile::encodeName(location).constData(), m_output.constData()) != 0)
            QFile::copy(location, QFile::decodeName(m_output));
    }
    void didCompleteWithError(
        platform::net::DownloadTask &, const std::optional<platform::net::TransferError> &error) override
    {
        std::lock_guard lock(m_mutex);
        if (error)
            std::fprintf(stderr, "download failed: %s\n", qPrintable(error->description()));
        m_ok = !error;
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
    QByteArray m_output;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    bool m_ok = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString mode = arguments.value(1);
    if (mode == QLatin1String("download") && arguments.size() == 4) {
        Download delegate(QFile::encodeName(arguments[3]));
        platform::net::DownloadSession session(&delegate);
        session.downloadTask({ QUrl(arguments[2]), { { "Accept-Encoding", "application-x-zip" } } })->resume();
        return delegate.wait() ? 0 : 1;
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
        const auto failure = PackageInstaller::placeEntry(arguments[2], arguments[3]);
        if (failure)
            std::fprintf(stderr, "copy failed: %s\n", qPrintable(failure->description));
        return failure ? 1 : 0;
    }
    std::fprintf(stderr,
        "usage: bench_pipeline download <url> <output> | md5 <file> | unzip <archive> <folder> | copy <entry> "
        "<folder>\n");
    return 2;
}
