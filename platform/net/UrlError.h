#pragma once

#include <platform/platform_export.h>

#include <QString>

namespace platform::net {

/**
 * Transfer failures, numbered like the URL-loading error codes the
 * installer's classification tables and stored values use. The codes marked
 * "never the result of a transfer here" are named so that those tables can
 * list them by name.
 */
enum class UrlError : int {
    None = 0,
    Unknown = -1,
    Cancelled = -999,
    BadURL = -1000,
    TimedOut = -1001,
    UnsupportedURL = -1002,
    CannotFindHost = -1003,
    CannotConnectToHost = -1004,
    NetworkConnectionLost = -1005,
    DNSLookupFailed = -1006,
    HTTPTooManyRedirects = -1007,
    ResourceUnavailable = -1008,
    NotConnectedToInternet = -1009,
    BadServerResponse = -1011,
    ZeroByteResource = -1014,
    CannotDecodeContentData = -1016,
    CannotParseResponse = -1017,
    InternationalRoamingOff = -1018, ///< never the result of a transfer here
    CallIsActive = -1019, ///< never the result of a transfer here
    DataNotAllowed = -1020, ///< never the result of a transfer here
    RequestBodyStreamExhausted = -1021, ///< never the result of a transfer here
    DataLengthExceedsMaximum = -1103,
    SecureConnectionFailed = -1200,
    ServerCertificateHasBadDate = -1201,
    ServerCertificateUntrusted = -1202,
    ServerCertificateHasUnknownRoot = -1203,
    CannotLoadFromNetwork = -2000, ///< never the result of a transfer here
    CannotCreateFile = -3000,
    CannotOpenFile = -3001,
    CannotWriteToFile = -3003,
};

/**
 * Maps a libcurl result (a CURLcode) to its URL error.
 *
 * | libcurl result                                   | URL error |
 * |--------------------------------------------------|-----------|
 * | OK                                               | None |
 * | ABORTED_BY_CALLBACK (our cancel)                 | Cancelled (-999) |
 * | URL_MALFORMAT                                    | BadURL (-1000) |
 * | UNSUPPORTED_PROTOCOL                             | UnsupportedURL (-1002) |
 * | OPERATION_TIMEDOUT                               | TimedOut (-1001) |
 * | COULDNT_RESOLVE_HOST, COULDNT_RESOLVE_PROXY      | CannotFindHost (-1003) |
 * | COULDNT_CONNECT                                  | CannotConnectToHost (-1004) |
 * | RECV_ERROR, SEND_ERROR, PARTIAL_FILE, GOT_NOTHING, HTTP2, HTTP2_STREAM | NetworkConnectionLost (-1005) |
 * | TOO_MANY_REDIRECTS                               | HTTPTooManyRedirects (-1007) |
 * | SSL_CONNECT_ERROR and other TLS handshake errors | SecureConnectionFailed (-1200) |
 * | PEER_FAILED_VERIFICATION, SSL_CACERT_BADFILE     | ServerCertificateUntrusted (-1202) |
 * | BAD_CONTENT_ENCODING                             | CannotDecodeContentData (-1016) |
 * | WRITE_ERROR                                      | CannotWriteToFile (-3003) |
 * | anything else                                    | Unknown (-1) |
 */
PLATFORM_EXPORT UrlError urlErrorFromCurl(int curlCode);

/// A short English description for logs ("The request timed out.").
PLATFORM_EXPORT QString urlErrorDescription(UrlError error);

} // namespace platform::net
