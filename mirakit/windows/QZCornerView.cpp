#include "QZCornerView.h"

#include "SheetWindow.h"
#include "WindowPresentation.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace mira {

class QZCornerViewPrivate {
public:
    qreal cornerRadius = 0;
    uint cornerMasks = QZCornerView::lowerLeft | QZCornerView::lowerRight;
    QColor backgroundColor = Qt::white;
};

QZCornerView::QZCornerView(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<QZCornerViewPrivate>())
{
    setAttribute(Qt::WA_TranslucentBackground);
}

QZCornerView::~QZCornerView() = default;

qreal QZCornerView::cornerRadius() const
{
    return d->cornerRadius;
}

void QZCornerView::setCornerRadius(qreal radius)
{
    if (qFuzzyCompare(d->cornerRadius, radius))
        return;
    d->cornerRadius = radius;
    update();
    Q_EMIT cornerRadiusChanged(radius);
}

uint QZCornerView::cornerMasks() const
{
    return d->cornerMasks;
}

void QZCornerView::setCornerMasks(uint masks)
{
    if (d->cornerMasks == masks)
        return;
    d->cornerMasks = masks;
    update();
    Q_EMIT cornerMasksChanged(masks);
}

QColor QZCornerView::backgroundColor() const
{
    return d->backgroundColor;
}

void QZCornerView::setBackgroundColor(const QColor &color)
{
    if (d->backgroundColor == color)
        return;
    d->backgroundColor = color;
    update();
    Q_EMIT backgroundColorChanged(color);
}

void QZCornerView::closeSheet()
{
    SheetWindow *sheet = sheetWindowOf(this);
    if (sheet && sheetParent(sheet))
        dismiss(sheet, SheetWindow::returnCodeClose, {});
}

void QZCornerView::paintEvent(QPaintEvent *)
{
    const QRectF r = rect();
    // A radius larger than half a side would make neighbouring arcs overlap.
    const qreal limit = std::min(r.width(), r.height()) / 2;
    const auto radius
        = [&](Corner corner) { return (d->cornerMasks & corner) ? std::clamp(d->cornerRadius, 0.0, limit) : 0.0; };
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
    painter.fillPath(path, d->backgroundColor);
}

} // namespace mira
