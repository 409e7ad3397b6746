#pragma once

#include <mirakit/mirakit_export.h>

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

class QWidget;

namespace mira {

class DisplayLinkPrivate;

/**
 * A frame clock: while it runs it emits ticked() once per refresh of the
 * screen that shows its widget (the primary screen when there is none).
 *
 * Ticks come from platform::Scheduler::shared(), repeating at the screen's
 * refresh rate (60 Hz when the screen reports none, or an absurd one), so
 * tests drive it with a ManualScheduler. A tick that comes late is not made
 * up for: a stalled main thread gets one tick afterwards, not a burst, so a
 * receiver that animates should measure the time since its last tick rather
 * than count ticks.
 *
 * A new link is paused. setPaused(false) (or add()) starts it, reading the
 * refresh rate of the screen at that moment; setPaused(true) stops it,
 * invalidate() stops it for good. Destroying the link stops it.
 *
 * A link may also be made for a target and a method: each tick then calls
 * the target's slot or invokable of that name, without arguments when it
 * takes none, with the link when it takes one DisplayLink pointer. A method
 * the link cannot call so (another signature, or no such method) leaves the
 * tick to callback(), which also serves a link made without a target.
 *
 * @code
 * auto *link = new mira::DisplayLink(view, "advance", view);
 * link->add();
 * @endcode
 */
class MIRAKIT_EXPORT DisplayLink : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool paused READ isPaused WRITE setPaused NOTIFY pausedChanged)

public:
    /// Receives the link on each tick when its method cannot be called.
    using Callback = std::function<void(DisplayLink *)>;

    /// A paused link paced by the screen of @p widget (may be null).
    explicit DisplayLink(QWidget *widget = nullptr, QObject *parent = nullptr);
    /// A paused link that calls @p method of @p target (held weakly) on each
    /// tick, paced by the screen of @p widget.
    DisplayLink(QObject *target, const char *method, QWidget *widget = nullptr, QObject *parent = nullptr);
    /// A paused link that calls @p callback on each tick.
    explicit DisplayLink(Callback callback, QWidget *widget = nullptr, QObject *parent = nullptr);
    ~DisplayLink() override;

    /// Starts the link on platform::Scheduler::shared(), as setPaused(false) does.
    void add();
    Callback callback() const;
    void setCallback(Callback callback);

    /// True until the link is started, and again once paused or invalidated. Default true.
    bool isPaused() const;
    /// Starts or stops the ticks. Starting an invalidated link does nothing.
    void setPaused(bool paused);
    /// Stops the link for good.
    void invalidate();
    /// False once invalidated.
    bool isValid() const;

    /// The time between two refreshes of the screen, in seconds.
    double duration() const;
    /// The scheduler time of the latest tick, in seconds since the epoch; 0 before the first.
    double timestamp() const;
    /// The interval the ticks repeat at (whole milliseconds, at least 1).
    std::chrono::milliseconds frameInterval() const;

    /// @p reported if it is a usable refresh rate in Hz, else 60.
    static double usableRefreshRate(double reported);

Q_SIGNALS:
    /// One refresh passed (or more, when the main thread was busy).
    void ticked();
    void pausedChanged(bool paused);

private:
    /// Calls the target's method, or else the callback.
    void deliver();

    std::unique_ptr<DisplayLinkPrivate> const d;
};

} // namespace mira
