#pragma once

// Internal to DownloadSession and DownloadTask: what a task needs of the
// thread that runs its transfer.

namespace platform::net {

/// The worker thread of a download session, as its tasks see it.
class DownloadWorker {
public:
    /// Makes the worker look at its tasks' states again. Safe from any thread.
    virtual void wake() = 0;

protected:
    ~DownloadWorker() = default;
};

} // namespace platform::net
