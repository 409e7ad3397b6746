#include "InteractiveLabel_p.h"

#include "MouseTrackingPointer.h"
#include "MouseTrackingView.h"

#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace mira {

using Item = InteractiveLabel::InteractiveItem;

namespace {

// The label exposes its text the way a static text does.
class InteractiveLabelAccessible : public QAccessibleWidget {
public:
    explicit InteractiveLabelAccessible(InteractiveLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && own.isEmpty())
            return static_cast<InteractiveLabel *>(widget())->stringValue();
        return own;
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(InteractiveLabel::staticMetaObject.className()) && object->isWidgetType())
        return new InteractiveLabelAccessible(static_cast<InteractiveLabel *>(object));
    return nullptr;
}

// Gives every run the paragraph alignment, and the first character a run when it has none.
AttributedText withAlignment(AttributedText text, Qt::Alignment alignment)
{
    int firstStart = int(text.text.size());
    for (QTextLayout::FormatRange &run : text.formats) {
        run.format.setProperty(AttributedText::alignmentProperty, int(alignment));
        firstStart = std::min(firstStart, run.start);
    }
    if (firstStart > 0) {
        QTextCharFormat format;
        format.setProperty(AttributedText::alignmentProperty, int(alignment));
        text.formats.prepend({ 0, firstStart, format });
    }
    return text;
}

} // namespace

void InteractiveLabelPrivate::installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

QFont InteractiveLabelPrivate::labelFont() const
{
    if (q->testAttribute(Qt::WA_SetFont))
        return q->font();
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(14);
    return font;
}

AttributedText InteractiveLabelPrivate::plainText(const QString &text) const
{
    QTextCharFormat format;
    format.setFont(labelFont());
    format.setForeground(textColor.isValid() ? textColor : QColor(Qt::white));
    format.setProperty(AttributedText::alignmentProperty, int(alignment));
    if (text.isEmpty())
        return AttributedText { text, {} };
    return AttributedText { text, { { 0, int(text.size()), format } } };
}

InteractiveLabelLayout InteractiveLabelPrivate::layout(const QSizeF &bounds) const
{
    // Left-to-right widgets leave the direction to the text, as QLabel does.
    const Qt::LayoutDirection direction
        = q->layoutDirection() == Qt::RightToLeft ? Qt::RightToLeft : Qt::LayoutDirectionAuto;
    return InteractiveLabelLayout(displayed, labelFont(), bounds, direction);
}

std::shared_ptr<Item> InteractiveLabelPrivate::itemFor(const TextRange &range)
{
    for (const std::shared_ptr<Item> &item : std::as_const(items)) {
        if (item->range() == range)
            return item;
    }
    items.append(std::make_shared<Item>(range, enabled, selected));
    return items.last();
}

void InteractiveLabelPrivate::showOrigin(const AttributedText &text, bool fromPlain)
{
    origin = text;
    originFromPlain = fromPlain;
    displayed = text;
    refreshRects();
    invalidateCursorRects();
    q->updateGeometry();
    q->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(q, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void InteractiveLabelPrivate::restylePlainText()
{
    if (!originFromPlain)
        return;
    showOrigin(plainText(displayed.text), true);
    // Not a new text: the items keep their look.
    for (const std::shared_ptr<Item> &item : std::as_const(items))
        item->setNeedApply();
    updateAttributesIfNeed();
}

void InteractiveLabelPrivate::alignTexts()
{
    origin = withAlignment(q->originAttributedStringValue(), alignment);
    displayed = withAlignment(displayed, alignment);
}

void InteractiveLabelPrivate::updateAttributesIfNeed()
{
    if (std::none_of(items.cbegin(), items.cend(), [](const auto &item) { return item->isNeedApply(); }))
        return;
    AttributedText text = q->originAttributedStringValue();
    for (const std::shared_ptr<Item> &item : std::as_const(items))
        item->applyIfNeed(text);
    displayed = text;
    refreshRects();
    invalidateCursorRects();
    q->update();
}

void InteractiveLabelPrivate::updateItemsRects(const InteractiveLabelLayout &layout, QPainter *border)
{
    if (border) {
        border->save();
        border->setBrush(Qt::NoBrush);
        border->setPen(QPen(Qt::cyan, 1));
        for (const InteractiveLabelLayout::Line &line : layout.lines())
            border->drawRect(line.rect);
    }
    for (const std::shared_ptr<Item> &item : std::as_const(items))
        item->setRects(layout.rectsFor(item->range()));
    if (border) {
        border->setPen(QPen(Qt::red, 1));
        for (const std::shared_ptr<Item> &item : std::as_const(items)) {
            for (const QRectF &rect : item->rects())
                border->drawRect(rect);
        }
        border->restore();
    }
}

void InteractiveLabelPrivate::invalidateCursorRects()
{
    if (MouseTrackingPointer::isInWindow(q))
        MouseTrackingView::of(q)->invalidateCursorRects();
}

void InteractiveLabelPrivate::registerCursorRects()
{
    MouseTrackingView *view = MouseTrackingView::of(q);
    if (labelCursor)
        view->addCursorRect(q->rect(), *labelCursor);
    for (const std::shared_ptr<Item> &item : std::as_const(items)) {
        if (const std::optional<Item::CursorInfo> info = item->cursorInfo()) {
            for (const QRectF &rect : info->rects)
                view->addCursorRect(rect, info->cursor);
        }
    }
}

void InteractiveLabelPrivate::handleMotion(const std::optional<QPointF> &position)
{
    platform::Scheduler &scheduler = platform::Scheduler::shared();
    if (moveEvent)
        scheduler.cancel(moveWork);
    const QPointer<InteractiveLabel> guard(q);
    const auto handle = [guard, position] {
        if (guard)
            guard->movedShake(position);
    };
    if (position && q->itemAt(*position)) {
        moveEvent = position;
        moveWork = scheduler.after(
            antiShakeEnable ? InteractiveLabel::antiShakeDelay : std::chrono::milliseconds(0), handle);
        return;
    }
    // Leaving the items is never debounced and never cancelled.
    moveEvent.reset();
    scheduler.after(std::chrono::milliseconds(0), handle);
}

} // namespace mira
