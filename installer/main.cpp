#include <installer/analytics/SoftWare.h>
#include <installer/app/AppDelegate.h>
#include <installer/app/RootWindowController.h>
#include <installer/app/StartupProbe.h>
#include <installer/app/TerminationSignals.h>
#include <installer/pages/Storyboard.h>
#include <installer/unattended/CommandLine.h>
#include <installer/unattended/EventWriter.h>
#include <installer/unattended/UnattendedInstall.h>

#include <platform/UserDefaults.h>

#include <QApplication>

#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <unistd.h>

namespace {

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Prismora_Installer"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrum"));
    QCoreApplication::setApplicationVersion(SoftWare::appVersion());
    // Where the installer has always kept its settings.
    platform::UserDefaults::setFolderName(QStringLiteral("Prismora"));
}

int usageError(const CommandLine &commandLine)
{
    std::fprintf(stderr, "Prismora_Installer: %s\nTry 'Prismora_Installer --help'.\n", qPrintable(commandLine.error()));
    return int(ExitCode::usage);
}

int runWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    nameApplication();
    const CommandLine commandLine = CommandLine::parse(QCoreApplication::arguments());
    if (commandLine.mode() != CommandLine::Mode::window)
        return usageError(commandLine);

    TerminationSignals terminationSignals;
    AppDelegate delegate;
    QApplication::setQuitOnLastWindowClosed(delegate.applicationShouldTerminateAfterLastWindowClosed());
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationDidFinishLaunching();

    std::unique_ptr<RootWindowController> window(Storyboard::instantiateInitialController());
    StartupProbe::watch(window.get());
    window->show();
    return app.exec();
}

/// Keeps standard output for the JSON events alone: what else the process
/// prints there goes nowhere. Answers the descriptor the events go to.
int reserveStandardOutput()
{
    const int events = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nothing >= 0) {
        std::fflush(stdout);
        ::dup2(nothing, STDOUT_FILENO);
        ::close(nothing);
    }
    return events;
}

int runWithoutWindow(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    nameApplication();
    const CommandLine commandLine = CommandLine::parse(QCoreApplication::arguments());
    switch (commandLine.mode()) {
    case CommandLine::Mode::help:
        std::fputs(qPrintable(CommandLine::helpText()), stdout);
        return 0;
    case CommandLine::Mode::version:
        std::printf("%s\n", qPrintable(CommandLine::versionText()));
        return 0;
    case CommandLine::Mode::unattended:
        break;
    case CommandLine::Mode::window:
    case CommandLine::Mode::invalid:
        return usageError(commandLine);
    }

    const CommandLine::Options &options = commandLine.options();
    EventWriter writer(options.json ? EventWriter::Format::json : EventWriter::Format::text, reserveStandardOutput());
    UnattendedInstall run(options, writer);
    TerminationSignals terminationSignals([&run](int signalNumber) { run.interrupt(signalNumber); });
    AppDelegate delegate;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    // Queued: a run that ends inside start() must still end the loop exec() is about to enter.
    QObject::connect(
        &run, &UnattendedInstall::finished, &app, [](ExitCode code) { QCoreApplication::exit(int(code)); },
        Qt::QueuedConnection);
    delegate.applicationDidFinishLaunching();
    run.start();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Transfers and hashing move 1 MiB pieces on threads that live for one
    // download attempt. With glibc's sliding threshold such pieces, once
    // freed, come back from the threads' own heaps, which keep them after the
    // threads end: every attempt on another host added megabytes for good.
    // A fixed threshold keeps large blocks mapped, and unmapped when freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    if (CommandLine::wantsWindow(argc, argv))
        return runWindow(argc, argv);
    return runWithoutWindow(argc, argv);
}
