#pragma once

#include <platform/net/UrlError.h>

#include <QByteArray>
#include <QUrl>

#include <functional>

/**
 * Carries one analytics request to the collection endpoint.
 *
 * Analytics hands every request to one transport: the program uses
 * UrlSessionTransport, tests install an in-process one with
 * Analytics::setTransport().
 */
class AnalyticsTransport {
public:
    /// What came back: a transfer error, or the HTTP status of the answer.
    struct Outcome {
        platform::net::UrlError error = platform::net::UrlError::None;
        int statusCode = 0;
    };
    using Done = std::function<void(const Outcome &)>;

    virtual ~AnalyticsTransport();

    /// POSTs @p body (JSON) to @p url. @p done runs exactly once, on the main
    /// thread, after send() has returned.
    virtual void send(const QUrl &url, const QByteArray &body, Done done) = 0;
};

/**
 * The transport of the program: a POST with "Content-Type: application/json"
 * and a 60-second time-out on the shared platform::net::UrlSession.
 */
class UrlSessionTransport final : public AnalyticsTransport {
public:
    /// Time-out of one request (60 seconds).
    static constexpr int timeoutSeconds = 60;

    void send(const QUrl &url, const QByteArray &body, Done done) override;
};
