// Runs one install transaction and kills itself with SIGKILL when it reaches
// the named phase, so that tests can look at what a killed run leaves behind.
//
//   transaction_child <archive> <applications> <phase> <exchange 0|1>
//
// The work folder is made with WorkFolder::create() (XDG_CACHE_HOME decides
// where); it is deliberately left behind by the kill.

#include <installer/install/InstallTransaction.h>
#include <installer/install/WorkFolder.h>

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>

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
    InstallTransaction::Options options;
    options.exchange = arguments[4] == QLatin1String("1");
    options.phaseReached = [killAt](InstallTransaction::Phase phase) {
        if (int(phase) == killAt)
            std::raise(SIGKILL);
    };
    const auto result = InstallTransaction(arguments[1], work->unpackPath(), arguments[2], options).run();
    std::printf("%d\n", int(result.outcome));
    return result.outcome == InstallTransaction::Outcome::Installed ? 0 : 1;
}
