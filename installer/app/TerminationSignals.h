#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

/**
 * Turns SIGTERM and SIGINT into an orderly quit on the main thread.
 *
 * The signal handler only writes the signal number into a pipe; a socket
 * notifier on the main thread reads it and runs the handler, by default
 * AppDelegate::terminate(), so the analytics flush and the termination pause
 * run exactly as for a quit from the window. The previous dispositions come
 * back when the object is destroyed. One instance at a time.
 *
 * @code
 * QApplication app(argc, argv);
 * TerminationSignals terminationSignals;
 * return app.exec();
 * @endcode
 */
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int signalNumber)>;

    /// Installs the handlers; @p handler runs on the main thread for each
    /// signal received. An empty handler means AppDelegate::terminate().
    explicit TerminationSignals(Handler handler = {}, QObject *parent = nullptr);
    ~TerminationSignals() override;

    /// True when the signal handlers are in place.
    bool isActive() const;

Q_SIGNALS:
    /// Emitted on the main thread for every SIGTERM or SIGINT received.
    void received(int signalNumber);

private:
    void readSignals();

    Handler m_handler;
    QSocketNotifier *m_notifier = nullptr;
    bool m_active = false;
};
