#pragma once

#include <QPointer>
#include <QUndoCommand>

namespace mira {

class MiraSlider;

// One finished change of a MiraSlider on an undo stack. Undo and redo put the
// value back through the slider (reported as a user change); once the slider
// is gone they do nothing. Presses of a held key merge into the entry before.
class SliderValueCommand : public QUndoCommand {
public:
    SliderValueCommand(MiraSlider *slider, double before, double after, bool autoRepeat);

    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;
    void undo() override;
    void redo() override;

private:
    void apply(double restored);

    QPointer<MiraSlider> m_slider;
    double m_before;
    double m_after;
    bool m_autoRepeat;
    bool m_pushing = true;
};

} // namespace mira
