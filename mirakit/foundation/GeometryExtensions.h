#pragma once

#include <mirakit/mirakit_export.h>

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

/**
 * @file
 * Point, rectangle and size helpers in Qt's coordinate system (y grows
 * downwards, so "top" is the smaller y).
 *
 * There is no conversion between two path types here: QPainterPath is the
 * only path type and draws directly.
 *
 * @code
 * const QRectF image = mira::aspectFit(pixmap.size(), contentsRect()); // letterboxed, centred
 * painter.fillPath(mira::cornerPath(rect(), 8, 8, 0, 0), background);  // rounded top only
 * @endcode
 */
namespace mira {

/// Euclidean distance between @p from and @p to.
MIRAKIT_EXPORT qreal distance(const QPointF &from, const QPointF &to);

/// The smallest rectangle holding every point of @p points. One point gives
/// an empty rectangle at that point; no points give a null rectangle.
MIRAKIT_EXPORT QRectF rectFromPoints(const QList<QPointF> &points);

/// Grows @p rect (normalised first) just enough to hold @p point. A rect
/// that already holds the point is only normalised.
MIRAKIT_EXPORT void append(QRectF &rect, const QPointF &point);

/// @p rect mirrored vertically inside a container @p height tall: the
/// distance from the top becomes the distance from the bottom.
MIRAKIT_EXPORT QRectF flip(const QRectF &rect, qreal height);

/// @p rect moved, and shrunk where it is larger, so that it lies inside
/// @p bounds. Both are normalised first.
MIRAKIT_EXPORT QRectF limit(const QRectF &rect, const QRectF &bounds);

/// A closed path around @p rect with its own radius at each corner. Each
/// radius is clamped to 0…half the shorter side (negative and NaN read as
/// 0), so neighbouring corners never overlap.
MIRAKIT_EXPORT QPainterPath cornerPath(
    const QRectF &rect, qreal topLeft, qreal topRight, qreal bottomLeft, qreal bottomRight);

/// The largest rectangle with the aspect ratio of @p size, centred in
/// @p rect. A size without area answers an empty rectangle at the centre of
/// @p rect.
MIRAKIT_EXPORT QRectF aspectFit(const QSizeF &size, const QRectF &rect);

/// A rectangle of @p size centred in @p rect (it may stick out when larger).
MIRAKIT_EXPORT QRectF center(const QSizeF &size, const QRectF &rect);

} // namespace mira
