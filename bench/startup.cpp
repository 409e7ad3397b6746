// Time from process start to the first painted frame of the installer's main
// window, against a minimal Qt program that shows one empty window, measured
// alternately in the same run. Prints medians and their ratio.
//
// Usage: bench_startup <installer> <minimal> [runs]
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
long long monotonicNow()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Milliseconds from start to the program's "shown" line; negative on failure.
double timeToShown(const QString &program, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProgram(program);
    const long long started = monotonicNow();
    process.start();
    double result = -1;
    while (result < 0 && process.waitForReadyRead(10000)) {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith("shown ")) {
                result = double(line.mid(6).toLongLong() - started) / 1e6;
                break;
            }
        }
    }
    process.kill();
    process.waitForFinished(5000);
    return result;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <installer> <minimal> [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 15;
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("PRISMORA_REPORT_SHOWN"), QStringLiteral("1"));
    environment.insert(QStringLiteral("PRISMORA_NO_ANALYTICS"), QStringLiteral("1"));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("PRISMORA_LOG_DIR"), home.path());

    std::vector<double> installer;
    std::vector<double> minimal;
    for (int i = 0; i < runs; ++i) {
        const double a = timeToShown(QString::fromLocal8Bit(argv[1]), environment);
        const double b = timeToShown(QString::fromLocal8Bit(argv[2]), environment);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a program did not report its first frame\n");
            return 1;
        }
        installer.push_back(a);
        minimal.push_back(b);
    }
    const double ours = median(installer);
    const double reference = median(minimal);
    std::printf("start-up to first frame (median of %d, offscreen)\n", runs);
    std::printf("  Prismora_Installer: %8.1f ms\n", ours);
    std::printf("  minimal Qt window:  %8.1f ms\n", reference);
    std::printf("  ratio: %.2f (aim <= 1.50)\n", ours / reference);
    return 0;
}
