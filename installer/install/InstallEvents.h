#pragma once

#include <QObject>

/**
 * What the installer tells its pages beyond the notifications: typed
 * signals, emitted on the main thread.
 */
class InstallEvents : public QObject {
    Q_OBJECT
Q_SIGNALS:
    /// The installed copy could not be moved aside and administrator rights
    /// were refused: nothing was changed and the install stops.
    void replaceBlocked();
};
