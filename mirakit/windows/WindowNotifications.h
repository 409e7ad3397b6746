#pragma once

#include <mirakit/mirakit_export.h>

#include <QString>

class QWidget;

namespace mira {

/**
 * Posts "window will close" and "window did resize" on the default
 * platform::NotificationCenter for the windows it is asked to watch, with
 * the window as the notification's object.
 *
 * "Will close" is posted only for a close that the window accepted, after
 * its closeEvent() and before it disappears; a refused close posts nothing.
 *
 * @code
 * mira::WindowNotifications::watch(parentWindow);
 * platform::NotificationCenter::defaultCenter().addObserver(
 *     mira::WindowNotifications::didResize(), this, [](const platform::Notification &n) { ... });
 * @endcode
 */
class MIRAKIT_EXPORT WindowNotifications {
public:
    static QString willClose();
    static QString didResize();

    /// Starts posting for @p window (once per window, for its lifetime).
    static void watch(QWidget *window);
};

} // namespace mira
