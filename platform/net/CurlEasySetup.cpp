#include "CurlEasySetup_p.h"

#include <QCoreApplication>
#include <QFile>

namespace platform::net {

namespace {

// Longest a PEM file of extra authorities may be; a larger file is not one.
constexpr qint64 maximumCaFileSize = 4 * 1024 * 1024;

QByteArray readExtraAuthorities()
{
    const QString path = extraAuthoritiesFile();
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumCaFileSize)
        return {};
    return file.readAll();
}

} // namespace

QString extraAuthoritiesFile()
{
    return qEnvironmentVariable("PRISMORA_CA_FILE");
}

void setUpEasyHandle(CURL *easy, Redirects redirects, char *errorBuffer)
{
    CurlLibrary &curl = CurlLibrary::instance();
    curl.easySetopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl.easySetopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (QByteArray authorities = readExtraAuthorities(); !authorities.isEmpty()) {
        curl_blob blob { authorities.data(), size_t(authorities.size()), CURL_BLOB_COPY };
        curl.easySetopt(easy, CURLOPT_CAINFO_BLOB, &blob);
    }
    curl.easySetopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    if (redirects == Redirects::HttpsOnly) {
        curl.easySetopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl.easySetopt(easy, CURLOPT_MAXREDIRS, 16L);
        curl.easySetopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    }
    curl.easySetopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl.easySetopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl.easySetopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    const QByteArray agent = QCoreApplication::applicationName().toUtf8();
    if (!agent.isEmpty())
        curl.easySetopt(easy, CURLOPT_USERAGENT, agent.constData());
}

} // namespace platform::net
