#include "MouseTrackingPointer.h"

#include <QCursor>
#include <QWidget>

namespace mira {

namespace {
MouseTrackingPointer::Source &source()
{
    static MouseTrackingPointer::Source s;
    return s;
}
} // namespace

QPoint MouseTrackingPointer::globalPosition()
{
    return source() ? source()() : QCursor::pos();
}

QPoint MouseTrackingPointer::positionIn(const QWidget *view)
{
    return view ? view->mapFromGlobal(globalPosition()) : QPoint();
}

void MouseTrackingPointer::setSource(Source s)
{
    source() = std::move(s);
}

bool MouseTrackingPointer::isInWindow(const QWidget *view)
{
    return view && view->window()->isVisible();
}

} // namespace mira
