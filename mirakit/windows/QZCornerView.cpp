#include "QZCornerView.h"

#include "SheetWindow.h"
#include "WindowPresentation.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace mira {

QZCornerView::QZCornerView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

QZCornerView::~QZCornerView() = default;

void QZCornerView::setCornerRadius(qreal radius)
{
    if (qFuzzyCompare(m_cornerRadius, radius))
        return;
    m_cornerRadius = radius;
    update();
    Q_EMIT cornerRadiusChanged(radius);
}

void QZCornerView::setCornerMasks(uint masks)
{
    if (m_cornerMasks == masks)
        return;
    m_cornerMasks = masks;
    update();
    Q_EMIT cornerMasksChanged(masks);
}

void QZCornerView::setBackgroundColor(const QColor &color)
{
    if (m_backgroundColor == color)
        return;
    m_backgroundColor = color;
    update();
    Q_EMIT backgroundColorChanged(color);
}

void QZCornerView::closeSheet()
{
    SheetWindow *sheet = sheetWindowOf(this);
    if (sheet && sheetParent(sheet))
        dismiss(sheet, -1000, {});
}

void QZCornerView::paintEvent(QPaintEvent *)
{
    const QRectF r = rect();
    // A radius larger than half a side would make neighbouring arcs overlap.
    const qreal limit = std::min(r.width(), r.height()) / 2;
    const auto radius
        = [&](Corner corner) { return (m_cornerMasks & corner) ? std::clamp(m_cornerRadius, 0.0, limit) : 0.0; };
    const qreal ll = radius(lowerLeft), lr = radius(lowerRight), ur = radius(upperRight), ul = radius(upperLeft);

    // From the middle of the left edge round the corners: lower left, lower
    // right, upper right, upper left (the lower ones are at the bottom).
    QPainterPath path;
    path.moveTo(r.left(), r.center().y());
    path.lineTo(r.left(), r.bottom() - ll);
    path.arcTo(QRectF(r.left(), r.bottom() - 2 * ll, 2 * ll, 2 * ll), 180, 90);
    path.lineTo(r.right() - lr, r.bottom());
    path.arcTo(QRectF(r.right() - 2 * lr, r.bottom() - 2 * lr, 2 * lr, 2 * lr), 270, 90);
    path.lineTo(r.right(), r.top() + ur);
    path.arcTo(QRectF(r.right() - 2 * ur, r.top(), 2 * ur, 2 * ur), 0, 90);
    path.lineTo(r.left() + ul, r.top());
    path.arcTo(QRectF(r.left(), r.top(), 2 * ul, 2 * ul), 90, 90);
    path.closeSubpath();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(path);
    painter.fillPath(path, m_backgroundColor);
}

} // namespace mira
