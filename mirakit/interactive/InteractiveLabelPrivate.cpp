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

constexpr qreal focusRingWidth = 2;

// One link of a label: the text of its range, pressed by its action.
class InteractiveLinkAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    InteractiveLinkAccessible(InteractiveLabel *label, const std::weak_ptr<Item> &item)
        : m_label(label)
        , m_item(item)
    {
    }

    bool isValid() const override { return m_label && !m_item.expired() && index() >= 0; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_label ? m_label->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_label); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Link; }
    void setText(QAccessible::Text, const QString &) override { }

    QString text(QAccessible::Text type) const override
    {
        const std::shared_ptr<Item> item = m_item.lock();
        if (type != QAccessible::Name || !item || !m_label)
            return QString();
        return m_label->stringValue().mid(item->range().location, item->range().length);
    }

    QRect rect() const override
    {
        const std::shared_ptr<Item> item = m_item.lock();
        if (!item || !m_label)
            return QRect();
        QRectF bounds;
        for (const QRectF &line : item->rects())
            bounds |= line;
        return QRect(m_label->mapToGlobal(bounds.topLeft().toPoint()), bounds.size().toSize());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!m_label)
            return state;
        state.focusable = true;
        state.linked = true;
        state.invisible = !m_label->isVisible();
        state.disabled = !m_label->isEnabled();
        state.focused = m_label->focusedLink() == m_item.lock();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return { pressAction(), setFocusAction() }; }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    void doAction(const QString &name) override
    {
        const std::shared_ptr<Item> item = m_item.lock();
        if (!item || !m_label)
            return;
        if (name == setFocusAction()) {
            m_label->setFocus(Qt::OtherFocusReason);
            InteractiveLabelPrivate::get(m_label)->focusLink(index());
        } else if (name == pressAction() && m_label->isEnabled()) {
            item->activate();
            if (m_label)
                InteractiveLabelPrivate::get(m_label)->updateAttributesIfNeed();
        }
    }

    int index() const
    {
        const std::shared_ptr<Item> item = m_item.lock();
        return m_label && item ? int(m_label->links().indexOf(item)) : -1;
    }

private:
    QPointer<InteractiveLabel> m_label;
    std::weak_ptr<Item> m_item;
};

// The label exposes its text the way a static text does, with its links as children.
class InteractiveLabelAccessible : public QAccessibleWidget {
public:
    explicit InteractiveLabelAccessible(InteractiveLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    ~InteractiveLabelAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_links))
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && own.isEmpty())
            return label()->stringValue();
        return own;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        // While one of its links has focus, the link is what is focused.
        if (label()->focusedLink())
            state.focused = false;
        return state;
    }

    int childCount() const override { return int(label()->links().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<std::shared_ptr<Item>> links = label()->links();
        if (index < 0 || index >= links.size())
            return nullptr;
        const QUuid key = links.at(index)->uuid();
        if (const QAccessible::Id id = m_links.value(key)) {
            if (QAccessibleInterface *existing = QAccessible::accessibleInterface(id); existing && existing->isValid())
                return existing;
            QAccessible::deleteAccessibleInterface(id);
        }
        auto *link = new InteractiveLinkAccessible(label(), links.at(index));
        m_links.insert(key, QAccessible::registerAccessibleInterface(link));
        return link;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *link = dynamic_cast<const InteractiveLinkAccessible *>(child);
        return link ? link->index() : -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int index = 0; index < childCount(); ++index) {
            QAccessibleInterface *link = child(index);
            if (link && link->rect().contains(x, y))
                return link;
        }
        return nullptr;
    }

private:
    InteractiveLabel *label() const { return static_cast<InteractiveLabel *>(widget()); }

    mutable QHash<QUuid, QAccessible::Id> m_links;
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

InteractiveLabelPrivate *InteractiveLabelPrivate::get(InteractiveLabel *label)
{
    return label->d.get();
}

void InteractiveLabelPrivate::updateFocusPolicy()
{
    const bool hasLinks = !q->links().isEmpty();
    q->setFocusPolicy(hasLinks ? Qt::StrongFocus : Qt::NoFocus);
    if (!hasLinks && q->hasFocus())
        q->clearFocus();
}

void InteractiveLabelPrivate::focusLink(int index)
{
    const int count = int(q->links().size());
    focusedLink = index >= 0 && index < count ? index : -1;
    q->update();
    if (focusedLink < 0 || !q->hasFocus() || !QAccessible::isActive())
        return;
    QAccessibleInterface *label = QAccessible::queryAccessibleInterface(q);
    if (QAccessibleInterface *link = label ? label->child(focusedLink) : nullptr) {
        QAccessibleEvent event(link, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void InteractiveLabelPrivate::paintFocusRing(QPainter *painter) const
{
    const std::shared_ptr<InteractiveLabel::InteractiveItem> link = q->focusedLink();
    if (!link || !keyboardFocus)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(q->palette().color(QPalette::Highlight), focusRingWidth));
    painter->setBrush(Qt::NoBrush);
    for (const QRectF &line : link->rects())
        painter->drawRoundedRect(line.adjusted(-1, 0, 1, 0), 3, 3);
    painter->restore();
}

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
    items.append(std::make_shared<Item>(range, q->isEnabled(), selected));
    return items.last();
}

void InteractiveLabelPrivate::dispatchToItems(void (Item::*handler)(const Item *), const Item *hit)
{
    const QPointer<InteractiveLabel> guard(q);
    for (const std::shared_ptr<Item> &item : QList(items)) {
        ((*item).*handler)(hit);
        if (!guard)
            return;
    }
    updateAttributesIfNeed();
}

void InteractiveLabelPrivate::showOrigin(const AttributedText &text, bool fromPlain)
{
    const bool textDiffers = displayed.text != text.text;
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
    if (textDiffers)
        Q_EMIT q->textChanged(text.text);
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

void InteractiveLabelPrivate::followEnabled()
{
    const bool enabled = q->isEnabled();
    for (const std::shared_ptr<Item> &item : QList(items)) {
        item->setEnabled(enabled);
        // A press that was going on when the label was disabled will never see its release.
        if (!enabled)
            item->setClicked(false);
        item->fixState();
    }
    updateAttributesIfNeed();
}

} // namespace mira
