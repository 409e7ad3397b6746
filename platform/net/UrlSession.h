#pragma once

#include <platform/net/UrlError.h>
#include <platform/platform_export.h>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace platform::net {

/// One HTTP request of a data task.
struct PLATFORM_EXPORT UrlRequest {
    QUrl url;
    /// "GET" unless set; a request with a body is usually "POST".
    QByteArray method = QByteArrayLiteral("GET");
    /// Header fields in the order they are sent.
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    /// Limit for the whole transfer, connection included. Default 60 seconds.
    std::chrono::milliseconds timeout { std::chrono::seconds(60) };
    /// When positive, a body longer than this many bytes ends the task with
    /// DataLengthExceedsMaximum as soon as it is known to be longer. When 0,
    /// the first UrlSession::maximumResponseSize bytes are kept and the rest dropped.
    qsizetype maximumSize = 0;
    /// Follows redirects (at most 16), to https locations only; off by default.
    bool followsRedirects = false;

    /// Sets header @p name to @p value, replacing an earlier value of that
    /// name (names compare without regard to case).
    void setHeader(const QByteArray &name, const QByteArray &value);
    /// The value of header @p name; empty when absent.
    QByteArray header(const QByteArray &name) const;
};

/// How a data task ended.
struct PLATFORM_EXPORT UrlResponse {
    /// None when an HTTP response arrived, whatever its status code.
    UrlError error = UrlError::None;
    /// The HTTP status code; 0 when no response arrived.
    int statusCode = 0;
    /// The response body, at most UrlSession::maximumResponseSize bytes.
    QByteArray data;
    /// libcurl's own description of a failure; empty on success.
    QString errorText;
};

/// Identifies one data task; 0 never identifies anything.
using TaskId = std::uint64_t;

/**
 * A URL session over libcurl for small request/response exchanges.
 *
 * Transfers run on the session's own worker thread (one libcurl multi
 * handle drives every task of the session concurrently); each task's
 * completion is handed to the main thread through
 * platform::Scheduler::shared().post(), so callers never see another thread.
 *
 * TLS verification is always on. When PRISMORA_CA_FILE names a readable PEM
 * file, its certificates are trusted in addition to the system's store.
 * Only http and https URLs are fetched; redirects are followed only when
 * the request asks for it.
 *
 * @code
 * platform::net::UrlRequest request;
 * request.url = QUrl("https://collector.example/mp/collect");
 * request.method = "POST";
 * request.setHeader("Content-Type", "application/json");
 * request.body = json;
 * platform::net::UrlSession::shared().dataTask(request, [](const platform::net::UrlResponse &response) {
 *     // main thread
 * });
 * @endcode
 */
class PLATFORM_EXPORT UrlSession {
public:
    using Completion = std::function<void(const UrlResponse &)>;

    /// Response bytes kept per task (1 MiB); the rest is read and dropped.
    static constexpr qsizetype maximumResponseSize = 1024 * 1024;

    UrlSession();
    /// Stops the worker. Tasks still running are abandoned without a completion.
    ~UrlSession();

    UrlSession(const UrlSession &) = delete;
    UrlSession &operator=(const UrlSession &) = delete;

    /// The process-wide session.
    static UrlSession &shared();

    /// Starts a data task for @p request. @p completion runs exactly once on
    /// the main thread, unless the session is destroyed first. Safe to call
    /// from any thread.
    TaskId dataTask(UrlRequest request, Completion completion);

    /// Stops task @p id; its completion reports UrlError::Cancelled.
    /// Unknown or finished ids are ignored.
    void cancel(TaskId id);

    /// Tasks started and not yet completed.
    int runningTaskCount() const;

    /// The extra certificate-authority file from PRISMORA_CA_FILE; empty when unset.
    static QString extraCaFile();

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace platform::net
