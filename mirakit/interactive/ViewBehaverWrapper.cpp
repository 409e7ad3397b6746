#include "ViewBehaverWrapper.h"

#include <mirakit/interactive/MouseTracker.h>
#include <mirakit/interactive/MouseTrackingView.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

namespace mira {

namespace {

const char hooksProperty[] = "_mira_viewBehaverHooks";

// Everything the wrapper adds to one widget; a child of the widget, so it
// lives exactly as long as the widget does.
class ViewBehaverHooks final : public QObject, public MouseTrackingView::Hooks {
public:
    explicit ViewBehaverHooks(QWidget *view)
        : QObject(view)
        , m_view(view)
        , m_tracking(MouseTrackingView::of(view))
    {
        setObjectName(QStringLiteral("ViewBehaverHooks"));
        view->setProperty(hooksProperty, QVariant::fromValue(static_cast<QObject *>(this)));
        m_tracking->setHooks(this);
    }

    ~ViewBehaverHooks() override
    {
        if (m_tracking && m_tracking->hooks() == this)
            m_tracking->setHooks(nullptr);
    }

    static ViewBehaverHooks *find(const QWidget *view)
    {
        if (!view)
            return nullptr;
        return dynamic_cast<ViewBehaverHooks *>(view->property(hooksProperty).value<QObject *>());
    }

    static ViewBehaverHooks *of(QWidget *view)
    {
        if (!view)
            return nullptr;
        if (ViewBehaverHooks *hooks = find(view))
            return hooks;
        return new ViewBehaverHooks(view);
    }

    bool shouldDeliver(QWidget *, QEvent *event) override
    {
        // With interaction off the widget does not renew its tracking areas at all.
        return !(event->type() == MouseTrackingView::updateTrackingAreasEventType() && !interactionEnabled);
    }

    void didHandle(QWidget *, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == MouseTrackingView::resetCursorRectsEventType())
            runAll(resetCursorRects);
        else if (type == MouseTrackingView::updateTrackingAreasEventType())
            runAll(updateTrackingArea);
        else if (type == QEvent::Enter && interactionEnabled)
            runAll(mouseEntered, event);
        else if (type == QEvent::Leave && interactionEnabled)
            runAll(mouseExited, event);
    }

    bool routePointerEvent(QWidget *view, QMouseEvent *event) override
    {
        if (!hitTest)
            return false;
        QWidget *target = hitTest(event->position().toPoint());
        if (target == view)
            return false;
        if (!target)
            target = widgetBehind(view, event->globalPosition().toPoint());
        if (target && target != view) {
            const QPointF global = event->globalPosition();
            QMouseEvent copy(event->type(), target->mapFromGlobal(global), target->window()->mapFromGlobal(global),
                global, event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
            QCoreApplication::sendEvent(target, &copy);
        }
        return true;
    }

    static QWidget *widgetBehind(QWidget *view, const QPoint &global)
    {
        QWidget *top = view->window();
        if (top == view)
            return nullptr;
        const bool wasTransparent = view->testAttribute(Qt::WA_TransparentForMouseEvents);
        view->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        QWidget *behind = top->childAt(top->mapFromGlobal(global));
        view->setAttribute(Qt::WA_TransparentForMouseEvents, wasTransparent);
        return behind ? behind : top;
    }

    template <typename List, typename... Args> static void runAll(const List &list, Args... args)
    {
        // A callback may add callbacks; walk a copy so that it cannot invalidate the walk.
        const List copy = list;
        for (const auto &callback : copy) {
            if (callback)
                callback(args...);
        }
    }

    QWidget *m_view;
    QPointer<MouseTrackingView> m_tracking;

    std::vector<ViewBehaverWrapper::Callback> resetCursorRects;
    std::vector<ViewBehaverWrapper::Callback> updateTrackingArea;
    std::vector<ViewBehaverWrapper::EventCallback> mouseEntered;
    std::vector<ViewBehaverWrapper::EventCallback> mouseExited;
    ViewBehaverWrapper::HitTest hitTest;
    bool interactionEnabled = true;
    // What switching interaction off replaced, given back when it comes on again.
    bool transparentTemp = false;
    ViewBehaverWrapper::HitTest hitTestTemp;
    QList<MouseTrackingArea> trackingAreasTemp;
    std::vector<ViewBehaverWrapper::Callback> updateTrackingAreaTemp;
    std::unique_ptr<MouseTracker> tracker;
    std::unique_ptr<CursorRect> cursors;
};

} // namespace

UserInteractionable::~UserInteractionable() = default;

ViewBehaverWrapper::ViewBehaverWrapper(QWidget *base)
    : m_base(base)
{
    ViewBehaverHooks::of(base);
}

ViewBehaverWrapper::~ViewBehaverWrapper() = default;

bool ViewBehaverWrapper::isHooked(const QWidget *view)
{
    return ViewBehaverHooks::find(view) != nullptr;
}

bool ViewBehaverWrapper::isUserInteractionEnabled() const
{
    const ViewBehaverHooks *hooks = ViewBehaverHooks::find(m_base);
    return !hooks || hooks->interactionEnabled;
}

void ViewBehaverWrapper::setUserInteractionEnabled(bool enabled)
{
    ViewBehaverHooks *hooks = ViewBehaverHooks::of(m_base);
    if (!hooks || hooks->interactionEnabled == enabled)
        return;
    hooks->interactionEnabled = enabled;
    MouseTrackingView *tracking = MouseTrackingView::of(m_base);
    if (!enabled) {
        hooks->updateTrackingAreaTemp = std::move(hooks->updateTrackingArea);
        hooks->updateTrackingArea.clear();
        hooks->trackingAreasTemp = tracking->trackingAreas();
        for (const MouseTrackingArea &area : std::as_const(hooks->trackingAreasTemp))
            tracking->removeTrackingArea(area);
        hooks->hitTestTemp = std::exchange(hooks->hitTest, [](const QPoint &) -> QWidget * { return nullptr; });
        hooks->transparentTemp = m_base->testAttribute(Qt::WA_TransparentForMouseEvents);
        m_base->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        return;
    }
    hooks->hitTest = std::exchange(hooks->hitTestTemp, nullptr);
    m_base->setAttribute(Qt::WA_TransparentForMouseEvents, hooks->transparentTemp);
    for (const MouseTrackingArea &area : std::as_const(hooks->trackingAreasTemp))
        tracking->addTrackingArea(area);
    hooks->trackingAreasTemp.clear();
    // Callbacks registered while interaction was off are kept behind the saved ones.
    std::vector<Callback> restored = std::move(hooks->updateTrackingAreaTemp);
    restored.insert(restored.end(), hooks->updateTrackingArea.begin(), hooks->updateTrackingArea.end());
    hooks->updateTrackingArea = std::move(restored);
    hooks->updateTrackingAreaTemp.clear();
}

MouseTracker *ViewBehaverWrapper::mouseTracker() const
{
    ViewBehaverHooks *hooks = ViewBehaverHooks::of(m_base);
    if (!hooks)
        return nullptr;
    if (!hooks->tracker) {
        hooks->tracker = std::make_unique<MouseTracker>();
        MouseTracker *tracker = hooks->tracker.get();
        const QPointer<QWidget> view = m_base;
        hooks->updateTrackingArea.push_back([tracker, view] {
            if (view)
                tracker->updateTrackingArea(view);
        });
        hooks->mouseEntered.push_back([tracker, view](QEvent *) {
            if (view)
                tracker->recive(MouseTrackEvent::entered);
        });
        hooks->mouseExited.push_back([tracker, view](QEvent *) {
            if (view)
                tracker->recive(MouseTrackEvent::exited);
        });
    }
    return hooks->tracker.get();
}

CursorRect *ViewBehaverWrapper::cursorRect() const
{
    ViewBehaverHooks *hooks = ViewBehaverHooks::of(m_base);
    if (!hooks)
        return nullptr;
    if (!hooks->cursors) {
        hooks->cursors = std::make_unique<CursorRect>();
        CursorRect *cursors = hooks->cursors.get();
        const QPointer<QWidget> view = m_base;
        hooks->resetCursorRects.push_back([cursors, view] {
            if (view)
                cursors->apply(view);
        });
    }
    return hooks->cursors.get();
}

void ViewBehaverWrapper::addResetCursorRectsCallback(Callback callback)
{
    if (ViewBehaverHooks *hooks = ViewBehaverHooks::of(m_base))
        hooks->resetCursorRects.push_back(std::move(callback));
}

void ViewBehaverWrapper::addUpdateTrackingAreaCallback(Callback callback)
{
    if (ViewBehaverHooks *hooks = ViewBehaverHooks::of(m_base))
        hooks->updateTrackingArea.push_back(std::move(callback));
}

void ViewBehaverWrapper::addMouseEnteredCallback(EventCallback callback)
{
    if (ViewBehaverHooks *hooks = ViewBehaverHooks::of(m_base))
        hooks->mouseEntered.push_back(std::move(callback));
}

void ViewBehaverWrapper::addMouseExitedCallback(EventCallback callback)
{
    if (ViewBehaverHooks *hooks = ViewBehaverHooks::of(m_base))
        hooks->mouseExited.push_back(std::move(callback));
}

void ViewBehaverWrapper::setHitTest(HitTest hitTest)
{
    if (ViewBehaverHooks *hooks = ViewBehaverHooks::of(m_base))
        hooks->hitTest = std::move(hitTest);
}

QWidget *ViewBehaverWrapper::hitTest(const QPoint &point) const
{
    if (!m_base)
        return nullptr;
    if (const ViewBehaverHooks *hooks = ViewBehaverHooks::find(m_base); hooks && hooks->hitTest)
        return hooks->hitTest(point);
    if (!m_base->rect().contains(point))
        return nullptr;
    QWidget *child = m_base->childAt(point);
    return child ? child : m_base.data();
}

ViewBehaverWrapper viewBehaver(QWidget *view)
{
    return ViewBehaverWrapper(view);
}

} // namespace mira
