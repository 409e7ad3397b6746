#include "InteractiveLabel_p.h"

#include "MouseTracker.h"
#include "MouseTrackingPointer.h"
#include "MouseTrackingView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace mira {

using Item = InteractiveLabel::InteractiveItem;

InteractiveLabel::InteractiveLabel(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<InteractiveLabelPrivate>(this))
{
    InteractiveLabelPrivate::installAccessibleFactory();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred, QSizePolicy::Label);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setFocusPolicy(Qt::NoFocus);
    MouseTrackingView::of(this);
}

InteractiveLabel::InteractiveLabel(const QString &text, QWidget *parent)
    : InteractiveLabel(parent)
{
    setStringValue(text);
}

InteractiveLabel::~InteractiveLabel() = default;

QString InteractiveLabel::stringValue() const
{
    return d->displayed.text;
}

void InteractiveLabel::setStringValue(const QString &text)
{
    d->showOrigin(d->plainText(text), true);
}

AttributedText InteractiveLabel::attributedStringValue() const
{
    return d->displayed;
}

void InteractiveLabel::setAttributedStringValue(const AttributedText &text)
{
    d->showOrigin(text, false);
}

AttributedText InteractiveLabel::originAttributedStringValue() const
{
    if (!d->origin)
        d->origin = d->plainText(stringValue());
    return *d->origin;
}

QColor InteractiveLabel::textColor() const
{
    return d->textColor;
}

void InteractiveLabel::setTextColor(const QColor &color)
{
    if (d->textColor == color)
        return;
    d->textColor = color;
    d->restylePlainText();
    update();
    Q_EMIT textColorChanged(color);
}

Qt::Alignment InteractiveLabel::alignment() const
{
    return d->alignment;
}

void InteractiveLabel::setAlignment(Qt::Alignment alignment)
{
    alignment &= Qt::AlignHorizontal_Mask;
    if (d->alignment == alignment)
        return;
    d->alignment = alignment;
    d->alignTexts();
    d->refreshRects();
    d->invalidateCursorRects();
    update();
    Q_EMIT alignmentChanged(alignment);
}

void InteractiveLabel::setAttributes(
    const std::optional<QTextCharFormat> &attributes, const TextRange &range, Interactive::State state)
{
    if (!attributes) {
        // The item is made all the same; its table and state stay as they are.
        d->itemFor(range);
        d->updateAttributesIfNeed();
        return;
    }
    d->storeItemValue(range, state, *attributes, &Item::interactiveAttributes, &Item::setInteractiveAttributes, true);
}

void InteractiveLabel::setBlock(const Block &block, const TextRange &range, Interactive::State state)
{
    d->storeItemValue(range, state, block, &Item::interactiveBlocks, &Item::setInteractiveBlocks, false);
}

void InteractiveLabel::setEventAction(const RangeAction &action, Interactive::Event event, const TextRange &range)
{
    const std::shared_ptr<Item> item = d->itemFor(range);
    // A null action removes the entry: an item without actions is no link.
    EventAction wrapped;
    if (action)
        wrapped = [action](const QVariant &value) {
            action(value.canConvert<TextRange>() ? value.value<TextRange>() : TextRange {});
        };
    item->setEventAction(wrapped, event);
    item->fixState();
    d->updateAttributesIfNeed();
    d->updateFocusPolicy();
}

void InteractiveLabel::setCursor(const QCursor &cursor, const TextRange &range, Interactive::State state)
{
    d->storeItemValue(range, state, cursor, &Item::interactiveCursors, &Item::setInteractiveCursors, true);
}

bool InteractiveLabel::isSelected() const
{
    return d->selected;
}

void InteractiveLabel::setSelected(bool selected)
{
    if (d->selected == selected)
        return;
    d->selected = selected;
    for (const std::shared_ptr<Item> &item : QList(d->items)) {
        item->setSelected(selected);
        item->fixState();
    }
    d->updateAttributesIfNeed();
    Q_EMIT selectedChanged(selected);
}

std::optional<QCursor> InteractiveLabel::labelCursor() const
{
    return d->labelCursor;
}

void InteractiveLabel::setLabelCursor(const std::optional<QCursor> &cursor)
{
    d->labelCursor = cursor;
    d->invalidateCursorRects();
}

bool InteractiveLabel::antiShakeEnable() const
{
    return d->antiShakeEnable;
}

void InteractiveLabel::setAntiShakeEnable(bool enable)
{
    if (d->antiShakeEnable == enable)
        return;
    d->antiShakeEnable = enable;
    Q_EMIT antiShakeEnableChanged(enable);
}

bool InteractiveLabel::drawTextBorder() const
{
    return d->drawTextBorder;
}

void InteractiveLabel::setDrawTextBorder(bool draw)
{
    if (d->drawTextBorder == draw)
        return;
    d->drawTextBorder = draw;
    update();
    Q_EMIT drawTextBorderChanged(draw);
}

QList<std::shared_ptr<Item>> InteractiveLabel::items() const
{
    return d->items;
}

std::shared_ptr<Item> InteractiveLabel::itemAt(const QPointF &position) const
{
    if (!QRectF(rect()).contains(position))
        return nullptr;
    for (const std::shared_ptr<Item> &item : std::as_const(d->items)) {
        const QList<QRectF> rects = item->rects();
        if (std::any_of(rects.cbegin(), rects.cend(), [&](const QRectF &r) { return r.contains(position); }))
            return item;
    }
    return nullptr;
}

std::optional<MouseTrackingArea> InteractiveLabel::mouseTrackingArea() const
{
    return d->trackingArea;
}

bool InteractiveLabel::hasHeightForWidth() const
{
    return true;
}

int InteractiveLabel::heightForWidth(int width) const
{
    qreal height = 0;
    for (const InteractiveLabelLayout::Line &line :
        d->layout(QSizeF(width, InteractiveLabelPrivate::unbounded)).lines())
        height += line.rect.height();
    return int(std::ceil(height));
}

QSize InteractiveLabel::sizeHint() const
{
    const InteractiveLabelLayout unwrapped
        = d->layout(QSizeF(InteractiveLabelPrivate::unbounded, InteractiveLabelPrivate::unbounded));
    qreal natural = 0;
    for (const InteractiveLabelLayout::Line &line : unwrapped.lines())
        natural = std::max(natural, line.rect.width());
    // Long texts wrap at about sixty characters rather than asking for the whole screen.
    const qreal widest = QFontMetricsF(d->labelFont()).averageCharWidth() * 60;
    const int width = int(std::ceil(std::min(natural, widest) + 2 * unwrapped.lineFragmentPadding())) + 1;
    return QSize(width, heightForWidth(width));
}

QSize InteractiveLabel::minimumSizeHint() const
{
    const int narrow = int(std::ceil(QFontMetricsF(d->labelFont()).averageCharWidth() * 10));
    return QSize(std::min(sizeHint().width(), narrow), heightForWidth(int(InteractiveLabelPrivate::unbounded)));
}

void InteractiveLabel::configerTrackingArea()
{
    MouseTrackingView *view = MouseTrackingView::of(this);
    if (d->trackingArea)
        view->removeTrackingArea(*d->trackingArea);
    d->trackingArea = MouseTrackingArea::create(rect(), MouseTracker::regionOptions);
    view->addTrackingArea(*d->trackingArea);
    if (MouseTrackingPointer::isInWindow(this))
        d->handleMotion(QPointF(MouseTrackingPointer::positionIn(this)));
}

void InteractiveLabel::movedShake(const std::optional<QPointF> &position)
{
    const std::shared_ptr<Item> hit = position ? itemAt(*position) : nullptr;
    d->dispatchToItems(&Item::moved, hit.get());
}

bool InteractiveLabel::event(QEvent *event)
{
    // The renewals arrive before resizeEvent(), so the item rectangles are brought up to date first.
    if (event->type() == MouseTrackingView::updateTrackingAreasEventType()) {
        d->refreshRects();
        configerTrackingArea();
        return true;
    }
    if (event->type() == MouseTrackingView::resetCursorRectsEventType()) {
        d->refreshRects();
        d->registerCursorRects();
        return true;
    }
    // Qt keeps pointer motion from a disabled widget, but a disabled label still shows hover.
    if (event->type() == QEvent::MouseMove && !isEnabled()) {
        mouseMoveEvent(static_cast<QMouseEvent *>(event));
        return true;
    }
    return QWidget::event(event);
}

void InteractiveLabel::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        d->followEnabled();
        break;
    case QEvent::FontChange:
        d->restylePlainText();
        updateGeometry();
        break;
    case QEvent::LayoutDirectionChange:
        d->refreshRects();
        d->invalidateCursorRects();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void InteractiveLabel::enterEvent(QEnterEvent *event)
{
    d->handleMotion(event->position());
}

void InteractiveLabel::leaveEvent(QEvent *)
{
    d->handleMotion(std::nullopt);
}

void InteractiveLabel::mouseMoveEvent(QMouseEvent *event)
{
    d->handleMotion(event->position());
}

void InteractiveLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (!isEnabled())
        return;
    d->dispatchToItems(&Item::mouseDown, itemAt(event->position()).get());
}

void InteractiveLabel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!isEnabled())
        return;
    d->dispatchToItems(&Item::mouseUp, itemAt(event->position()).get());
}

void InteractiveLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const InteractiveLabelLayout layout = d->layout(size());
    layout.draw(&painter, d->textColor.isValid() ? d->textColor : palette().color(QPalette::WindowText));
    d->updateItemsRects(layout, d->drawTextBorder ? &painter : nullptr);
    d->paintFocusRing(&painter);
}

QList<std::shared_ptr<InteractiveLabel::InteractiveItem>> InteractiveLabel::links() const
{
    QList<std::shared_ptr<Item>> links;
    for (const std::shared_ptr<Item> &item : std::as_const(d->items)) {
        if (item->isActionable())
            links.append(item);
    }
    std::stable_sort(links.begin(), links.end(),
        [](const auto &a, const auto &b) { return a->range().location < b->range().location; });
    return links;
}

std::shared_ptr<InteractiveLabel::InteractiveItem> InteractiveLabel::focusedLink() const
{
    const QList<std::shared_ptr<Item>> all = links();
    if (!hasFocus() || d->focusedLink < 0 || d->focusedLink >= all.size())
        return nullptr;
    return all.at(d->focusedLink);
}

void InteractiveLabel::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason)
        d->keyboardFocus
            = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    const int count = int(links().size());
    if (reason == Qt::BacktabFocusReason)
        d->focusLink(count - 1);
    else if (reason == Qt::TabFocusReason || d->focusedLink < 0 || d->focusedLink >= count)
        d->focusLink(count > 0 ? 0 : -1);
    else
        d->focusLink(d->focusedLink);
}

void InteractiveLabel::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    // A window losing activation keeps its focus widget; the ring comes back with it.
    if (event->reason() != Qt::ActiveWindowFocusReason)
        d->keyboardFocus = false;
    update();
}

bool InteractiveLabel::focusNextPrevChild(bool next)
{
    const int target = d->focusedLink + (next ? 1 : -1);
    if (hasFocus() && target >= 0 && target < links().size()) {
        d->keyboardFocus = true;
        d->focusLink(target);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void InteractiveLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool press = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    const std::shared_ptr<Item> link = focusedLink();
    if (!press || !link || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!isEnabled())
        return;
    const QPointer<InteractiveLabel> guard(this);
    link->activate();
    if (guard)
        d->updateAttributesIfNeed();
}

} // namespace mira
