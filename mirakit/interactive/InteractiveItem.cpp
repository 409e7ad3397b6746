#include "InteractiveLabel.h"

namespace mira {

InteractiveLabel::InteractiveItem::InteractiveItem(const TextRange &range, bool enabled, bool selected)
    : m_uuid(QUuid::createUuid())
    , m_range(range)
{
    InteractiveStateable::setEnabled(enabled);
    InteractiveStateable::setSelected(selected);
}

InteractiveLabel::InteractiveItem::~InteractiveItem() = default;

void InteractiveLabel::InteractiveItem::interactiveStateDidChanged(Interactive::State last)
{
    const QList<Interactive::State> &priority = statePriority(interactiveState());
    if (interactiveState() != last)
        m_needApply = true;
    if (const std::optional<Block> block = adapterValue(m_blocks, priority); block && *block)
        (*block)();
}

void InteractiveLabel::InteractiveItem::applyIfNeed(AttributedText &text)
{
    m_needApply = false;
    if (m_range.location < 0 || m_range.length < 0 || m_range.end() > text.text.size())
        return;
    std::optional<QTextCharFormat> attributes = adapterValue(m_attributes, statePriority(interactiveState()));
    if (!attributes)
        return;
    // The item's format replaces the character attributes; the paragraph's
    // alignment is the label's and stays unless the item sets its own.
    if (!attributes->hasProperty(AttributedText::alignmentProperty)) {
        const QVariant alignment = text.formatAt(int(m_range.location)).property(AttributedText::alignmentProperty);
        if (alignment.isValid())
            attributes->setProperty(AttributedText::alignmentProperty, alignment);
    }
    text.setFormat(m_range, *attributes);
}

std::optional<InteractiveLabel::InteractiveItem::CursorInfo> InteractiveLabel::InteractiveItem::cursorInfo() const
{
    const std::optional<QCursor> cursor = adapterValue(m_cursors, statePriority(interactiveState()));
    if (!cursor)
        return std::nullopt;
    return CursorInfo { m_rects, *cursor };
}

void InteractiveLabel::InteractiveItem::moved(const InteractiveItem *hit)
{
    setEntered(hit && *hit == *this);
    fixState();
}

void InteractiveLabel::InteractiveItem::mouseDown(const InteractiveItem *hit)
{
    if (hit && *hit == *this) {
        setClicked(true);
        sendEventAction(Interactive::Event::mouseDown, QVariant::fromValue(m_range));
    } else {
        setClicked(false);
    }
    fixState();
}

void InteractiveLabel::InteractiveItem::mouseUp(const InteractiveItem *hit)
{
    if (!isClicked())
        return;
    setClicked(false);
    setEntered(hit && *hit == *this);
    sendEventAction(isEntered() ? Interactive::Event::mouseUpInside : Interactive::Event::mouseUpOutside,
        QVariant::fromValue(m_range));
    fixState();
}

bool InteractiveLabel::InteractiveItem::isActionable() const
{
    const EventActionTable actions = interactiveEventActions();
    return actions.value(Interactive::Event::mouseDown) || actions.value(Interactive::Event::mouseUpInside);
}

void InteractiveLabel::InteractiveItem::activate()
{
    const bool entered = isEntered();
    mouseDown(this);
    mouseUp(this);
    if (isEntered() != entered) {
        setEntered(entered);
        fixState();
    }
}

} // namespace mira
