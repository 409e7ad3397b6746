#pragma once

#include <QObject>

#include <functional>

/**
 * Starts the installed product and says how that went.
 *
 * start() opens the page that follows an installation in the user's browser
 * (the text of "URL_Install_Complete"), then starts the bundle at
 * Product::installedPath() with Launcher and, when that fails, through the
 * workspace service. Exactly one of launched() and failed() follows, on the
 * main thread; a failure is also reported as a usage event
 * ("Start_Application_Failed").
 *
 * @code
 * LaunchStep launch([](const QString &action, const QString &label) { GA::installStep(action, label); });
 * QObject::connect(&launch, &LaunchStep::launched, [] { ... });
 * launch.start();
 * @endcode
 */
class LaunchStep : public QObject {
    Q_OBJECT
public:
    /// Reports a usage event (action, label).
    using EventReporter = std::function<void(const QString &action, const QString &label)>;

    explicit LaunchStep(EventReporter report, QObject *parent = nullptr);

    /// Starts the product; call on the main thread.
    void start();

Q_SIGNALS:
    /// The product was started.
    void launched();
    /// The product could not be started (it is missing or would not run).
    void failed();

private:
    void startThroughWorkspace(const QString &application);

    EventReporter m_report;
};
