#pragma once

#include <QObject>
#include <QStringList>

#include <optional>

/**
 * Starts and ends the installer.
 *
 * At start it writes the application-information block to the log and lets
 * usage analytics join in; at termination it gives analytics its last word.
 * Connect applicationWillTerminate() to QCoreApplication::aboutToQuit so that
 * every way of quitting passes through it.
 */
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(QObject *parent = nullptr);

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    /// Closing the main window ends the installer.
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }

    /// Ends the installer in order: the event loop stops, and
    /// applicationWillTerminate() runs before the process exits. Windows
    /// closed on the way do not ask again.
    static void terminate();
    /// True once terminate() has been called.
    static bool isTerminating();

    /// The application-information block, marker lines included, for the
    /// given free space of the documents volume (nullopt when unknown).
    static QStringList applicationInfoLines(std::optional<qint64> freeBytes);

    /// @p bytes in decimal gigabytes without the unit: 2 decimals at most,
    /// trailing zeros dropped ("128.42", "5").
    static QString gigabytesText(qint64 bytes);

    /// Free bytes of the volume that holds the user's documents folder.
    static std::optional<qint64> documentsFreeSpace();

private:
    void writeApplicationInfo();
};
