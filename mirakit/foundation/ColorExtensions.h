#pragma once

#include <mirakit/mirakit_export.h>

#include <QColor>
#include <QString>

/**
 * @file
 * Colour constructors, hex-text parsing, component accessors and
 * interpolation.
 *
 * Channels are 8-bit numbers divided by 255. Every text form takes hostile
 * input (empty, huge, non-hex) without failing: it answers the documented
 * fallback colour instead.
 *
 * @code
 * palette.setColor(QPalette::Window, mira::rgb(0x3BE5A2));
 * const QColor border = mira::rgb(QStringLiteral("#3BE5A2"), 0.4);
 * const QColor glass = mira::argb(0x80FFFFFF);
 * @endcode
 */
namespace mira {

/// The colour 0xRRGGBB taken from the three low bytes of @p hex (higher bits
/// are ignored) with @p alpha. Alpha is clamped to 0…1; NaN reads as 1.
MIRAKIT_EXPORT QColor rgb(quint32 hex, qreal alpha = 1.0);

/**
 * The colour written as hex text, with @p alpha clamped to 0…1 (NaN reads
 * as 1).
 *
 * The text is lower-cased and trimmed; when it starts with "0x" every "0x"
 * is removed, otherwise every "#". Three digits are doubled ("f80" reads as
 * "ff8800"). Red, green and blue come from the three low bytes of the value.
 *
 * Fallback: an empty text, a text with anything but hex digits left, or a
 * value wider than 32 bits gives opaque white (alpha 1, whatever @p alpha
 * was given).
 */
MIRAKIT_EXPORT QColor rgb(const QString &hex, qreal alpha = 1.0);

/// The colour 0xRRGGBBAA from the four low bytes of @p hex, most significant
/// first; higher bits are ignored.
MIRAKIT_EXPORT QColor rgba(quint64 hex);

/**
 * The colour written as RRGGBBAA hex text.
 *
 * Prefixes are removed as for rgb(). A text shorter than five characters
 * has each character doubled first ("f80c" reads as "ff8800cc"); note that
 * three digits therefore read as 0x00RRGGBB. The value is then read like
 * the number form.
 *
 * Fallback: an empty or non-hex text, or a value wider than 64 bits, gives
 * white with alpha 0.
 */
MIRAKIT_EXPORT QColor rgba(const QString &hex);

/// The colour 0xAARRGGBB: alpha from the top byte.
MIRAKIT_EXPORT QColor argb(quint32 hex);

/**
 * The colour written as AARRGGBB hex text. Prefixes are removed as for
 * rgb(); digits are never doubled.
 *
 * Fallback: an empty or non-hex text, or a value wider than 32 bits, gives
 * white with alpha 0.
 */
MIRAKIT_EXPORT QColor argb(const QString &hex);

/// Red component, 0…1. An invalid colour answers 0.
MIRAKIT_EXPORT qreal redValue(const QColor &color);
/// Green component, 0…1. An invalid colour answers 0.
MIRAKIT_EXPORT qreal greenValue(const QColor &color);
/// Blue component, 0…1. An invalid colour answers 0.
MIRAKIT_EXPORT qreal blueValue(const QColor &color);
/// Alpha of the colour, 0…1. An invalid colour answers 0.
MIRAKIT_EXPORT qreal alphaValue(const QColor &color);

/**
 * The colour @p progress of the way from @p from to @p to: each of red,
 * green, blue and alpha is from + (to − from) × progress.
 *
 * Progress is clamped to 0…1 (NaN reads as 0), so the answer is always a
 * valid colour between the two. An invalid colour takes part as
 * transparent black.
 */
MIRAKIT_EXPORT QColor fromColor(const QColor &from, const QColor &to, qreal progress);

} // namespace mira
