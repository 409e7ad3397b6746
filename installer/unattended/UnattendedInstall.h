#pragma once

#include "CommandLine.h"
#include "ExitCode.h"

#include <installer/install/FailedReason.h>
#include <installer/install/InstallTransaction.h>

#include <QElapsedTimer>
#include <QObject>

class EventWriter;

/**
 * One install without a window: the steps the window's pages take, driven
 * from the command line, each told to an EventWriter.
 *
 * The run downloads from the hosts (or copies the --archive file), checks
 * the archive exactly as the window's flow does, asks a running copy of the
 * product to quit, installs with InstallTransaction, writes the tracking
 * record and desktop entry, starts the product unless told not to, and sends
 * the same usage events. Differences from the window: administrator rights
 * are never asked for (an installed copy the user may not replace ends the
 * run with ExitCode::permission), and an installed copy whose version equals
 * the archive's is left alone unless Options::force is set. When the
 * archive's accepted signature names its version ("version:" in the trusted
 * comment) and that version is installed, the archive is not even fetched.
 *
 * @code
 * UnattendedInstall run(options, writer);
 * QObject::connect(&run, &UnattendedInstall::finished, &app, [](ExitCode code) { QCoreApplication::exit(int(code)); });
 * run.start();
 * @endcode
 */
class UnattendedInstall : public QObject {
    Q_OBJECT
public:
    UnattendedInstall(CommandLine::Options options, EventWriter &writer, QObject *parent = nullptr);
    ~UnattendedInstall() override;

    /// Starts the run on the main thread's event loop; finished() tells how it ended.
    void start();
    /// Ends the run for SIGINT or SIGTERM: the transfer stops, an install in
    /// progress completes or rolls back, the work folder goes.
    void interrupt(int signalNumber);

Q_SIGNALS:
    /// Emitted once, when the run has ended.
    void finished(ExitCode code);

private:
    void observe();
    void progressed();
    void downloaded();
    void downloadFailed();
    /// The installed copy has the archive's version: nothing to do.
    void alreadyCurrent();
    void attemptFailed(const QString &host, FailedReason reason, bool verification, const QString &detail);
    void installEnded(const InstallTransaction::Result &result);
    void launched();
    void launchFailed();
    void fail(ExitCode code, const QString &reason, const QString &message);
    void finish(ExitCode code);
    /// Why the applications folder cannot be used; nothing when it can.
    std::optional<std::pair<ExitCode, QString>> applicationsFolderRefusal() const;

    const CommandLine::Options m_options;
    EventWriter &m_writer;
    QElapsedTimer m_lastProgress;
    bool m_verificationFailed = false;
    bool m_ended = false;
};
