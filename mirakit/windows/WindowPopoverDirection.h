#pragma once

#include <QHashFunctions>

namespace mira {

/**
 * The side of a popover's body that carries the indicator, which points at
 * the source. The body therefore lies on the other side of the source.
 */
enum class WindowPopoverDirection {
    top, ///< indicator on top: the body opens below the source
    left, ///< indicator on the left: the body opens to the right of the source
    right, ///< indicator on the right: the body opens to the left of the source
    bottom, ///< indicator at the bottom: the body opens above the source
};

inline size_t qHash(WindowPopoverDirection direction, size_t seed = 0)
{
    return ::qHash(int(direction), seed);
}

} // namespace mira
