#pragma once

#include <mirakit/mirakit_export.h>

#include <QPoint>

#include <functional>

class QWidget;

namespace mira {

/**
 * Where the pointer is, for code that has to know without a pointer event
 * (renewing a tracking region, re-applying cursor rectangles).
 *
 * By default this is QCursor::pos(). Tests and embedders that drive input
 * themselves install a source so that "the pointer rests at (x, y)" does not
 * depend on the window system.
 */
class MIRAKIT_EXPORT MouseTrackingPointer {
public:
    using Source = std::function<QPoint()>;

    /// The pointer position in global (screen) coordinates.
    static QPoint globalPosition();

    /// The pointer position in @p view's coordinates.
    static QPoint positionIn(const QWidget *view);

    /// Replaces the position source; an empty function restores QCursor::pos().
    static void setSource(Source source);

    /// Whether @p view is in a window that is on screen, the condition under
    /// which a pointer status can be reported for it.
    static bool isInWindow(const QWidget *view);
};

} // namespace mira
