#include "ResponseHead_p.h"

#include <algorithm>

namespace platform::net {

namespace {

constexpr qsizetype maximumValidatorLength = 1024;
constexpr qsizetype maximumOffsetDigits = 18; // stays below 2^63

/// The number spelled by @p digits: 1 to 18 decimal digits, so below 2^63.
std::optional<std::int64_t> parseOffset(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > maximumOffsetDigits)
        return std::nullopt;
    std::int64_t value = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        value = value * 10 + (digit - '0');
    }
    return value;
}

/// The first byte of "bytes <first>-<last>/<length or *>", a range that lies inside the length.
std::optional<std::int64_t> parseRangeStart(QByteArrayView value)
{
    if (!value.startsWith("bytes "))
        return std::nullopt;
    value = value.sliced(6);
    const qsizetype dash = value.indexOf('-');
    const qsizetype slash = value.indexOf('/');
    if (dash < 0 || slash < dash)
        return std::nullopt;
    const auto first = parseOffset(value.first(dash));
    const auto last = parseOffset(value.sliced(dash + 1, slash - dash - 1));
    const QByteArrayView length = value.sliced(slash + 1);
    if (!first || !last || *last < *first)
        return std::nullopt;
    if (length == "*")
        return first;
    const auto total = parseOffset(length);
    return total && *last < *total ? first : std::nullopt;
}

} // namespace

bool isUsableValidator(QByteArrayView validator)
{
    return !validator.isEmpty() && validator.size() <= maximumValidatorLength
        && std::none_of(validator.begin(), validator.end(), [](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return byte < 0x20 || byte == 0x7f;
           });
}

bool ResponseHead::addLine(QByteArrayView line)
{
    line = line.trimmed();
    if (line.isEmpty())
        return true;
    if (line.startsWith("HTTP/")) {
        *this = ResponseHead();
        const qsizetype space = line.indexOf(' ');
        if (space > 0)
            m_status = line.sliced(space + 1).first(std::min<qsizetype>(3, line.size() - space - 1)).toInt();
        return false;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return false;
    const QByteArray name = line.first(colon).trimmed().toByteArray().toLower();
    const QByteArrayView value = line.sliced(colon + 1).trimmed();
    if (name == "etag")
        m_etag = value.startsWith("W/") ? QByteArray() : value.toByteArray();
    else if (name == "last-modified")
        m_lastModified = value.toByteArray();
    else if (name == "content-range")
        m_rangeStart = parseRangeStart(value);
    return false;
}

QByteArray ResponseHead::validator() const
{
    if (isUsableValidator(m_etag))
        return m_etag;
    if (isUsableValidator(m_lastModified))
        return m_lastModified;
    return QByteArray();
}

} // namespace platform::net
