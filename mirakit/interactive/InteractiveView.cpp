#include "InteractiveView.h"

#include "MouseTrackingPointer.h"
#include "MouseTrackingView.h"

#include <QMouseEvent>
#include <QPainter>

namespace mira {

InteractiveView::InteractiveView(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    MouseTrackingView::of(this);
}

InteractiveView::~InteractiveView() = default;

bool InteractiveView::isEnabled() const
{
    return InteractiveViewProtocol::isEnabled();
}

void InteractiveView::setEnabled(bool enabled)
{
    InteractiveViewProtocol::setEnabled(enabled);
}

qreal InteractiveView::cornerRadius() const
{
    return layer().cornerRadius;
}

void InteractiveView::setCornerRadius(qreal radius)
{
    Layer next = layer();
    next.cornerRadius = radius;
    setLayer(next);
}

void InteractiveView::interactiveStateDidChanged(Interactive::State)
{
    const QList<Interactive::State> &priority = statePriority(interactiveState());
    if (MouseTrackingPointer::isInWindow(this))
        invalidateCursorRects();
    const std::optional<QColor> background = adapterValue(interactiveBackgroundColors(), priority);
    const std::optional<QColor> border = adapterValue(interactiveBorderColors(), priority);
    const std::optional<qreal> width = adapterValue(interactiveBorderWidths(), priority);
    const std::optional<Block> stateBlock = adapterValue(interactiveBlocks(), priority);

    Layer next = layer();
    if (backgroundColorEnable() && background)
        next.backgroundColor = *background;
    next.borderColor = border.value_or(next.borderColor);
    next.borderWidth = width.value_or(next.borderWidth);
    setLayer(next);
    if (stateBlock && *stateBlock)
        (*stateBlock)();
}

bool InteractiveView::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    return handleTrackingEvent(event) || handled;
}

void InteractiveView::changeEvent(QEvent *event)
{
    // Disabling the widget itself (a .ui file, setDisabled()) would stop
    // pointer delivery; keep the widget on and disable the control instead.
    if (event->type() == QEvent::EnabledChange && testAttribute(Qt::WA_ForceDisabled)) {
        QWidget::setEnabled(true);
        setEnabled(false);
    }
    QWidget::changeEvent(event);
}

void InteractiveView::enterEvent(QEnterEvent *)
{
    setEntered(true);
    fixState();
}

void InteractiveView::leaveEvent(QEvent *)
{
    setEntered(false);
    fixState();
}

void InteractiveView::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled()) {
        event->accept();
        return;
    }
    interactiveMouseDownPrefix(event);
    if (isEnabled())
        event->ignore();
    else
        event->accept();
}

void InteractiveView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (isClicked())
        interactiveMouseDownSuffix(event);
}

void InteractiveView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    layer().paint(&painter, rect());
}

} // namespace mira
