#pragma once

#include <platform/FileError.h>
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

namespace platform::net {

class DownloadSession;
class DownloadSessionCore;

/// What to fetch: the URL and extra request header fields.
struct DownloadRequest {
    QUrl url;
    QList<QPair<QByteArray, QByteArray>> headers;
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
 * stops reading from the server (the connection stays open and the idle
 * time-out does not run while suspended); resume() continues where it
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

    /// Bytes stored so far; 0 before the first byte.
    std::int64_t countOfBytesReceived() const;
    /// Bytes the server announced; -1 when it announced none (or before the response).
    std::int64_t countOfBytesExpectedToReceive() const;

    void resume();
    void suspend();
    void cancel();

private:
    friend class DownloadSession;
    struct Transfer;
    friend class DownloadSessionCore;
    DownloadTask(DownloadRequest request, std::weak_ptr<DownloadSessionCore> session);
    void wakeSession() const;

    const std::uint64_t m_identifier;
    const DownloadRequest m_request;
    const std::weak_ptr<DownloadSessionCore> m_session;
    std::atomic<State> m_state { State::Suspended };
    std::atomic<std::int64_t> m_received { 0 };
    std::atomic<std::int64_t> m_expected { -1 };
    std::unique_ptr<Transfer> m_transfer; // touched only on the session's worker thread
};

} // namespace platform::net
