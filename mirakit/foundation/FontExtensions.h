#pragma once

#include <mirakit/mirakit_export.h>

#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

/**
 * @file
 * The library's sans-serif text face in its ten named cuts.
 *
 * Each cut has a font name (its raw value, such as "HelveticaNeue-Light")
 * and maps onto a QFont weight and slant. The font asks for the "Helvetica
 * Neue" family first and falls back, in order, to fallbackFamilies() and
 * then to the system's sans-serif face, keeping weight and slant, so text
 * renders on systems without the face.
 *
 * @code
 * title->setFont(mira::helveticaNeue(18, mira::HelveticaNeueWeight::medium));
 * @endcode
 */
namespace mira {

/// A cut of the face. The raw value of each is its font name.
enum class HelveticaNeueWeight {
    regular, ///< "HelveticaNeue"
    italic, ///< "HelveticaNeue-Italic"
    light, ///< "HelveticaNeue-Light"
    lightItalic, ///< "HelveticaNeue-LightItalic"
    thin, ///< "HelveticaNeue-Thin"
    thinItalic, ///< "HelveticaNeue-ThinItalic"
    bold, ///< "HelveticaNeue-Bold"
    boldItalic, ///< "HelveticaNeue-BoldItalic"
    medium, ///< "HelveticaNeue-Medium"
    mediumItalic, ///< "HelveticaNeue-MediumItalic"
};

/// The font name of @p weight, such as "HelveticaNeue-BoldItalic".
MIRAKIT_EXPORT QString fontName(HelveticaNeueWeight weight);

/// The cut whose font name is exactly @p name; std::nullopt for any other
/// text (names are case-sensitive).
MIRAKIT_EXPORT std::optional<HelveticaNeueWeight> helveticaNeueWeight(const QString &name);

/// Families tried, in order, after "Helvetica Neue".
MIRAKIT_EXPORT QStringList fallbackFamilies();

/// The face in cut @p weight at @p size points. A size that is not a
/// positive finite number keeps the default point size.
MIRAKIT_EXPORT QFont helveticaNeue(qreal size, HelveticaNeueWeight weight = HelveticaNeueWeight::regular);

} // namespace mira
