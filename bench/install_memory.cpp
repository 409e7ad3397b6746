// Runs one memory-hungry step of the installer on a given input, for
// bench/run-install-memory.sh, which measures its peak resident memory beside
// a reference tool on the same input:
//
//   bench_install_memory install <archive> <applications>   the install transaction on a local
//                                                            archive: unpack into a work folder,
//                                                            stage, validate and swap into
//                                                            <applications>
//   bench_install_memory settings <suite>                    opens the settings suite <suite>
//                                                            (under $XDG_CONFIG_HOME) and reads a key
//
// Prints "outcome <installed|failed|blocked>" (install) and "peak-rss-kib <n>"
// (getrusage) last; exits 0 when the install succeeded or the suite was read.

#include <installer/install/InstallTransaction.h>
#include <installer/install/WorkFolder.h>

#include <platform/UserDefaults.h>

#include <QCoreApplication>

#include <cstdio>
#include <sys/resource.h>

namespace {

void printPeakMemory()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak-rss-kib %ld\n", usage.ru_maxrss);
}

const char *outcomeName(InstallTransaction::Outcome outcome)
{
    switch (outcome) {
    case InstallTransaction::Outcome::Installed:
        return "installed";
    case InstallTransaction::Outcome::Failed:
        return "failed";
    case InstallTransaction::Outcome::Blocked:
        return "blocked";
    }
    return "unknown";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PrismoraBench"));
    const QStringList arguments = app.arguments();
    const QString mode = arguments.value(1);
    if (mode == QLatin1String("install") && arguments.size() == 4) {
        const auto work = WorkFolder::create();
        if (!work)
            return 1;
        const auto result = InstallTransaction(arguments[2], work->unpackPath(), arguments[3]).run();
        if (result.outcome != InstallTransaction::Outcome::Installed)
            std::fprintf(stderr, "install failed: %s\n", qPrintable(result.description));
        std::printf("outcome %s\n", outcomeName(result.outcome));
        printPeakMemory();
        return result.outcome == InstallTransaction::Outcome::Installed ? 0 : 1;
    }
    if (mode == QLatin1String("settings") && arguments.size() == 3) {
        platform::UserDefaults defaults(arguments[2]);
        const bool read = defaults.contains(QStringLiteral("bench"));
        std::printf("has-key %d\n", int(read));
        printPeakMemory();
        return 0;
    }
    std::fprintf(stderr, "usage: bench_install_memory install <archive> <applications> | settings <suite>\n");
    return 2;
}
