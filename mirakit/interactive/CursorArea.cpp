#include "CursorArea.h"

#include <cmath>

namespace mira {

CursorArea::CursorArea(Kind kind, const QRectF &rect)
    : m_kind(kind)
    , m_rect(rect)
{
}

CursorArea CursorArea::relative(const QRectF &fractions)
{
    return CursorArea(Kind::relative, fractions);
}

CursorArea CursorArea::absolute(const QRectF &rect)
{
    return CursorArea(Kind::absolute, rect);
}

CursorArea CursorArea::all()
{
    return CursorArea(Kind::all, QRectF());
}

QRectF CursorArea::rectIn(const QRectF &bounds) const
{
    switch (m_kind) {
    case Kind::relative:
        return QRectF(bounds.width() * m_rect.x(), bounds.height() * m_rect.y(),
            bounds.width() * std::abs(m_rect.width()), bounds.height() * std::abs(m_rect.height()));
    case Kind::absolute:
        return m_rect;
    case Kind::all:
        break;
    }
    return bounds;
}

} // namespace mira
