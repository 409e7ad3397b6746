#pragma once

#include <mirakit/mirakit_export.h>

#include <QRectF>

namespace mira {

/**
 * Where a cursor applies inside a view, resolved against the view's current
 * bounds each time the view's cursor rectangles are reset.
 *
 * @code
 * auto rightHalf = mira::CursorArea::relative(QRectF(0.5, 0, 0.5, 1));
 * rightHalf.rectIn(QRectF(0, 0, 200, 40)); // (100, 0, 100, 40)
 * @endcode
 */
class MIRAKIT_EXPORT CursorArea {
public:
    enum class Kind {
        relative, ///< fractions of the bounds; follows resizing
        absolute, ///< a fixed rectangle in view coordinates
        all, ///< the whole bounds
    };

    /// The whole view (the default).
    CursorArea() = default;

    static CursorArea relative(const QRectF &fractions);
    static CursorArea absolute(const QRectF &rect);
    static CursorArea all();

    Kind kind() const { return m_kind; }
    /// The payload: fractions for relative, the rectangle for absolute, empty for all.
    QRectF rect() const { return m_rect; }

    /// The rectangle this area covers in a view whose bounds are @p bounds.
    /// Relative widths and heights count by their absolute value.
    QRectF rectIn(const QRectF &bounds) const;

    friend bool operator==(const CursorArea &, const CursorArea &) = default;

private:
    CursorArea(Kind kind, const QRectF &rect);

    Kind m_kind = Kind::all;
    QRectF m_rect;
};

} // namespace mira
