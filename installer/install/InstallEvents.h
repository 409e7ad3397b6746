#pragma once

#include "FailedReason.h"
#include "InstallTransaction.h"

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

    /// One host's attempt failed (the next host, if any, is tried next).
    /// @p verification is true when what the host served was refused: its
    /// signature, or an archive that failed its size, SHA-256, signature or
    /// zip check. @p detail is the log's wording.
    void attemptFailed(const QString &host, FailedReason reason, bool verification, const QString &detail);

    /// The archive was not fetched: the check set with
    /// DownLoader::setArchiveNeeded() answered no for the host's accepted
    /// @p signature. The run has ended; nothing was downloaded or changed.
    void archiveNotNeeded(const QString &trustedComment);

    /// An install() ended, whatever its outcome.
    void installEnded(const InstallTransaction::Result &result);
};
