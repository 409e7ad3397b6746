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

    /// Lets accessibility clients see labels as static text (once per process).
    static void installAccessibleFactory();

    QFont labelFont() const;
    AttributedText plainText(const QString &text) const;
    InteractiveLabelLayout layout(const QSizeF &bounds) const;
    std::shared_ptr<InteractiveLabel::InteractiveItem> itemFor(const TextRange &range);

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

    InteractiveLabel *q;
    AttributedText displayed;
    mutable std::optional<AttributedText> origin;
    bool originFromPlain = true;
    QColor textColor;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool enabled = true;
    bool selected = false;
    std::optional<QCursor> labelCursor;
    bool antiShakeEnable = true;
    bool drawTextBorder = false;
    QList<std::shared_ptr<InteractiveLabel::InteractiveItem>> items;
    std::optional<MouseTrackingArea> trackingArea;
    std::optional<QPointF> moveEvent; // the motion whose debounced handling is pending
    platform::WorkId moveWork = 0;
};

} // namespace mira
