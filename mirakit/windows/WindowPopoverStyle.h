#pragma once

#include <QHashFunctions>

namespace mira {

/// How a popover window comes and goes.
enum class WindowPopoverStyle {
    none, ///< appears and disappears at once; presses elsewhere go on as usual
    popup, ///< zooms in from 90 % (0.2 s) and out again; presses elsewhere are held back
    popover, ///< zooms in from 80 % (0.2 s) and out again; presses elsewhere are held back
};

inline size_t qHash(WindowPopoverStyle style, size_t seed = 0)
{
    return ::qHash(int(style), seed);
}

} // namespace mira
