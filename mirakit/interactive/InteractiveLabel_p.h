#pragma once

#include "InteractiveLabel.h"

#include <platform/Scheduler.h>

#include <QPointF>

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
