#include "InteractiveStateable.h"

namespace mira {

InteractiveStateable::InteractiveStateable() = default;
InteractiveStateable::~InteractiveStateable() = default;

Interactive::State InteractiveStateable::interactiveState() const
{
    return m_state;
}

void InteractiveStateable::setInteractiveState(Interactive::State state)
{
    m_state = state;
}

bool InteractiveStateable::isEnabled() const
{
    return m_enabled;
}

void InteractiveStateable::setEnabled(bool enabled)
{
    m_enabled = enabled;
}

bool InteractiveStateable::isSelected() const
{
    return m_selected;
}

void InteractiveStateable::setSelected(bool selected)
{
    m_selected = selected;
}

bool InteractiveStateable::isEntered() const
{
    return m_entered;
}

void InteractiveStateable::setEntered(bool entered)
{
    m_entered = entered;
}

bool InteractiveStateable::isClicked() const
{
    return m_clicked;
}

void InteractiveStateable::setClicked(bool clicked)
{
    m_clicked = clicked;
}

EventActionTable InteractiveStateable::interactiveEventActions() const
{
    return m_actions;
}

void InteractiveStateable::setInteractiveEventActions(const EventActionTable &actions)
{
    m_actions = actions;
}

void InteractiveStateable::setEventAction(const EventAction &action, Interactive::Event event)
{
    EventActionTable actions = interactiveEventActions();
    if (action)
        actions.insert(event, action);
    else
        actions.remove(event);
    setInteractiveEventActions(actions);
}

void InteractiveStateable::fixState()
{
    using S = Interactive::State;
    S state;
    if (!isEnabled())
        state.insert(S::disabled);
    if (isSelected())
        state.insert(S::selected);
    if (isEntered())
        state.insert(S::hovered);
    if (isClicked())
        state.insert(S::clicked);
    if (state.isEmpty())
        state = S::normal;
    const S last = interactiveState();
    setInteractiveState(state);
    interactiveStateDidChanged(last);
}

Interactive::State InteractiveStateable::adapterState(const QList<Interactive::State> &attentions) const
{
    for (Interactive::State state : statePriority(interactiveState())) {
        if (attentions.contains(state))
            return state;
    }
    return Interactive::State::normal;
}

void InteractiveStateable::sendEventAction(Interactive::Event event, const QVariant &sender) const
{
    // Copy first: the action may replace the table (or delete the control).
    const EventAction action = interactiveEventActions().value(event);
    if (action)
        action(sender);
}

} // namespace mira
