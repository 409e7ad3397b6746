#include "GeometryExtensions.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace mira {

qreal distance(const QPointF &from, const QPointF &to)
{
    return std::hypot(to.x() - from.x(), to.y() - from.y());
}

QRectF rectFromPoints(const QList<QPointF> &points)
{
    if (points.isEmpty())
        return QRectF();
    QRectF rect(points.first(), QSizeF(0, 0));
    for (const QPointF &point : points)
        append(rect, point);
    return rect;
}

void append(QRectF &rect, const QPointF &point)
{
    const QRectF r = rect.normalized();
    const qreal left = std::min(r.left(), point.x());
    const qreal top = std::min(r.top(), point.y());
    const qreal right = std::max(r.right(), point.x());
    const qreal bottom = std::max(r.bottom(), point.y());
    rect = QRectF(QPointF(left, top), QPointF(right, bottom));
}

QRectF flip(const QRectF &rect, qreal height)
{
    return QRectF(rect.x(), height - rect.y() - rect.height(), rect.width(), rect.height());
}

QRectF limit(const QRectF &rect, const QRectF &bounds)
{
    const QRectF r = rect.normalized();
    const QRectF b = bounds.normalized();
    const qreal width = std::min(r.width(), b.width());
    const qreal height = std::min(r.height(), b.height());
    const qreal x = std::clamp(r.x(), b.left(), b.right() - width);
    const qreal y = std::clamp(r.y(), b.top(), b.bottom() - height);
    return QRectF(x, y, width, height);
}

QPainterPath cornerPath(const QRectF &rect, qreal topLeft, qreal topRight, qreal bottomLeft, qreal bottomRight)
{
    const QRectF r = rect.normalized();
    const qreal most = std::min(r.width(), r.height()) / 2;
    const auto radius = [most](qreal value) { return qIsNaN(value) ? 0 : std::clamp(value, qreal(0), most); };
    const qreal tl = radius(topLeft);
    const qreal tr = radius(topRight);
    const qreal bl = radius(bottomLeft);
    const qreal br = radius(bottomRight);

    // Clockwise on screen from the end of the top-left corner. Qt's arc
    // angles run counter-clockwise from three o'clock, hence the -90 sweeps.
    QPainterPath path;
    path.moveTo(r.left() + tl, r.top());
    path.lineTo(r.right() - tr, r.top());
    if (tr > 0)
        path.arcTo(QRectF(r.right() - 2 * tr, r.top(), 2 * tr, 2 * tr), 90, -90);
    path.lineTo(r.right(), r.bottom() - br);
    if (br > 0)
        path.arcTo(QRectF(r.right() - 2 * br, r.bottom() - 2 * br, 2 * br, 2 * br), 0, -90);
    path.lineTo(r.left() + bl, r.bottom());
    if (bl > 0)
        path.arcTo(QRectF(r.left(), r.bottom() - 2 * bl, 2 * bl, 2 * bl), 270, -90);
    path.lineTo(r.left(), r.top() + tl);
    if (tl > 0)
        path.arcTo(QRectF(r.left(), r.top(), 2 * tl, 2 * tl), 180, -90);
    path.closeSubpath();
    return path;
}

QRectF aspectFit(const QSizeF &size, const QRectF &rect)
{
    if (!(size.width() > 0) || !(size.height() > 0) || !std::isfinite(size.width()) || !std::isfinite(size.height()))
        return QRectF(rect.center(), QSizeF(0, 0));
    const qreal scale = std::min(rect.width() / size.width(), rect.height() / size.height());
    return center(size * std::max(scale, qreal(0)), rect);
}

QRectF center(const QSizeF &size, const QRectF &rect)
{
    const QPointF middle = rect.center();
    return QRectF(middle.x() - size.width() / 2, middle.y() - size.height() / 2, size.width(), size.height());
}

} // namespace mira
