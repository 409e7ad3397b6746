#pragma once

// Internal to DownloadSession: what a download needs from response headers.

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace platform::net {

/// True for a validator fit to send back as If-Range: 1 to 1024 bytes, no control characters.
bool isUsableValidator(QByteArrayView validator);

/**
 * The status and the few fields of one response's header a download acts on,
 * gathered from the lines libcurl hands over one by one. A status line starts
 * a new head, so the fields of a redirect or an interim response never leak
 * into the final one.
 */
class ResponseHead {
public:
    /// Takes one line, CRLF included. Returns true for the empty line that ends the head.
    bool addLine(QByteArrayView line);

    /// The status code; 0 before a status line.
    int status() const { return m_status; }
    /// First byte of a "bytes <first>-<last>/<length>" Content-Range; empty when absent, malformed, or
    /// when the range is reversed or reaches past the length.
    std::optional<std::int64_t> rangeStart() const { return m_rangeStart; }
    /// The strong ETag, else the Last-Modified date; empty when neither is usable.
    /// A weak ETag never matches If-Range, so it does not count.
    QByteArray validator() const;

private:
    int m_status = 0;
    QByteArray m_etag;
    QByteArray m_lastModified;
    std::optional<std::int64_t> m_rangeStart;
};

} // namespace platform::net
