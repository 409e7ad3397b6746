#pragma once

#include <mirakit/mirakit_export.h>

#include <QByteArray>
#include <QString>

/**
 * @file
 * Byte-data helpers.
 *
 * `xor` is a reserved word in C++, so the key scrambling is called xored().
 *
 * @code
 * const QByteArray hidden = mira::xored(payload, QStringLiteral("k3y"));
 * Q_ASSERT(mira::xored(hidden, QStringLiteral("k3y")) == payload);
 * @endcode
 */
namespace mira {

/// Each byte of @p data combined by exclusive-or with the UTF-8 bytes of
/// @p key, the key repeated along the data. Applying it twice with the same
/// key gives the data back. An empty key leaves the data unchanged.
MIRAKIT_EXPORT QByteArray xored(const QByteArray &data, const QString &key);

} // namespace mira
