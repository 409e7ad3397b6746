#include "SliderValueCommand_p.h"

#include "MiraSlider_p.h"

#include <utility>

namespace mira {

SliderValueCommand::SliderValueCommand(MiraSlider *slider, double before, double after, bool autoRepeat)
    : m_slider(slider)
    , m_before(before)
    , m_after(after)
    , m_autoRepeat(autoRepeat)
{
    const QString name = slider->accessibleName();
    setText(name.isEmpty() ? QObject::tr("Change slider") : QObject::tr("Change %1").arg(name));
}

int SliderValueCommand::id() const
{
    return 0x4d53; // shared by every slider entry; mergeWith() tells them apart
}

bool SliderValueCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const SliderValueCommand *>(other);
    if (!next->m_autoRepeat || next->m_slider != m_slider)
        return false;
    m_after = next->m_after;
    return true;
}

void SliderValueCommand::undo()
{
    apply(m_before);
}

void SliderValueCommand::redo()
{
    // The value is already in place when the entry is pushed.
    if (!std::exchange(m_pushing, false))
        apply(m_after);
}

void SliderValueCommand::apply(double restored)
{
    if (m_slider)
        MiraSliderPrivate::get(m_slider)->applyUndoStep(restored);
}

} // namespace mira
