#pragma once

#include <mirakit/mirakit_export.h>

#include <QColor>
#include <QLinearGradient>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace mira {

/**
 * The backing look of a control: background, border, rounded corners and an
 * optional linear gradient, painted by the control in its paintEvent().
 *
 * A Layer is a plain value; controls keep one and repaint when it changes.
 * Gradient points are in the unit square with x to the right and y upwards,
 * so (0.5, 1) is the middle of the top edge.
 *
 * @code
 * mira::Layer layer;
 * layer.backgroundColor = Qt::white;
 * layer.borderColor = QColor(0xD8DEE4);
 * layer.borderWidth = 1;
 * layer.cornerRadius = 4;
 * layer.paint(&painter, rect());
 * @endcode
 */
struct MIRAKIT_EXPORT Layer {
    /// Bits of maskedCorners: which corners cornerRadius rounds.
    enum Corner { TopLeft = 1, TopRight = 2, BottomLeft = 4, BottomRight = 8, AllCorners = 15 };

    QColor backgroundColor; ///< invalid: no background (default)
    QColor borderColor = Qt::black; ///< default opaque black, drawn only with a width
    qreal borderWidth = 0; ///< inside the bounds; default 0
    qreal cornerRadius = 0; ///< default 0
    int maskedCorners = AllCorners;

    QList<QColor> colors; ///< gradient colours; empty: no gradient (default)
    QPointF startPoint { 0.5, 0 }; ///< default bottom middle
    QPointF endPoint { 0.5, 1 }; ///< default top middle
    /// Stop positions 0…1. Empty, or a length that differs from colors:
    /// the colours are spread evenly between the first and last stop (0 and 1 when empty).
    QList<qreal> locations;

    /// The outline of @p rect with the rounded corners.
    QPainterPath shape(const QRectF &rect) const;
    /// The gradient over @p rect.
    QLinearGradient gradient(const QRectF &rect) const;
    /// Paints background, gradient and border, in that order.
    void paint(QPainter *painter, const QRectF &rect) const;

    friend bool operator==(const Layer &, const Layer &) = default;
};

} // namespace mira
