#include "Layer.h"

#include <QPainter>

#include <algorithm>

namespace mira {

namespace {

QPainterPath roundedPath(const QRectF &rect, qreal radius, int corners)
{
    QPainterPath path;
    const qreal r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    if (r <= 0 || corners == 0) {
        path.addRect(rect);
        return path;
    }
    const qreal d = 2 * r;
    const auto rounded = [corners](int corner) { return (corners & corner) != 0; };
    path.moveTo(rect.left() + (rounded(Layer::TopLeft) ? r : 0), rect.top());
    if (rounded(Layer::TopRight))
        path.arcTo(QRectF(rect.right() - d, rect.top(), d, d), 90, -90);
    else
        path.lineTo(rect.topRight());
    if (rounded(Layer::BottomRight))
        path.arcTo(QRectF(rect.right() - d, rect.bottom() - d, d, d), 0, -90);
    else
        path.lineTo(rect.bottomRight());
    if (rounded(Layer::BottomLeft))
        path.arcTo(QRectF(rect.left(), rect.bottom() - d, d, d), 270, -90);
    else
        path.lineTo(rect.bottomLeft());
    if (rounded(Layer::TopLeft))
        path.arcTo(QRectF(rect.left(), rect.top(), d, d), 180, -90);
    else
        path.lineTo(rect.topLeft());
    path.closeSubpath();
    return path;
}

} // namespace

QPainterPath Layer::shape(const QRectF &rect) const
{
    return roundedPath(rect, cornerRadius, maskedCorners);
}

QLinearGradient Layer::gradient(const QRectF &rect) const
{
    // Unit points have y upwards; widget coordinates grow downwards.
    const auto map = [&rect](QPointF p) {
        return QPointF(rect.left() + p.x() * rect.width(), rect.top() + (1 - p.y()) * rect.height());
    };
    QLinearGradient result(map(startPoint), map(endPoint));
    if (colors.isEmpty())
        return result;
    if (locations.size() == colors.size()) {
        for (qsizetype i = 0; i < colors.size(); ++i)
            result.setColorAt(std::clamp(locations.at(i), 0.0, 1.0), colors.at(i));
        return result;
    }
    const qreal first = locations.isEmpty() ? 0 : std::clamp(locations.first(), 0.0, 1.0);
    const qreal last = locations.isEmpty() ? 1 : std::clamp(locations.last(), 0.0, 1.0);
    if (colors.size() == 1) {
        result.setColorAt(first, colors.first());
        result.setColorAt(last, colors.first());
        return result;
    }
    for (qsizetype i = 0; i < colors.size(); ++i)
        result.setColorAt(first + (last - first) * qreal(i) / qreal(colors.size() - 1), colors.at(i));
    return result;
}

void Layer::paint(QPainter *painter, const QRectF &rect) const
{
    if (rect.isEmpty())
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    const QPainterPath outline = shape(rect);
    if (backgroundColor.isValid() && backgroundColor.alpha() > 0)
        painter->fillPath(outline, backgroundColor);
    if (!colors.isEmpty())
        painter->fillPath(outline, gradient(rect));
    if (borderWidth > 0 && borderColor.isValid() && borderColor.alpha() > 0) {
        const qreal half = borderWidth / 2;
        QPen pen(borderColor, borderWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(roundedPath(rect.adjusted(half, half, -half, -half), cornerRadius - half, maskedCorners));
    }
    painter->restore();
}

} // namespace mira
