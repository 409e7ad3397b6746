#include "CursorRect.h"

#include "MouseTrackingView.h"

#include <QWidget>

namespace mira {

Cursorable::~Cursorable() = default;
CursorRectProvider::~CursorRectProvider() = default;

CursorRect::CursorRect() = default;
CursorRect::~CursorRect() = default;

void CursorRect::addCursor(const QCursor &cursor, const CursorArea &rect)
{
    m_cursorInfos.append(CursorInfo { cursor, rect });
}

void CursorRect::removeAll()
{
    m_cursorInfos.clear();
}

void CursorRect::apply(QWidget *view) const
{
    if (!view)
        return;
    MouseTrackingView *tracking = MouseTrackingView::of(view);
    const QRectF bounds = view->rect();
    for (const CursorInfo &info : m_cursorInfos)
        tracking->addCursorRect(info.rect.rectIn(bounds), info.cursor);
}

} // namespace mira
