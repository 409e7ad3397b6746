#pragma once

#include <mirakit/interactive/InteractiveStateable.h>
#include <mirakit/interactive/Layer.h>
#include <mirakit/interactive/MouseTrackingProtocol.h>
#include <mirakit/interactive/StateValues.h>
#include <mirakit/mirakit_export.h>

#include <QColor>
#include <QCursor>

#include <functional>
#include <memory>

class QEvent;
class QMouseEvent;

namespace mira {

/**
 * What turns a QWidget into a stateful control: per-state background,
 * border and cursor tables, per-state callables, the layer they are applied
 * to, and the pointer handling shared by InteractiveView and
 * InteractiveButton.
 *
 * Getters resolve through the fallback order of the given state
 * (statePriority()) and have no default: nothing registered gives
 * std::nullopt. Setters store under exactly the given state and recompute
 * the state (fixState()), so the value shows at once, also when the value
 * was already registered (appearanceChanged() then stays silent). A setter given an empty value (an
 * invalid colour) leaves the table unchanged; there is no way to remove an
 * entry. setBlock() is the exception: the callable runs at
 * the next recomputation, not now.
 *
 * Enabled is the widget's own QWidget::isEnabled(): a control is disabled
 * when it or one of its ancestors is, for Qt, for the disabled state and for
 * assistive technology alike. setEnabled() is QWidget::setEnabled(); it and
 * every change of the effective state (also through a parent) clear the
 * press flag and recompute. Setting isSelected stores the flag, clears the press
 * flag and recomputes.
 */
class MIRAKIT_EXPORT InteractiveViewProtocol : public InteractiveStateable, public MouseTrackingProtocol {
public:
    using Block = std::function<void()>;

    InteractiveViewProtocol();
    ~InteractiveViewProtocol() override;

    /// The enter/exit region currently installed; none before the first renewal.
    std::optional<MouseTrackingArea> mouseTrackingArea() const { return trackedArea(); }
    std::optional<MouseTrackingArea> trackedArea() const override;
    void setTrackedArea(const std::optional<MouseTrackingArea> &area) override;

    /// Whether the layer background follows the background-colour table. Default true.
    virtual bool backgroundColorEnable() const;

    virtual StateTable<QColor> interactiveBackgroundColors() const;
    virtual void setInteractiveBackgroundColors(const StateTable<QColor> &table);
    virtual StateTable<QColor> interactiveBorderColors() const;
    virtual void setInteractiveBorderColors(const StateTable<QColor> &table);
    virtual StateTable<qreal> interactiveBorderWidths() const;
    virtual void setInteractiveBorderWidths(const StateTable<qreal> &table);
    virtual StateTable<QCursor> interactiveCursors() const;
    virtual void setInteractiveCursors(const StateTable<QCursor> &table);
    virtual StateTable<Block> interactiveBlocks() const;
    virtual void setInteractiveBlocks(const StateTable<Block> &table);

    std::optional<QColor> backgroundColor(Interactive::State state) const;
    void setBackgroundColor(const QColor &color, Interactive::State state);
    std::optional<QColor> borderColor(Interactive::State state) const;
    void setBorderColor(const QColor &color, Interactive::State state);
    std::optional<qreal> borderWidth(Interactive::State state) const;
    void setBorderWidth(qreal width, Interactive::State state);
    std::optional<QCursor> cursor(Interactive::State state) const;
    void setCursor(const QCursor &cursor, Interactive::State state);
    std::optional<Block> block(Interactive::State state) const;
    /// Stores @p block; it runs at the next recomputation into (or through) @p state.
    void setBlock(const Block &block, Interactive::State state);

    /// QWidget::isEnabled() of the control: false when it or an ancestor is disabled.
    bool isEnabled() const override;
    /// QWidget::setEnabled() of the control, then a recomputation.
    void setEnabled(bool enabled) override;
    /// Stores the flag, clears the press flag and recomputes; a real change is
    /// reported through notifySelectedChanged().
    void setSelected(bool selected) override;

    /// Rounds the painted background and border. Default 0.
    qreal cornerRadius() const;
    /// A new radius is reported through notifyCornerRadiusChanged().
    void setCornerRadius(qreal radius);

    /**
     * Start of a press: when enabled, fires mouseDown, sets the press flag and
     * recomputes. False when the action deleted the control: the caller must
     * not touch it any more.
     */
    [[nodiscard]] bool interactiveMouseDownPrefix(QMouseEvent *event);
    /**
     * End of a press: when enabled, clears the press flag; when the control
     * is in a visible window, re-derives the pointer-inside flag from where
     * the press ended (the frame in the parent's coordinates; a control
     * without a parent keeps the flag), fires mouseUpInside or
     * mouseUpOutside and recomputes. Outside a window the state keeps
     * clicked until the next recomputation. An action that deletes the
     * control ends it there.
     */
    void interactiveMouseDownSuffix(QMouseEvent *event);

    /// The painted backing look. Controls change it when their state changes.
    const Layer &layer() const;
    void setLayer(const Layer &layer);

protected:
    /// What event actions receive: the control as a QObject pointer.
    QVariant interactiveSender();
    /**
     * Handles MouseTrackingView's renewal events: the tracking region is
     * re-created (which re-derives the pointer-inside flag), and the cursor
     * of the current state is registered over the bounds. True when @p event
     * was one of them.
     */
    bool handleTrackingEvent(QEvent *event);
    /**
     * Called after a per-state setter changed a table (registering the same
     * value again calls nothing). Widgets emit their appearanceChanged()
     * signal here. Does nothing by default.
     */
    virtual void notifyAppearanceChanged();
    /// Called after setSelected() changed the flag. Does nothing by default.
    virtual void notifySelectedChanged(bool selected);
    /// Called after setCornerRadius() changed the radius. Does nothing by default.
    virtual void notifyCornerRadiusChanged(qreal radius);
    /// Call on QEvent::EnabledChange: clears the press flag and recomputes.
    void enabledChangeEvent();
    /// Asks the widget to register its cursor rectangles again.
    void invalidateCursorRects();

private:
    struct Data;
    std::unique_ptr<Data> d_view;
};

} // namespace mira
