#pragma once

#include <mirakit/mirakit_export.h>

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

} // namespace mira
