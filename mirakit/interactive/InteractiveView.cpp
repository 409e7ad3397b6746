#include "InteractiveView.h"

#include "MouseTrackingPointer.h"
#include "MouseTrackingView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace mira {

InteractiveView::InteractiveView(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    MouseTrackingView::of(this);
}

InteractiveView::~InteractiveView() = default;

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
    // Qt hands a press on a disabled widget on to its parent; a disabled view keeps it.
    const QEvent::Type type = event->type();
    if (!isEnabled()
        && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
            || type == QEvent::MouseButtonRelease)) {
        event->accept();
        return true;
    }
    // A press action may delete the control (a button that closes its page).
    const QPointer<InteractiveView> guard(this);
    const bool handled = QWidget::event(event);
    return (guard && handleTrackingEvent(event)) || handled;
}

void InteractiveView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        enabledChangeEvent();
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
    if (!interactiveMouseDownPrefix(event))
        return;
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
