#pragma once

#include <platform/net/DownloadTask.h>
#include <platform/platform_export.h>

#include <chrono>
#include <memory>
#include <optional>

namespace platform::net {

/**
 * Receives the events of the tasks of one DownloadSession.
 *
 * Every call runs on the session's own worker thread, one at a time, in the
 * order the events happened. For each task: any number of didWriteData(),
 * then, when the whole body arrived, didFinishDownloadingTo(), then exactly
 * one didCompleteWithError() (with no error after a finished download).
 */
class PLATFORM_EXPORT DownloadSessionDelegate {
public:
    virtual ~DownloadSessionDelegate();

    /// @p bytesWritten new bytes arrived; @p totalBytesWritten so far, of
    /// @p totalBytesExpected (-1 when the server announced no length).
    virtual void didWriteData(
        DownloadTask &task, std::int64_t bytesWritten, std::int64_t totalBytesWritten, std::int64_t totalBytesExpected)
        = 0;

    /// The body is complete in @p location: the request's destination, or a
    /// temporary file that is deleted as soon as this call returns (copy or
    /// move it here). task.digests() already holds its digests.
    virtual void didFinishDownloadingTo(DownloadTask &task, const QString &location) = 0;

    /// The task ended, successfully when @p error is empty.
    virtual void didCompleteWithError(DownloadTask &task, const std::optional<TransferError> &error) = 0;
};

/**
 * A set of HTTP(S) downloads that share one serial worker thread.
 *
 * Each session runs its transfers (libcurl) and its delegate callbacks on its
 * own thread, so a slow delegate slows only its own session. Responses are
 * written to the request's destination, or to a temporary file in the
 * system's temporary folder, and hashed (MD5, SHA-256, BLAKE2b-512) as they arrive.
 *
 * - An HTTP status of 400 or above ends the task with BadServerResponse: an
 *   error page is never handed over as a downloaded file.
 * - A task that receives nothing for the idle time-out (60 s by default)
 *   ends with TimedOut, and so does one that receives fewer than 1 KiB a
 *   second over 60 s (TransferError::tooSlow). A suspended task is never
 *   timed out.
 * - A body is not written into the last part of its volume: a task that
 *   would leave less free space than the reserve (the larger of 256 MiB and
 *   2 % of the volume) ends with CannotWriteToFile / WriteOutOfSpace, before
 *   the body when its announced length does not fit.
 * - Certificates are always verified. PRISMORA_CA_FILE names a PEM file of
 *   extra certificate authorities to trust (besides the system's).
 * - Redirects are followed, to HTTPS locations only.
 * - https_proxy, HTTPS_PROXY, no_proxy and NO_PROXY are honoured.
 * - A request with valid ResumeData continues the destination file with a
 *   Range / If-Range request; a 200 answer starts it over.
 *
 * @code
 * platform::net::DownloadSession session(&delegate);
 * auto task = session.downloadTask({QUrl("https://example.org/a.zip"), {{"Accept-Encoding", "application-x-zip"}}});
 * task->resume();
 * @endcode
 *
 * Destroying the session cancels its unfinished tasks (their delegates see
 * UrlError::Cancelled) and waits for its thread, unless it is destroyed from
 * within one of its own callbacks, in which case the thread winds down by
 * itself after the callback returns. The delegate must outlive the session.
 */
class PLATFORM_EXPORT DownloadSession {
public:
    static constexpr std::chrono::milliseconds defaultIdleTimeout { std::chrono::seconds(60) };

    /// How long a bad server may hold a task, and how much of the disk it may take.
    struct Limits {
        /// Nothing received for this long ends a task.
        std::chrono::milliseconds idleTimeout = defaultIdleTimeout;
        /// Fewer bytes a second than this, averaged over lowSpeedTime, end a task.
        std::int64_t lowSpeedLimit = 1024;
        std::chrono::milliseconds lowSpeedTime { std::chrono::seconds(60) };
        /// Free space a body leaves on its volume: the larger of the two.
        std::int64_t reserveBytes = std::int64_t(256) * 1024 * 1024;
        int reservePercent = 2;
    };

    /// @p idleTimeout exists for tests; the product uses the default.
    explicit DownloadSession(
        DownloadSessionDelegate *delegate, std::chrono::milliseconds idleTimeout = defaultIdleTimeout);
    /// Other @p limits exist for tests; the product uses the defaults.
    DownloadSession(DownloadSessionDelegate *delegate, const Limits &limits);
    ~DownloadSession();
    DownloadSession(const DownloadSession &) = delete;
    DownloadSession &operator=(const DownloadSession &) = delete;

    /// A new task for @p request, Suspended until resume().
    std::shared_ptr<DownloadTask> downloadTask(const DownloadRequest &request);

    /// Cancels every unfinished task; no new task may be started afterwards.
    void invalidateAndCancel();

    std::chrono::milliseconds idleTimeout() const;
    const Limits &limits() const;

private:
    std::shared_ptr<DownloadSessionCore> d;
};

} // namespace platform::net
