#include "MouseTrackingArea.h"

namespace mira {

MouseTrackingArea MouseTrackingArea::create(const QRectF &rect, Options options)
{
    static std::uint64_t lastId = 0;
    MouseTrackingArea area;
    area.m_rect = rect;
    area.m_options = options;
    area.m_id = ++lastId;
    return area;
}

} // namespace mira
