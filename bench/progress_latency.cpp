// How responsive the main thread stays while the installer downloads at full
// speed, run by bench/run-progress-latency.sh.
//
//   bench_progress_latency <url> <ca-file>
//
// A probe thread posts a timestamped event to the main thread every 2 ms and
// records how late each one is delivered. Three runs in one process, on the
// same file from the same mirror:
//
//   reference  the probe on an idle event loop while curl fetches <url> into /dev/null
//   (to disk)  the same with curl writing a file, for the throughput of a client
//              that stores what it receives
//   ours       the real window showing the progress page, which starts
//              DownLoader::shared() (PRISMORA_DOWNLOAD_HOSTS must point at the
//              mirror) and updates the bar and labels on every progress
//              notification
//
// Latency statistics cover the transfer: from the start until the last byte
// has arrived (curl: until it exits). Ours ends the run when downloaderFinished
// arrives, before the page's handler would install anything. Prints one line
// per metric with the ratio ours / reference and PASS or FAIL against a 99th
// percentile below 16 ms. Exits 0 when both downloads succeed.

#include <installer/app/RootWindowController.h>
#include <installer/install/DownLoader.h>
#include <installer/pages/LoadingViewController.h>
#include <installer/pages/Storyboard.h>
#include <mirakit/interactive/LineProgressView.h>
#include <platform/NotificationCenter.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaEnum>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto probeInterval = 2ms;
constexpr double aimMs = 16;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

/// Gives up on a run that does not end (a stuck mirror) after BENCH_TIMEOUT seconds, 300 by default.
std::chrono::milliseconds runTimeout()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("BENCH_TIMEOUT", &ok);
    return std::chrono::seconds(ok && seconds > 0 ? seconds : 300);
}

/// A probe event carrying the moment it was posted.
class StampEvent : public QEvent {
public:
    static QEvent::Type type()
    {
        static const auto registered = QEvent::Type(QEvent::registerEventType());
        return registered;
    }
    explicit StampEvent(Clock::time_point posted)
        : QEvent(type())
        , posted(posted)
    {
    }
    const Clock::time_point posted;
};

/// Posts a StampEvent to the main thread every probeInterval from its own
/// thread and records, for each, when it was posted and how late it arrived.
/// An optional watch runs on the probe thread at every tick.
class LatencyProbe : public QObject {
public:
    struct Sample {
        Clock::time_point posted;
        double latencyMs;
    };

    explicit LatencyProbe(std::function<void(Clock::time_point)> watch = {})
        : m_watch(std::move(watch))
    {
        m_samples.reserve(1 << 16);
    }
    ~LatencyProbe() override { stop(); }

    void start()
    {
        m_thread = std::thread([this] { run(); });
    }
    void stop()
    {
        m_stopping = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    /// Samples posted no later than @p until.
    std::vector<double> latencies(Clock::time_point until) const
    {
        std::vector<double> values;
        for (const Sample &sample : m_samples) {
            if (sample.posted <= until)
                values.push_back(sample.latencyMs);
        }
        return values;
    }

    bool event(QEvent *event) override
    {
        if (event->type() != StampEvent::type())
            return QObject::event(event);
        const auto posted = static_cast<StampEvent *>(event)->posted;
        m_samples.push_back({ posted, msBetween(posted, Clock::now()) });
        return true;
    }

private:
    void run()
    {
        auto next = Clock::now();
        while (!m_stopping) {
            next += probeInterval;
            std::this_thread::sleep_until(next);
            const auto now = Clock::now();
            // A late wake-up is not made up with a burst of probes.
            if (now > next + probeInterval)
                next = now;
            if (m_watch)
                m_watch(now);
            QCoreApplication::postEvent(this, new StampEvent(now));
        }
    }

    std::function<void(Clock::time_point)> m_watch;
    std::vector<Sample> m_samples;
    std::thread m_thread;
    std::atomic<bool> m_stopping { false };
};

/// Times the events the main thread handles (outermost deliveries only) while
/// timing is on: the time spent busy, the part spent painting, the longest event.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    struct Busy {
        double totalMs = 0;
        double paintMs = 0;
        double longestMs = 0;
        QEvent::Type longestType = QEvent::None;
    };

    void setTiming(bool on) { m_timing = on; }
    Busy takeBusy() { return std::exchange(m_busy, {}); }

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (!m_timing || m_depth > 0 || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        const QEvent::Type type = event->type();
        const auto started = Clock::now();
        ++m_depth;
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        const double ms = msBetween(started, Clock::now());
        m_busy.totalMs += ms;
        if (type == QEvent::UpdateRequest || type == QEvent::Paint)
            m_busy.paintMs += ms;
        if (ms > m_busy.longestMs) {
            m_busy.longestMs = ms;
            m_busy.longestType = type;
        }
        return handled;
    }

private:
    Busy m_busy;
    int m_depth = 0;
    bool m_timing = false;
};

TimedApplication &timedApp()
{
    return *static_cast<TimedApplication *>(QCoreApplication::instance());
}

/// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
    std::int64_t count = 0;
};

struct Percentiles {
    std::size_t count = 0;
    double p50 = 0, p90 = 0, p99 = 0, max = 0;
};

Percentiles percentiles(std::vector<double> values)
{
    Percentiles result;
    result.count = values.size();
    if (values.empty())
        return result;
    std::sort(values.begin(), values.end());
    const auto rank = [&values](double share) {
        const auto index = std::size_t(std::ceil(share * double(values.size()))) - 1;
        return values[std::min(index, values.size() - 1)];
    };
    result.p50 = rank(0.50);
    result.p90 = rank(0.90);
    result.p99 = rank(0.99);
    result.max = values.back();
    return result;
}

struct RunResult {
    bool ok = false;
    Percentiles latency;
    double bytes = 0;
    double seconds = 0;
    std::int64_t notifications = 0;
    double handlerMs = 0;
    double runMs = 0;
    std::int64_t barPaints = 0;
    TimedApplication::Busy busy;
    double mibPerSecond() const { return seconds > 0 ? bytes / (1024.0 * 1024.0) / seconds : 0; }
};

/// Runs @p loop until it quits or the run times out; false on time-out.
bool runLoop(QEventLoop &loop)
{
    bool timedOut = false;
    QTimer::singleShot(runTimeout(), &loop, [&loop, &timedOut] {
        timedOut = true;
        loop.quit();
    });
    loop.exec();
    return !timedOut;
}

RunResult runCurl(const QString &url, const QString &caFile, const QString &output)
{
    RunResult result;
    QEventLoop loop;
    QProcess curl;
    curl.setProgram(QStringLiteral("curl"));
    curl.setArguments({ QStringLiteral("-sS"), QStringLiteral("--cacert"), caFile, QStringLiteral("-H"),
        QStringLiteral("Accept-Encoding: application-x-zip"), QStringLiteral("-o"), output, QStringLiteral("-w"),
        QStringLiteral("%{size_download}"), url });
    curl.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&curl, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&curl, &QProcess::errorOccurred, &loop, &QEventLoop::quit);

    LatencyProbe probe;
    probe.start();
    timedApp().setTiming(true);
    const auto started = Clock::now();
    curl.start();
    const bool ended = runLoop(loop);
    const auto finished = Clock::now();
    timedApp().setTiming(false);
    result.busy = timedApp().takeBusy();
    result.runMs = msBetween(started, finished);
    probe.stop();
    QCoreApplication::sendPostedEvents(&probe, StampEvent::type());
    if (!ended) {
        curl.kill();
        curl.waitForFinished();
        std::fprintf(stderr, "curl did not finish in time\n");
        return result;
    }
    result.ok = curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0;
    if (!result.ok)
        std::fprintf(stderr, "curl failed (exit code %d)\n", curl.exitCode());
    result.bytes = curl.readAllStandardOutput().trimmed().toDouble();
    result.seconds = msBetween(started, finished) / 1000;
    result.latency = percentiles(probe.latencies(finished));
    return result;
}

RunResult runInstaller()
{
    RunResult result;
    QEventLoop loop;
    std::unique_ptr<RootWindowController> window(Storyboard::instantiateInitialController());
    window->show();
    QCoreApplication::processEvents();

    // The worker has received everything once the shown count reaches the announced size.
    std::atomic<Clock::rep> lastByte { 0 };
    LatencyProbe probe([&lastByte](Clock::time_point now) {
        const auto zip = DownLoader::shared().zip();
        if (zip && zip->totalSize > 0 && zip->currentSize >= zip->totalSize && lastByte == 0)
            lastByte = now.time_since_epoch().count();
    });

    auto &center = platform::NotificationCenter::defaultCenter();
    Clock::time_point handlerStart;
    QObject observer;
    // Added before the page's own observers, so this one runs first and keeps
    // the page from starting the installation.
    QWidget *page = Storyboard::instantiateController(QStringLiteral("loading"));
    center.addObserver(InstallerNotification::downloaderFinished, &observer, [&](const platform::Notification &) {
        center.removeObserver(page, InstallerNotification::downloaderFinished);
        result.ok = true;
        loop.quit();
    });
    center.addObserver(InstallerNotification::downloaderFailed, &observer, [&](const platform::Notification &) {
        std::fprintf(stderr, "the download failed\n");
        loop.quit();
    });
    center.addObserver(InstallerNotification::downloaderProgress, &observer, [&](const platform::Notification &) {
        ++result.notifications;
        handlerStart = Clock::now();
    });

    PaintCounter barPaints;
    static_cast<LoadingViewController *>(page)->progressView()->installEventFilter(&barPaints);
    DownLoader::shared(); // created here, not on the probe thread
    probe.start();
    timedApp().setTiming(true);
    const auto started = Clock::now();
    window->setContentViewController(page);
    // Added after the page's observer: together with the one above it brackets the page's work.
    center.addObserver(InstallerNotification::downloaderProgress, &observer,
        [&](const platform::Notification &) { result.handlerMs += msBetween(handlerStart, Clock::now()); });
    const bool ended = runLoop(loop);
    result.runMs = msBetween(started, Clock::now());
    timedApp().setTiming(false);
    result.busy = timedApp().takeBusy();
    result.barPaints = barPaints.count;
    probe.stop();
    QCoreApplication::sendPostedEvents(&probe, StampEvent::type());
    center.removeObserver(&observer);
    DownLoader::shared().stopTransfers();
    if (!ended) {
        std::fprintf(stderr, "the download did not finish in time\n");
        result.ok = false;
        return result;
    }

    const Clock::time_point transferEnd { Clock::duration(lastByte.load()) };
    if (lastByte == 0) {
        std::fprintf(stderr, "the download ended without reporting all of its bytes\n");
        result.ok = false;
        return result;
    }
    result.bytes = double(DownLoader::shared().zip()->totalSize);
    result.seconds = msBetween(started, transferEnd) / 1000;
    result.latency = percentiles(probe.latencies(transferEnd));
    return result;
}

void printLatency(const char *name, double ours, double reference)
{
    std::printf("latency %-4s     ours %9.3f ms   reference %9.3f ms   ratio %7.2f\n", name, ours, reference,
        reference > 0 ? ours / reference : 0.0);
}

} // namespace

int main(int argc, char *argv[])
{
    TimedApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <url> <ca-file>\n", argv[0]);
        return 2;
    }
    const QString url = QString::fromLocal8Bit(argv[1]);
    const QString caFile = QString::fromLocal8Bit(argv[2]);
    const RunResult reference = runCurl(url, caFile, QStringLiteral("/dev/null"));
    if (!reference.ok)
        return 1;
    // Ours writes the archive to disk; this run shows what writing costs curl.
    QTemporaryDir scratch;
    const RunResult referenceToFile = runCurl(url, caFile, scratch.filePath(QStringLiteral("prismora.zip")));
    if (!referenceToFile.ok)
        return 1;
    scratch.remove();
    const RunResult ours = runInstaller();
    if (!ours.ok)
        return 1;

    std::printf("\nmain-thread latency during a full-speed download (probe every %lld ms)\n",
        static_cast<long long>(probeInterval.count()));
    std::printf("archive             %.0f MiB\n", ours.bytes / (1024.0 * 1024.0));
    std::printf("notifications       %lld progress notifications, page handler %.1f us each, %.0f ms in all\n",
        static_cast<long long>(ours.notifications),
        ours.notifications > 0 ? ours.handlerMs * 1000 / double(ours.notifications) : 0.0, ours.handlerMs);
    std::printf("progress bar        %lld paints\n", static_cast<long long>(ours.barPaints));
    std::printf("main thread busy    ours %.0f of %.0f ms (painting %.0f ms, longest event %.1f ms, %s)"
                "   reference %.0f of %.0f ms\n",
        ours.busy.totalMs, ours.runMs, ours.busy.paintMs, ours.busy.longestMs,
        QMetaEnum::fromType<QEvent::Type>().valueToKey(ours.busy.longestType), reference.busy.totalMs, reference.runMs);
    std::printf("probe samples       ours %zu   reference %zu\n", ours.latency.count, reference.latency.count);
    std::printf("throughput          ours %7.0f MiB/s   curl %7.0f MiB/s   ratio %5.2f\n", ours.mibPerSecond(),
        reference.mibPerSecond(), reference.mibPerSecond() > 0 ? ours.mibPerSecond() / reference.mibPerSecond() : 0.0);
    std::printf("throughput to disk  ours %7.0f MiB/s   curl %7.0f MiB/s   ratio %5.2f (curl -o file)\n",
        ours.mibPerSecond(), referenceToFile.mibPerSecond(),
        referenceToFile.mibPerSecond() > 0 ? ours.mibPerSecond() / referenceToFile.mibPerSecond() : 0.0);
    printLatency("p50", ours.latency.p50, reference.latency.p50);
    printLatency("p90", ours.latency.p90, reference.latency.p90);
    printLatency("p99", ours.latency.p99, reference.latency.p99);
    printLatency("max", ours.latency.max, reference.latency.max);
    std::printf("aim p99 < %.0f ms    %s (ours %.3f ms)\n", aimMs, ours.latency.p99 < aimMs ? "PASS" : "FAIL",
        ours.latency.p99);
    std::printf("\nlatency ratio = ours / reference (1: as responsive as an idle loop beside curl);"
                " throughput ratio = ours / curl (1: as fast)\n");
    return 0;
}
