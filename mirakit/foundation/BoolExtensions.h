#pragma once

#include <QString>

/**
 * @file
 * Boolean conversions for places that want a number or a word, such as
 * usage-event parameters and stored settings.
 *
 * @code
 * params.insert(QStringLiteral("agreed"), mira::stringValue(agreed)); // "true"
 * @endcode
 */
namespace mira {

/// 1 for true, 0 for false.
constexpr int intValue(bool value)
{
    return value ? 1 : 0;
}

/// "true" or "false".
inline QString stringValue(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace mira
