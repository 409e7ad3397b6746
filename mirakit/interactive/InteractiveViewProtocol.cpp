#include "InteractiveViewProtocol.h"

#include "MouseTrackingPointer.h"
#include "MouseTrackingView.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace mira {

struct InteractiveViewProtocol::Data {
    StateTable<QColor> backgroundColors;
    StateTable<QColor> borderColors;
    StateTable<qreal> borderWidths;
    StateTable<QCursor> cursors;
    StateTable<Block> blocks;
    std::optional<MouseTrackingArea> trackingArea;
    Layer layer;
};

InteractiveViewProtocol::InteractiveViewProtocol()
    : d_view(std::make_unique<Data>())
{
}

InteractiveViewProtocol::~InteractiveViewProtocol() = default;

std::optional<MouseTrackingArea> InteractiveViewProtocol::trackedArea() const
{
    return d_view->trackingArea;
}

void InteractiveViewProtocol::setTrackedArea(const std::optional<MouseTrackingArea> &area)
{
    d_view->trackingArea = area;
}

bool InteractiveViewProtocol::backgroundColorEnable() const
{
    return true;
}

StateTable<QColor> InteractiveViewProtocol::interactiveBackgroundColors() const
{
    return d_view->backgroundColors;
}

void InteractiveViewProtocol::setInteractiveBackgroundColors(const StateTable<QColor> &table)
{
    d_view->backgroundColors = table;
}

StateTable<QColor> InteractiveViewProtocol::interactiveBorderColors() const
{
    return d_view->borderColors;
}

void InteractiveViewProtocol::setInteractiveBorderColors(const StateTable<QColor> &table)
{
    d_view->borderColors = table;
}

StateTable<qreal> InteractiveViewProtocol::interactiveBorderWidths() const
{
    return d_view->borderWidths;
}

void InteractiveViewProtocol::setInteractiveBorderWidths(const StateTable<qreal> &table)
{
    d_view->borderWidths = table;
}

StateTable<QCursor> InteractiveViewProtocol::interactiveCursors() const
{
    return d_view->cursors;
}

void InteractiveViewProtocol::setInteractiveCursors(const StateTable<QCursor> &table)
{
    d_view->cursors = table;
}

StateTable<InteractiveViewProtocol::Block> InteractiveViewProtocol::interactiveBlocks() const
{
    return d_view->blocks;
}

void InteractiveViewProtocol::setInteractiveBlocks(const StateTable<Block> &table)
{
    d_view->blocks = table;
}

std::optional<QColor> InteractiveViewProtocol::backgroundColor(Interactive::State state) const
{
    return adapterValue(interactiveBackgroundColors(), statePriority(state));
}

void InteractiveViewProtocol::setBackgroundColor(const QColor &color, Interactive::State state)
{
    if (!color.isValid())
        return;
    StateTable<QColor> table = interactiveBackgroundColors();
    if (storeStateValue(table, state, color)) {
        setInteractiveBackgroundColors(table);
        notifyAppearanceChanged();
    }
    fixState();
}

std::optional<QColor> InteractiveViewProtocol::borderColor(Interactive::State state) const
{
    return adapterValue(interactiveBorderColors(), statePriority(state));
}

void InteractiveViewProtocol::setBorderColor(const QColor &color, Interactive::State state)
{
    if (!color.isValid())
        return;
    StateTable<QColor> table = interactiveBorderColors();
    if (storeStateValue(table, state, color)) {
        setInteractiveBorderColors(table);
        notifyAppearanceChanged();
    }
    fixState();
}

std::optional<qreal> InteractiveViewProtocol::borderWidth(Interactive::State state) const
{
    return adapterValue(interactiveBorderWidths(), statePriority(state));
}

void InteractiveViewProtocol::setBorderWidth(qreal width, Interactive::State state)
{
    StateTable<qreal> table = interactiveBorderWidths();
    if (storeStateValue(table, state, width)) {
        setInteractiveBorderWidths(table);
        notifyAppearanceChanged();
    }
    fixState();
}

std::optional<QCursor> InteractiveViewProtocol::cursor(Interactive::State state) const
{
    return adapterValue(interactiveCursors(), statePriority(state));
}

void InteractiveViewProtocol::setCursor(const QCursor &cursor, Interactive::State state)
{
    StateTable<QCursor> table = interactiveCursors();
    if (storeStateValue(table, state, cursor)) {
        setInteractiveCursors(table);
        notifyAppearanceChanged();
    }
    fixState();
}

std::optional<InteractiveViewProtocol::Block> InteractiveViewProtocol::block(Interactive::State state) const
{
    return adapterValue(interactiveBlocks(), statePriority(state));
}

void InteractiveViewProtocol::setBlock(const Block &block, Interactive::State state)
{
    StateTable<Block> table = interactiveBlocks();
    table.insert(state, block);
    setInteractiveBlocks(table);
}

bool InteractiveViewProtocol::isEnabled() const
{
    return const_cast<InteractiveViewProtocol *>(this)->trackedView()->isEnabled();
}

void InteractiveViewProtocol::setEnabled(bool enabled)
{
    // QEvent::EnabledChange reaches enabledChangeEvent() when the effective
    // state changes; otherwise the setter recomputes by itself.
    const bool was = isEnabled();
    trackedView()->setEnabled(enabled);
    if (isEnabled() == was)
        enabledChangeEvent();
}

void InteractiveViewProtocol::notifyAppearanceChanged()
{
}

void InteractiveViewProtocol::notifySelectedChanged(bool)
{
}

void InteractiveViewProtocol::notifyCornerRadiusChanged(qreal)
{
}

void InteractiveViewProtocol::enabledChangeEvent()
{
    setClicked(false);
    fixState();
}

void InteractiveViewProtocol::setSelected(bool selected)
{
    const bool changed = selected != isSelected();
    InteractiveStateable::setSelected(selected);
    setClicked(false);
    fixState();
    if (changed)
        notifySelectedChanged(selected);
}

qreal InteractiveViewProtocol::cornerRadius() const
{
    return layer().cornerRadius;
}

void InteractiveViewProtocol::setCornerRadius(qreal radius)
{
    if (cornerRadius() == radius)
        return;
    Layer next = layer();
    next.cornerRadius = radius;
    setLayer(next);
    notifyCornerRadiusChanged(radius);
}

bool InteractiveViewProtocol::interactiveMouseDownPrefix(QMouseEvent *)
{
    if (!isEnabled())
        return true;
    // The action may delete the control (a button that closes its page).
    const QPointer<QWidget> guard(trackedView());
    sendEventAction(Interactive::Event::mouseDown, interactiveSender());
    if (!guard)
        return false;
    setClicked(true);
    fixState();
    return true;
}

void InteractiveViewProtocol::interactiveMouseDownSuffix(QMouseEvent *event)
{
    if (!isEnabled())
        return;
    setClicked(false);
    QWidget *view = trackedView();
    if (!MouseTrackingPointer::isInWindow(view))
        return;
    const QPoint global = event ? event->globalPosition().toPoint() : MouseTrackingPointer::globalPosition();
    if (QWidget *parent = view->parentWidget())
        setEntered(view->geometry().contains(parent->mapFromGlobal(global)));
    const QPointer<QWidget> guard(view);
    sendEventAction(
        isEntered() ? Interactive::Event::mouseUpInside : Interactive::Event::mouseUpOutside, interactiveSender());
    if (guard)
        fixState();
}

const Layer &InteractiveViewProtocol::layer() const
{
    return d_view->layer;
}

void InteractiveViewProtocol::setLayer(const Layer &layer)
{
    if (d_view->layer == layer)
        return;
    d_view->layer = layer;
    if (QWidget *view = trackedView())
        view->update();
}

QVariant InteractiveViewProtocol::interactiveSender()
{
    return QVariant::fromValue(static_cast<QObject *>(trackedView()));
}

bool InteractiveViewProtocol::handleTrackingEvent(QEvent *event)
{
    if (event->type() == MouseTrackingView::updateTrackingAreasEventType()) {
        updateMouseEnterExitTrackingArea();
        return true;
    }
    if (event->type() == MouseTrackingView::resetCursorRectsEventType()) {
        QWidget *view = trackedView();
        if (const std::optional<QCursor> stateCursor = cursor(interactiveState()); stateCursor && view)
            MouseTrackingView::of(view)->addCursorRect(view->rect(), *stateCursor);
        return true;
    }
    return false;
}

void InteractiveViewProtocol::invalidateCursorRects()
{
    if (QWidget *view = trackedView())
        MouseTrackingView::of(view)->invalidateCursorRects();
}

} // namespace mira
