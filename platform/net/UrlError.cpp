#include "UrlError.h"

#include <curl/curl.h>

namespace platform::net {

UrlError urlErrorFromCurl(int curlCode)
{
    switch (CURLcode(curlCode)) {
    case CURLE_OK:
        return UrlError::None;
    case CURLE_ABORTED_BY_CALLBACK:
        return UrlError::Cancelled;
    case CURLE_URL_MALFORMAT:
        return UrlError::BadURL;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return UrlError::UnsupportedURL;
    case CURLE_OPERATION_TIMEDOUT:
        return UrlError::TimedOut;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return UrlError::CannotFindHost;
    case CURLE_COULDNT_CONNECT:
        return UrlError::CannotConnectToHost;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return UrlError::NetworkConnectionLost;
    case CURLE_TOO_MANY_REDIRECTS:
        return UrlError::HTTPTooManyRedirects;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
        return UrlError::SecureConnectionFailed;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        return UrlError::ServerCertificateUntrusted;
    case CURLE_BAD_CONTENT_ENCODING:
        return UrlError::CannotDecodeContentData;
    case CURLE_WRITE_ERROR:
        return UrlError::CannotWriteToFile;
    default:
        return UrlError::Unknown;
    }
}

QString urlErrorDescription(UrlError error)
{
    switch (error) {
    case UrlError::None:
        return QStringLiteral("No error.");
    case UrlError::Cancelled:
        return QStringLiteral("cancelled");
    case UrlError::BadURL:
        return QStringLiteral("unsupported URL");
    case UrlError::TimedOut:
        return QStringLiteral("The request timed out.");
    case UrlError::UnsupportedURL:
        return QStringLiteral("unsupported URL");
    case UrlError::CannotFindHost:
        return QStringLiteral("A server with the specified hostname could not be found.");
    case UrlError::CannotConnectToHost:
        return QStringLiteral("Could not connect to the server.");
    case UrlError::NetworkConnectionLost:
        return QStringLiteral("The network connection was lost.");
    case UrlError::NotConnectedToInternet:
        return QStringLiteral("The Internet connection appears to be offline.");
    case UrlError::BadServerResponse:
        return QStringLiteral("The server returned a bad response.");
    case UrlError::DataLengthExceedsMaximum:
        return QStringLiteral("resource exceeds maximum size");
    case UrlError::SecureConnectionFailed:
        return QStringLiteral("An SSL error has occurred and a secure connection to the server cannot be made.");
    case UrlError::ServerCertificateUntrusted:
        return QStringLiteral("The certificate for this server is invalid.");
    case UrlError::CannotWriteToFile:
        return QStringLiteral("The file could not be written.");
    default:
        return QStringLiteral("An unknown error occurred.");
    }
}

} // namespace platform::net
