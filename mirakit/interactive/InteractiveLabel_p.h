#pragma once

#include "InteractiveLabel.h"

#include <platform/Scheduler.h>

#include <QPointF>

#include <type_traits>

class QPainter;

namespace mira {

/// The state behind an InteractiveLabel: its texts, flags, items and pending motion.
class InteractiveLabelPrivate {
public:
    explicit InteractiveLabelPrivate(InteractiveLabel *label)
        : q(label)
    {
    }

    /// Wide and tall enough that nothing wraps or is cut, small enough for QTextLayout's fixed-point maths.
    static constexpr qreal unbounded = 1e6;

    /// Lets accessibility clients see labels as static text with links (once per process).
    static void installAccessibleFactory();
    static InteractiveLabelPrivate *get(InteractiveLabel *label);

    QFont labelFont() const;
    AttributedText plainText(const QString &text) const;
    InteractiveLabelLayout layout(const QSizeF &bounds) const;
    std::shared_ptr<InteractiveLabel::InteractiveItem> itemFor(const TextRange &range);

    /**
     * Stores @p value for @p state in one per-state table of the item of
     * @p range (read with @p table, written with @p setTable), recomputes the
     * item's state and rebuilds the text if an item needs it. With @p restyle
     * the item writes its attributes again even when its state stays.
     */
    template <typename T>
    void storeItemValue(const TextRange &range, Interactive::State state, const std::type_identity_t<T> &value,
        StateTable<T> (InteractiveLabel::InteractiveItem::*table)() const,
        void (InteractiveLabel::InteractiveItem::*setTable)(const StateTable<T> &), bool restyle)
    {
        const std::shared_ptr<InteractiveLabel::InteractiveItem> item = itemFor(range);
        StateTable<T> values = ((*item).*table)();
        values.insert(state, value);
        ((*item).*setTable)(values);
        if (restyle)
            item->setNeedApply();
        item->fixState();
        updateAttributesIfNeed();
    }

    /**
     * Hands @p hit, the item under the pointer (or nullptr), to every item
     * through @p handler (moved, mouseDown or mouseUp), then rebuilds the text
     * if an item needs it. An action that deletes the label ends it there.
     */
    void dispatchToItems(void (InteractiveLabel::InteractiveItem::*handler)(const InteractiveLabel::InteractiveItem *),
        const InteractiveLabel::InteractiveItem *hit);

    /// Copies the widget's enabled state into every item; a press going on is dropped.
    void followEnabled();
    void showOrigin(const AttributedText &text, bool fromPlain);
    void restylePlainText();
    /// Gives the origin and the displayed text the label's alignment.
    void alignTexts();
    void updateAttributesIfNeed();
    void updateItemsRects(const InteractiveLabelLayout &layout, QPainter *border);
    void refreshRects() { updateItemsRects(layout(q->size()), nullptr); }
    void invalidateCursorRects();
    void registerCursorRects();
    void handleMotion(const std::optional<QPointF> &position);
    /// Takes focus only while there is a link to focus.
    void updateFocusPolicy();
    /// Makes link @p index the focused one and tells assistive technology.
    void focusLink(int index);
    void paintFocusRing(QPainter *painter) const;

    InteractiveLabel *q;
    AttributedText displayed;
    mutable std::optional<AttributedText> origin;
    bool originFromPlain = true;
    QColor textColor;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool selected = false;
    std::optional<QCursor> labelCursor;
    bool antiShakeEnable = true;
    bool drawTextBorder = false;
    QList<std::shared_ptr<InteractiveLabel::InteractiveItem>> items;
    std::optional<MouseTrackingArea> trackingArea;
    std::optional<QPointF> moveEvent; // the motion whose debounced handling is pending
    platform::WorkId moveWork = 0;
    int focusedLink = -1; // index into q->links() while the label has focus
    bool keyboardFocus = false; // the focus came from the keyboard
};

} // namespace mira
