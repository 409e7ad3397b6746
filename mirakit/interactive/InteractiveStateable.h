#pragma once

#include <mirakit/interactive/Interactive.h>
#include <mirakit/mirakit_export.h>

namespace mira {

/**
 * The state machinery every stateful object shares: four independent flags
 * (enabled, selected, pointer inside, press in progress), the state derived
 * from them, and the owner's event actions.
 *
 * A conformer starts in Interactive::State::normal, enabled and with the
 * other flags off. Whenever a flag changes it calls fixState(), which
 * recomputes interactiveState() and then calls interactiveStateDidChanged()
 * with the previous state — on every recomputation, also when the state did
 * not change. The conformer applies its appearance there.
 *
 * The flag accessors are plain stored values here; writing them does not
 * recompute anything. Widget controls take enabled from the widget itself
 * (QWidget::isEnabled()) and override the selected setter to clear the
 * press flag and recompute (see InteractiveViewProtocol); the stored
 * enabled flag serves conformers that are not widgets, such as the items of
 * an InteractiveLabel.
 *
 * @code
 * class Chip : public mira::InteractiveStateable {
 *     void interactiveStateDidChanged(mira::Interactive::State) override
 *     {
 *         color = mira::adapterValue(colors, mira::statePriority(interactiveState())).value_or(Qt::white);
 *     }
 * };
 * @endcode
 */
class MIRAKIT_EXPORT InteractiveStateable {
public:
    InteractiveStateable();
    virtual ~InteractiveStateable();

    virtual Interactive::State interactiveState() const;
    virtual void setInteractiveState(Interactive::State state);
    /// Default true.
    virtual bool isEnabled() const;
    virtual void setEnabled(bool enabled);
    /// Default false.
    virtual bool isSelected() const;
    virtual void setSelected(bool selected);
    /// True while the pointer is inside. Default false.
    virtual bool isEntered() const;
    virtual void setEntered(bool entered);
    /// True while a press is in progress. Default false.
    virtual bool isClicked() const;
    virtual void setClicked(bool clicked);
    /// The owner's callbacks per event; empty at first.
    virtual EventActionTable interactiveEventActions() const;
    virtual void setInteractiveEventActions(const EventActionTable &actions);

    /// Called with the previous state after every recomputation. Spelled as conformers know it.
    virtual void interactiveStateDidChanged(Interactive::State last) = 0;

    /// Stores @p action under @p event; an empty action removes it.
    virtual void setEventAction(const EventAction &action, Interactive::Event event);

    /**
     * Recomputes the state from the flags: disabled when not enabled,
     * selected, hovered when entered, clicked when pressed; normal when none
     * holds. Then calls interactiveStateDidChanged() with the previous state.
     */
    void fixState();

    /// The first state of the current fallback order that occurs in
    /// @p attentions; normal when none does.
    Interactive::State adapterState(const QList<Interactive::State> &attentions) const;

protected:
    /// Calls the action registered for @p event, if any, with @p sender.
    void sendEventAction(Interactive::Event event, const QVariant &sender) const;

private:
    Interactive::State m_state = Interactive::State::normal;
    bool m_enabled = true;
    bool m_selected = false;
    bool m_entered = false;
    bool m_clicked = false;
    EventActionTable m_actions;
};

} // namespace mira
