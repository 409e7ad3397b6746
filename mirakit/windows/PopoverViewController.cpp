#include "PopoverViewController.h"

#include <QLayout>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QtMath>

#include <cmath>

namespace mira {

namespace {

// Lengths that are negative or not numbers count as 0, and no length or
// offset goes past the largest widget size, so that no value a caller passes
// makes a window of negative size, a path of NaNs or an overflowing position.
qreal length(qreal value)
{
    return std::isfinite(value) ? qBound(0.0, value, qreal(QWIDGETSIZE_MAX)) : 0.0;
}

qreal finite(qreal value)
{
    return std::isfinite(value) ? qBound(-qreal(QWIDGETSIZE_MAX), value, qreal(QWIDGETSIZE_MAX)) : 0.0;
}

PopoverConfiger sanitized(PopoverConfiger configer)
{
    configer.spacing = length(configer.spacing);
    configer.indicatorHeight = length(configer.indicatorHeight);
    configer.indicatorWidth = length(configer.indicatorWidth);
    configer.cornerRadius = length(configer.cornerRadius);
    configer.backgroundPadding = length(configer.backgroundPadding);
    configer.indicatorOffset = QPointF(finite(configer.indicatorOffset.x()), finite(configer.indicatorOffset.y()));
    const QMarginsF insets = configer.contentEdgeInsets;
    configer.contentEdgeInsets
        = QMarginsF(length(insets.left()), length(insets.top()), length(insets.right()), length(insets.bottom()));
    return configer;
}

bool isVerticalSide(WindowPopoverDirection direction)
{
    return direction == WindowPopoverDirection::top || direction == WindowPopoverDirection::bottom;
}

// @p amount on the @p direction side only.
QMarginsF sideMargin(WindowPopoverDirection direction, qreal amount)
{
    switch (direction) {
    case WindowPopoverDirection::top:
        return QMarginsF(0, amount, 0, 0);
    case WindowPopoverDirection::left:
        return QMarginsF(amount, 0, 0, 0);
    case WindowPopoverDirection::right:
        return QMarginsF(0, 0, amount, 0);
    case WindowPopoverDirection::bottom:
        return QMarginsF(0, 0, 0, amount);
    }
    return {};
}

WindowPopoverDirection opposite(WindowPopoverDirection direction)
{
    switch (direction) {
    case WindowPopoverDirection::bottom:
        return WindowPopoverDirection::top;
    case WindowPopoverDirection::left:
        return WindowPopoverDirection::right;
    case WindowPopoverDirection::right:
        return WindowPopoverDirection::left;
    case WindowPopoverDirection::top:
        break;
    }
    return direction;
}

QSizeF fittingSize(const QWidget *content)
{
    const QSize hint = content->sizeHint();
    return QLayout::closestAcceptableSize(content, hint.isValid() ? hint : content->size());
}

} // namespace

class PopoverViewControllerPrivate {
public:
    QPointer<QWidget> content;
    QPointer<QWidget> source;
    PopoverConfiger configer;
    WindowPopoverDirection direction = WindowPopoverDirection::top;

    QSizeF windowSize(WindowPopoverDirection side) const
    {
        const QSizeF c = content ? fittingSize(content) : QSizeF(0, 0);
        const QMarginsF &i = configer.contentEdgeInsets;
        const qreal extra = configer.spacing + 2 * configer.indicatorHeight;
        QSizeF size(c.width() + i.left() + i.right(), c.height() + i.top() + i.bottom());
        if (isVerticalSide(side))
            size.rheight() += extra;
        else
            size.rwidth() += extra;
        return size;
    }

    // Leading and trailing as seen from the left: a right-to-left source starts on its right.
    PopoverDirectionAlignment alignment() const
    {
        const PopoverDirectionAlignment wanted = configer.indicatorAlignment;
        if (!source || !source->isRightToLeft() || wanted == PopoverDirectionAlignment::center)
            return wanted;
        return wanted == PopoverDirectionAlignment::leading ? PopoverDirectionAlignment::trailing
                                                            : PopoverDirectionAlignment::leading;
    }

    QRectF frame(WindowPopoverDirection side, const QRectF &s) const
    {
        const QSizeF size = windowSize(side);
        const QPointF o = configer.indicatorOffset;
        QPointF origin;
        if (isVerticalSide(side)) {
            qreal a = 0;
            switch (alignment()) {
            case PopoverDirectionAlignment::center:
                a = (s.width() - size.width()) * 0.5;
                break;
            case PopoverDirectionAlignment::leading:
                break;
            case PopoverDirectionAlignment::trailing:
                a = s.width() - size.width();
                break;
            }
            origin.setX(s.x() + a - o.x());
            origin.setY(side == WindowPopoverDirection::top ? s.bottom() : s.top() - size.height());
        } else {
            // Screen y grows downwards here, so moving the body down by the offset
            // keeps the indicator (moved up by it) on the source.
            origin.setY(s.y() + (s.height() - size.height()) * 0.5 + o.y());
            origin.setX(side == WindowPopoverDirection::left ? s.right() : s.left() - size.width());
        }
        return QRectF(origin, size);
    }

    bool fitsOnScreen(const QRectF &frame) const
    {
        const QScreen *screen = source ? source->screen() : nullptr;
        return screen && QRectF(screen->availableGeometry()).contains(frame);
    }
};

PopoverViewController::PopoverViewController(QWidget *contentViewController, QWidget *sourceView,
    const std::optional<PopoverConfiger> &configer, QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<PopoverViewControllerPrivate>())
{
    setObjectName(QStringLiteral("PopoverViewController"));
    d->content = contentViewController;
    d->source = sourceView;
    d->configer = sanitized(configer.value_or(PopoverConfiger::unconfigured()));
    // Back to front: background, content background, page.
    for (QWidget *view :
        { d->configer.backgroundView.data(), d->configer.contentBackgroundView.data(), contentViewController }) {
        if (!view)
            continue;
        view->setParent(this);
        view->show();
        view->raise();
    }
    calculateWindowFrame();
}

PopoverViewController::~PopoverViewController() = default;

QWidget *PopoverViewController::contentViewController() const
{
    return d->content;
}

QWidget *PopoverViewController::sourceView() const
{
    return d->source;
}

const PopoverConfiger &PopoverViewController::configer() const
{
    return d->configer;
}

WindowPopoverDirection PopoverViewController::direction() const
{
    return d->direction;
}

QRect PopoverViewController::sourceFrameInWindow() const
{
    if (!d->source)
        return {};
    return QRect(d->source->mapToGlobal(QPoint(0, 0)), d->source->size());
}

QRect PopoverViewController::calculateWindowFrame()
{
    if (!d->source || !d->content)
        return {};
    const QRectF source = sourceFrameInWindow();
    WindowPopoverDirection side = d->configer.indicatorDirection;
    QRectF frame = d->frame(side, source);
    if (side != WindowPopoverDirection::top && d->configer.autoIndicatorDirection && !d->fitsOnScreen(frame)) {
        side = opposite(side);
        frame = d->frame(side, source);
    }
    if (d->direction != side) {
        d->direction = side;
        updateGeometry();
        layoutViews();
    }
    return QRect(qRound(frame.x()), qRound(frame.y()), qCeil(frame.width()), qCeil(frame.height()));
}

QPainterPath PopoverViewController::bodyPath(const QRectF &bounds, WindowPopoverDirection direction,
    qreal indicatorWidth, qreal indicatorHeight, qreal cornerRadius, QPointF indicatorOffset)
{
    using D = WindowPopoverDirection;
    const qreal h = length(indicatorHeight);
    const QRectF body = bounds - sideMargin(direction, h);
    if (body.isEmpty())
        return {};
    const qreal r = qMin(length(cornerRadius), qMin(body.width(), body.height()) * 0.5);
    const qreal along = isVerticalSide(direction) ? body.width() : body.height();
    const qreal half = qMin(length(indicatorWidth) * 0.5, (along - 2 * r) * 0.5);
    const qreal cx
        = qBound(body.left() + r + half, body.center().x() + finite(indicatorOffset.x()), body.right() - r - half);
    const qreal cy
        = qBound(body.top() + r + half, body.center().y() - finite(indicatorOffset.y()), body.bottom() - r - half);
    const qreal d = 2 * r;

    // Clockwise from the top-left corner, with the indicator on its side.
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.moveTo(body.left() + r, body.top());
    if (direction == D::top) {
        path.lineTo(cx - half, body.top());
        path.lineTo(cx, body.top() - h);
        path.lineTo(cx + half, body.top());
    }
    path.lineTo(body.right() - r, body.top());
    path.arcTo(QRectF(body.right() - d, body.top(), d, d), 90, -90);
    if (direction == D::right) {
        path.lineTo(body.right(), cy - half);
        path.lineTo(body.right() + h, cy);
        path.lineTo(body.right(), cy + half);
    }
    path.lineTo(body.right(), body.bottom() - r);
    path.arcTo(QRectF(body.right() - d, body.bottom() - d, d, d), 0, -90);
    if (direction == D::bottom) {
        path.lineTo(cx + half, body.bottom());
        path.lineTo(cx, body.bottom() + h);
        path.lineTo(cx - half, body.bottom());
    }
    path.lineTo(body.left() + r, body.bottom());
    path.arcTo(QRectF(body.left(), body.bottom() - d, d, d), 270, -90);
    if (direction == D::left) {
        path.lineTo(body.left(), cy + half);
        path.lineTo(body.left() - h, cy);
        path.lineTo(body.left(), cy - half);
    }
    path.lineTo(body.left(), body.top() + r);
    path.arcTo(QRectF(body.left(), body.top(), d, d), 180, -90);
    path.closeSubpath();
    return path;
}

QSize PopoverViewController::sizeHint() const
{
    return d->windowSize(d->direction).toSize();
}

void PopoverViewController::paintEvent(QPaintEvent *)
{
    if (d->configer.backgroundView)
        return;
    const PopoverConfiger &c = d->configer;
    const QRectF background = QRectF(rect()) - sideMargin(d->direction, c.spacing);
    // Half a pixel in, so that the hairline border is drawn whole.
    const QPainterPath path = bodyPath(background.adjusted(0.5, 0.5, -0.5, -0.5), d->direction, c.indicatorWidth,
        c.indicatorHeight, c.cornerRadius, c.indicatorOffset);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor border = palette().color(QPalette::Shadow);
    border.setAlphaF(0.3);
    painter.setPen(QPen(border, 1));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawPath(path);
}

void PopoverViewController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutViews();
}

void PopoverViewController::layoutViews()
{
    const PopoverConfiger &c = d->configer;
    const qreal padding = c.backgroundPadding;
    const QRectF background = QRectF(rect()) - sideMargin(d->direction, c.spacing);
    const QRectF contentBackground = background - QMarginsF(padding, padding, padding, padding);
    const QRectF box = contentBackground - (c.contentEdgeInsets + sideMargin(d->direction, c.indicatorHeight));
    const auto place = [this, &c](QWidget *view, const QRectF &frame) {
        if (!view)
            return;
        view->setGeometry(frame.toRect());
        const QPainterPath shape = bodyPath(QRectF(QPointF(0, 0), frame.size()), d->direction, c.indicatorWidth,
            c.indicatorHeight, c.cornerRadius, c.indicatorOffset);
        view->setMask(QRegion(shape.toFillPolygon().toPolygon(), Qt::OddEvenFill));
    };
    place(c.backgroundView, background);
    place(c.contentBackgroundView, contentBackground);
    if (d->content)
        d->content->setGeometry(box.toRect());
    update();
}

} // namespace mira
