#pragma once

#include <QHashFunctions>

namespace mira {

/// Where a popover opening above or below its source sits along the source's width.
enum class PopoverDirectionAlignment {
    center, ///< centred on the source
    leading, ///< left edges lined up
    trailing, ///< right edges lined up
};

inline size_t qHash(PopoverDirectionAlignment alignment, size_t seed = 0)
{
    return ::qHash(int(alignment), seed);
}

} // namespace mira
