#pragma once

#include <mirakit/interactive/MouseTrackingArea.h>
#include <mirakit/mirakit_export.h>

#include <QCursor>
#include <QEvent>
#include <QList>
#include <QObject>
#include <QRectF>

#include <memory>
#include <optional>

class QMouseEvent;
class QWidget;

namespace mira {

class MouseTrackingViewPrivate;

/**
 * The pointer-tracking record of one widget: its tracking areas, its cursor
 * rectangles, and the two moments at which they are renewed.
 *
 * One instance is attached to a widget on first use (of()) and lives as long
 * as the widget. It watches the widget and, whenever the widget is shown,
 * resized or moved, or one of its ancestors moves (a scroll area scrolling
 * its content, a window moving), sends it two events:
 *
 * - updateTrackingAreasEventType(): the widget renews its tracking areas;
 * - resetCursorRectsEventType(): after the old cursor rectangles have been
 *   discarded, the widget registers its rectangles again (addCursorRect()).
 *
 * A widget class handles them in its event() override; code that cannot
 * subclass the widget attaches Hooks instead (see mira::ViewBehaverWrapper).
 * Cursor rectangles are applied on pointer motion with QWidget::setCursor,
 * also while the pointer moves over a child inside a rectangle (a child with
 * a cursor of its own keeps it): where rectangles overlap, the one registered
 * last wins; outside all of them the widget's own cursor is restored. So the
 * state stays right under a pointer that rests while the widget moves, the
 * renewals read the pointer position from MouseTrackingPointer.
 */
class MIRAKIT_EXPORT MouseTrackingView : public QObject {
    Q_OBJECT
public:
    /**
     * Behaviour added around the widget's own handling of Enter, Leave and
     * the two renewal events, and a say in where pointer presses go.
     */
    class MIRAKIT_EXPORT Hooks {
    public:
        virtual ~Hooks();
        /// Returning false swallows @p event before the widget sees it.
        virtual bool shouldDeliver(QWidget *view, QEvent *event);
        /// Runs after the widget has handled @p event.
        virtual void didHandle(QWidget *view, QEvent *event);
        /// Returning true means the pointer event was delivered elsewhere.
        virtual bool routePointerEvent(QWidget *view, QMouseEvent *event);
    };

    struct CursorRectangle {
        QRectF rect;
        QCursor cursor;
    };

    ~MouseTrackingView() override;

    /// The record of @p view, created and attached on first request.
    static MouseTrackingView *of(QWidget *view);
    /// The record of @p view if it has one, else nullptr.
    static MouseTrackingView *find(const QWidget *view);

    static QEvent::Type updateTrackingAreasEventType();
    static QEvent::Type resetCursorRectsEventType();

    QWidget *view() const;

    QList<MouseTrackingArea> trackingAreas() const;
    /// Adds @p area; an area that wants motion turns on the widget's mouse tracking.
    void addTrackingArea(const MouseTrackingArea &area);
    /// Removes @p area; unknown areas are ignored.
    void removeTrackingArea(const MouseTrackingArea &area);

    QList<CursorRectangle> cursorRects() const;
    /// Registers one cursor rectangle (call this while handling the reset event).
    void addCursorRect(const QRectF &rect, const QCursor &cursor);
    /// The cursor the rectangles give at @p position, if any.
    std::optional<QCursor> cursorAt(const QPointF &position) const;

    /// Asks the widget to renew its tracking areas now.
    void updateTrackingAreas();
    /// Discards the cursor rectangles, lets the widget register them again,
    /// and applies them at the pointer's position when the pointer is over the widget.
    void invalidateCursorRects();

    /// Installs @p hooks (not owned; pass nullptr to remove).
    void setHooks(Hooks *hooks);
    Hooks *hooks() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit MouseTrackingView(QWidget *view);

    std::unique_ptr<MouseTrackingViewPrivate> const d;
};

} // namespace mira
