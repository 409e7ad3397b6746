#pragma once

#include <platform/FileError.h>
#include <platform/net/DownloadDigests.h>
#include <platform/net/UrlError.h>
#include <platform/platform_export.h>

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace platform::net {

class DownloadSession;
class DownloadSessionCore;
class DownloadWorker;

/**
 * Where an earlier, interrupted download of the same URL stopped.
 *
 * @c offset is the number of bytes already in the destination file (0 by
 * default: nothing to resume); @c validator is the response's strong ETag,
 * or its Last-Modified date when it had none, sent back as If-Range so that
 * the server sends the rest only if the file is still the same.
 */
struct PLATFORM_EXPORT ResumeData {
    std::int64_t offset = 0;
    QByteArray validator;

    /// True when a Range request can be made: a positive offset and a
    /// validator of at most 1 KiB without control characters.
    bool isValid() const;
};

/**
 * What to fetch: the URL and extra request header fields, and where to.
 *
 * With an empty @c destination (the default) the body goes to a temporary
 * file that is deleted after didFinishDownloadingTo(). Otherwise it goes to
 * exactly that path: created with mode 0600 if missing, never through a
 * symbolic link, truncated before the body is written, and left in place
 * whatever the outcome (the caller owns it). A valid @c resume continues the
 * file from @c resume.offset when it holds at least that many bytes.
 */
struct DownloadRequest {
    QUrl url;
    QList<QPair<QByteArray, QByteArray>> headers = {};
    QString destination = {};
    ResumeData resume = {};
    /// When not negative, a body that makes the file longer than this ends
    /// the task with BadServerResponse (an announced length at once).
    std::int64_t maximumSize = -1;
};

/**
 * Why a transfer ended without a file.
 *
 * @c code is the URL error; @c fileError tells, for CannotWriteToFile, why
 * the downloaded bytes could not be stored (WriteOutOfSpace for a full disk);
 * @c detail is libcurl's own wording, for logs only.
 */
struct PLATFORM_EXPORT TransferError {
    UrlError code = UrlError::Unknown;
    FileError fileError = FileError::None;
    QString detail;
    /// For TimedOut: the server kept sending, but slower than the session's minimum speed.
    bool tooSlow = false;

    /// Numeric code as stored and classified (-1001, -999, ...).
    int errorCode() const { return int(code); }
    /// The short user-facing sentence ("The request timed out.").
    QString localizedDescription() const;
    /// One line for logs: code, sentence and libcurl's detail.
    QString description() const;
};

/**
 * One download made by a DownloadSession.
 *
 * A task starts Suspended; resume() starts the transfer. suspend() really
 * stops reading from the server (the connection stays open and neither the
 * idle time-out nor the minimum speed applies while suspended); resume() continues where it
 * stopped. cancel() ends the transfer with UrlError::Cancelled.
 *
 * The calls may be made from any thread; they take effect on the session's
 * worker thread, where every delegate callback runs.
 */
class PLATFORM_EXPORT DownloadTask {
public:
    enum class State {
        Running,
        Suspended,
        Canceling,
        Completed,
    };

    ~DownloadTask();
    DownloadTask(const DownloadTask &) = delete;
    DownloadTask &operator=(const DownloadTask &) = delete;

    /// Unique within the process; never 0.
    std::uint64_t taskIdentifier() const;
    const DownloadRequest &request() const;
    /// The state as last requested (Running right after resume()), or Completed.
    State state() const;

    /// Bytes of the file stored so far, a resumed prefix included; 0 before the response.
    std::int64_t countOfBytesReceived() const;
    /// Size of the whole file as the server announced it (a resumed prefix
    /// included); -1 when it announced none (or before the response).
    std::int64_t countOfBytesExpectedToReceive() const;

    /// MD5, SHA-256 and BLAKE2b-512 of the whole file, computed while the
    /// bytes arrived (a resumed prefix is hashed once, from the disk).
    /// Set before didFinishDownloadingTo(); empty for a task that failed.
    DownloadDigests digests() const;

    /// How to continue this download in a new task after it failed or was
    /// cancelled: the bytes flushed to the destination and the validator of
    /// the response they came from (of the request when no response came).
    /// Invalid (offset 0) without a destination, without a validator, when
    /// nothing is on disk, or after a task that finished.
    ResumeData resumeData() const;

    void resume();
    void suspend();
    void cancel();

private:
    friend class DownloadSession;
    struct Transfer;
    friend class DownloadSessionCore;
    DownloadTask(DownloadRequest request, std::weak_ptr<DownloadWorker> session);
    void wakeSession() const;

    const std::uint64_t m_identifier;
    const DownloadRequest m_request;
    const std::weak_ptr<DownloadWorker> m_session;
    std::atomic<State> m_state { State::Suspended };
    std::atomic<std::int64_t> m_received { 0 };
    std::atomic<std::int64_t> m_expected { -1 };
    mutable std::mutex m_resultMutex; // guards the two results below, written on the worker thread
    DownloadDigests m_digests;
    ResumeData m_resumeData;
    std::unique_ptr<Transfer> m_transfer; // touched only on the session's worker thread
};

} // namespace platform::net
