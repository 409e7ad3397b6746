// The response-head reader on any stream of status lines and header lines
// (split at LF, as libcurl hands them over): the validator sent back as
// If-Range is at most 1 KiB without control characters, a Content-Range start
// is reported only for a well-formed "bytes first-last/length" whose first
// byte it is, and a status line resets every field.
#include "FuzzInput.h"
#include "ResponseHead_p.h"

#include <QRegularExpression>

#include <cstdlib>

using platform::net::ResponseHead;

namespace {

/// The first byte of the last well-formed Content-Range among @p lines.
std::optional<std::int64_t> expectedRangeStart(const QList<QByteArray> &lines)
{
    static const QRegularExpression range(QStringLiteral("^bytes (\\d{1,18})-(\\d{1,18})/(\\d{1,18}|\\*)$"));
    std::optional<std::int64_t> start;
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || line.first(colon).trimmed().toLower() != "content-range")
            continue;
        const auto match = range.match(QString::fromLatin1(line.sliced(colon + 1).trimmed()));
        const qint64 first = match.captured(1).toLongLong(), last = match.captured(2).toLongLong();
        const bool known = match.captured(3) != QLatin1String("*");
        start = match.hasMatch() && first <= last && (!known || last < match.captured(3).toLongLong())
            ? std::optional(first)
            : std::nullopt;
    }
    return start;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QList<QByteArray> lines = FuzzInput::bytes(data, size).split('\n');
    ResponseHead head;
    qsizetype current = 0; // where the last status line starts the head
    for (qsizetype i = 0; i < lines.size(); ++i) {
        head.addLine(lines[i]);
        if (lines[i].trimmed().startsWith("HTTP/"))
            current = i;
    }
    const QByteArray validator = head.validator();
    if (validator.size() > 1024 || !platform::net::isUsableValidator(validator) != validator.isEmpty()
        || std::ranges::any_of(validator, [](char c) { return uchar(c) < 0x20 || uchar(c) == 0x7f; }))
        std::abort();
    if (head.rangeStart() != expectedRangeStart(lines.sliced(current)))
        std::abort();
    ResponseHead last;
    for (const QByteArray &line : lines.sliced(current))
        last.addLine(line);
    if (last.status() != head.status() || last.validator() != validator || last.rangeStart() != head.rangeStart())
        std::abort();
    return 0;
}
