#include "MouseTrackingProtocol.h"

#include "MouseTrackingPointer.h"
#include "MouseTrackingView.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QWidget>

namespace mira {

MouseTrackingProtocol::~MouseTrackingProtocol() = default;

void MouseTrackingProtocol::configerTrackingArea()
{
    QWidget *view = trackedView();
    if (!view)
        return;
    setTrackedArea(MouseTrackingArea::create(view->rect(), regionOptions));
    if (const std::optional<MouseTrackingArea> area = trackedArea())
        MouseTrackingView::of(view)->addTrackingArea(*area);

    if (!MouseTrackingPointer::isInWindow(view))
        return;
    const QPoint global = MouseTrackingPointer::globalPosition();
    const QPoint local = view->mapFromGlobal(global);
    if (view->rect().contains(local)) {
        QEnterEvent enter(local, view->window()->mapFromGlobal(global), global);
        QCoreApplication::sendEvent(view, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(view, &leave);
    }
}

void MouseTrackingProtocol::updateMouseEnterExitTrackingArea()
{
    QWidget *view = trackedView();
    if (const std::optional<MouseTrackingArea> area = trackedArea(); area && view)
        MouseTrackingView::of(view)->removeTrackingArea(*area);
    configerTrackingArea();
}

} // namespace mira
