#include "AnalyticsTransport.h"

#include <platform/net/UrlSession.h>

AnalyticsTransport::~AnalyticsTransport() = default;

void UrlSessionTransport::send(const QUrl &url, const QByteArray &body, Done done)
{
    platform::net::UrlRequest request;
    request.url = url;
    request.method = QByteArrayLiteral("POST");
    request.setHeader(QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json"));
    request.body = body;
    request.timeout = std::chrono::seconds(timeoutSeconds);
    platform::net::UrlSession::shared().dataTask(
        std::move(request), [done = std::move(done)](const platform::net::UrlResponse &response) {
            done(Outcome { response.error, response.statusCode });
        });
}
