#pragma once

#include <QHashFunctions>

namespace mira {

/// Where a popover opening above or below its source sits along the source's width.
enum class PopoverDirectionAlignment {
    center, ///< centred on the source
    leading, ///< leading edges lined up: left edges, or right edges for a right-to-left source
    trailing, ///< trailing edges lined up: right edges, or left edges for a right-to-left source
};

inline size_t qHash(PopoverDirectionAlignment alignment, size_t seed = 0)
{
    return ::qHash(int(alignment), seed);
}

} // namespace mira
