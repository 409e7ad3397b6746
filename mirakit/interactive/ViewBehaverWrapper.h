#pragma once

#include <mirakit/interactive/CursorRect.h>
#include <mirakit/interactive/MouseTrackable.h>
#include <mirakit/mirakit_export.h>

#include <QPointer>

#include <functional>

class QEvent;
class QPoint;
class QWidget;

namespace mira {

/// Gives a switch for a view's pointer interaction.
class MIRAKIT_EXPORT UserInteractionable {
public:
    virtual ~UserInteractionable();
    virtual bool isUserInteractionEnabled() const = 0;
    virtual void setUserInteractionEnabled(bool enabled) = 0;
};

/**
 * Extra pointer behaviour for any widget, without subclassing it: a mouse
 * tracker reporting enter/exit, cursor rectangles, per-view callbacks around
 * the widget's own handling, a per-view hit-test replacement, and a switch
 * that turns the widget's pointer interaction off and on.
 *
 * Creating a wrapper (usually through mira::viewBehaver()) attaches the hooks
 * to the widget once; asking again reuses them. The widget stays what it is:
 * it keeps its class, its metaObject() and its own event handling. The hooks
 * are one event filter per widget (see MouseTrackingView::Hooks) that lets
 * the widget handle Enter, Leave and the tracking-area and cursor-rectangle
 * renewals first and then runs the callbacks registered here, in insertion
 * order. (Event filters installed on the widget before the hooks do not see
 * those four kinds of event.)
 *
 * In C++ there is no run-time method exchange; a caller that wants code to
 * run around a widget's handling registers it with the add...Callback()
 * functions below, or installs its own MouseTrackingView::Hooks.
 *
 * @code
 * auto behaver = mira::viewBehaver(badge);
 * behaver.mouseTracker()->subscribeMouseTrackEvent([](mira::MouseTrackEvent e) { ... });
 * behaver.cursorRect()->addCursor(Qt::PointingHandCursor, mira::CursorArea::all());
 * behaver.setUserInteractionEnabled(false); // clicks reach the widget behind
 * @endcode
 *
 * A wrapper is a small value that refers to the widget weakly; all state
 * lives with the widget and dies with it.
 */
class MIRAKIT_EXPORT ViewBehaverWrapper : public UserInteractionable,
                                          public MouseTrackerProvider,
                                          public CursorRectProvider {
public:
    using Callback = std::function<void()>;
    using EventCallback = std::function<void(QEvent *)>;
    /// Given a point in the widget's coordinates, the widget that takes the
    /// press there, or nullptr to let it through to whatever lies behind.
    using HitTest = std::function<QWidget *(const QPoint &)>;

    /// Attaches the hooks to @p base (once per widget).
    explicit ViewBehaverWrapper(QWidget *base);
    ~ViewBehaverWrapper() override;

    QWidget *base() const { return m_base; }

    /// Whether the widget takes pointer input; true unless switched off.
    /// Off: presses pass through to the widget behind, enter/exit callbacks
    /// stop, and the tracking areas and tracking-area callbacks are put aside;
    /// on again: they come back, with the hit test and pass-through attribute
    /// the widget had before.
    bool isUserInteractionEnabled() const override;
    void setUserInteractionEnabled(bool enabled) override;

    /// The widget's tracker, created on first request and wired to its enter,
    /// exit and tracking-area renewal.
    MouseTracker *mouseTracker() const override;
    /// The widget's cursor rectangles, created on first request and applied at
    /// every cursor-rectangle reset.
    CursorRect *cursorRect() const override;

    /// Runs after the widget's cursor rectangles were reset.
    void addResetCursorRectsCallback(Callback callback);
    /// Runs after the widget renewed its tracking areas (not while interaction is off).
    void addUpdateTrackingAreaCallback(Callback callback);
    /// Runs after the widget handled an Enter event.
    void addMouseEnteredCallback(EventCallback callback);
    /// Runs after the widget handled a Leave event.
    void addMouseExitedCallback(EventCallback callback);

    /// Replaces hit testing for this widget; an empty function restores it.
    void setHitTest(HitTest hitTest);
    /// The widget that takes a press at @p point (widget coordinates): the
    /// replacement's answer when one is set, else the deepest child there,
    /// the widget itself, or nullptr outside its bounds.
    QWidget *hitTest(const QPoint &point) const;

    /// Whether @p view already has the hooks attached.
    static bool isHooked(const QWidget *view);

private:
    QPointer<QWidget> m_base;
};

/// The behaviour wrapper of @p view; the first call attaches the hooks.
MIRAKIT_EXPORT ViewBehaverWrapper viewBehaver(QWidget *view);

} // namespace mira
