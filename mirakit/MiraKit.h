#pragma once

#include <mirakit/mirakit_export.h>

#include <QString>

#include <functional>

/**
 * MiraKit: stateful Qt Widgets controls whose appearance is registered per
 * interaction state, plus the windows and small utilities they are built with.
 *
 * Consumers link the imported target:
 * @code
 * find_package(MiraKit REQUIRED)
 * target_link_libraries(app PRIVATE MiraKit::MiraKit)
 * @endcode
 */
namespace mira {

/// The library's version, "major.minor.patch".
MIRAKIT_EXPORT const char *version();

/// Turns a localization key into the text to show.
using LocalizedStringProvider = std::function<QString(const QString &key)>;

/**
 * Installs the lookup that controls use for localized keys (for example the
 * designable normalLocalizedKey of InteractiveButton). The application sets
 * it once at start-up; an empty function restores the default, which
 * answers every key unchanged.
 *
 * @code
 * mira::setLocalizedStringProvider([](const QString &key) { return myTable.value(key, key); });
 * @endcode
 */
MIRAKIT_EXPORT void setLocalizedStringProvider(LocalizedStringProvider provider);

/// The text for @p key through the installed provider (the key itself by default).
MIRAKIT_EXPORT QString localizedString(const QString &key);

} // namespace mira
