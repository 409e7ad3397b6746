#pragma once

#include <QHashFunctions>

namespace mira {

/// How a window is shown over its parent by mira::present().
enum class WindowPresentStyle {
    sheet, ///< part of the parent window, modal to it, at its top centre
    criticalSheet, ///< like sheet, raised ahead of other sheets
    popup, ///< child window centred on the parent, zooms in; clicks elsewhere are ignored
    center, ///< child window centred on the parent, no animation; clicks elsewhere are ignored
};

inline size_t qHash(WindowPresentStyle style, size_t seed = 0)
{
    return ::qHash(int(style), seed);
}

} // namespace mira
