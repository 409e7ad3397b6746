#pragma once

// Internal to the URL and download sessions: what every transfer shares.

#include "CurlLibrary.h"

#include <QString>

namespace platform::net {

enum class Redirects {
    Refused, ///< a 3xx answer is handed over as it is
    HttpsOnly, ///< followed (at most 16), to https locations only
};

/// The PEM file of extra certificate authorities PRISMORA_CA_FILE names; empty when unset.
QString extraAuthoritiesFile();

/**
 * Applies the settings every HTTP transfer of the program shares to a new
 * libcurl easy handle, so that downloads and data tasks cannot drift apart:
 *
 * - TLS verification of the peer and its host name, always on. The PEM file
 *   PRISMORA_CA_FILE names (at most 4 MiB, read on every call) adds trusted
 *   authorities; the system's stay trusted.
 * - http and https only; @p redirects says whether 3xx answers are followed.
 * - Proxies come from the environment: nothing here sets one, so libcurl's
 *   reading of https_proxy, HTTPS_PROXY, no_proxy and NO_PROXY applies. The
 *   proxy's answer to CONNECT never reaches the header or body callbacks.
 * - No signals (transfers run on worker threads); the application name, when
 *   set, as User-Agent; libcurl's wording of a failure in @p errorBuffer
 *   (CURL_ERROR_SIZE bytes, alive as long as the handle).
 */
void setUpEasyHandle(CURL *easy, Redirects redirects, char *errorBuffer);

} // namespace platform::net
