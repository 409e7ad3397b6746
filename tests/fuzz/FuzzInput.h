#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

/// Views of one fuzzer input, without copying where Qt allows it.
namespace FuzzInput {

inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

/// The input as UTF-8 text (invalid sequences become U+FFFD).
inline QString text(const std::uint8_t *data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

/// The input split at NUL bytes: the first part, then the others.
inline QStringList parts(const std::uint8_t *data, std::size_t size)
{
    QStringList list;
    for (const QByteArray &part : bytes(data, size).split('\0'))
        list << QString::fromUtf8(part);
    return list;
}

} // namespace FuzzInput
