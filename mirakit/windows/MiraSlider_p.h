#pragma once

#include <mirakit/windows/MiraSlider.h>
#include <platform/Scheduler.h>

#include <QPointer>
#include <QUndoStack>

#include <cmath>
#include <optional>

namespace mira {

class DisplayLink;

// The state of one MiraSlider and the steps its input handlers share.
class MiraSliderPrivate {
public:
    explicit MiraSliderPrivate(MiraSlider *q);

    static MiraSliderPrivate *get(MiraSlider *slider) { return slider->d.get(); }

    MiraSlider *const q;
    double minValue = 0;
    double maxValue = 1;
    double value = 0;
    // The value when the current press began: what an undo entry goes back to.
    std::optional<double> preValue;
    MiraSlider::ValueState valueState = MiraSlider::ValueState::begin;
    MiraSlider::TouchLocation touchLocation = MiraSlider::TouchLocation::out;
    // Present only while the knob is dragged.
    std::optional<qreal> dragStartLocation;
    std::optional<double> dragStartProgress;
    QColor trackColor = QColor(0xE1E3E8);
    QColor tintColor = QColor(0x2F7BF5);
    QColor knobColor = Qt::white;
    QColor dotColor = Qt::white;
    bool acceptUndoWhenChanged = true;
    qreal trackHeight = 6;
    qreal dotBorderWidth = 3;
    QPointer<QUndoStack> undoStack;

    // The dot's inset inside the knob, and its spring while it moves.
    qreal dotInset = 3;
    qreal springFrom = 3;
    qreal springTo = 3;
    platform::Scheduler::TimePoint springStart;
    DisplayLink *const link;

    qreal axisLength() const { return std::max(q->width(), q->height()); }
    // The distance of @p point from the minimum end, along the axis.
    qreal axisPosition(QPointF point) const;
    // lerp stays finite where max - min overflows.
    double valueAt(double fraction) const { return std::lerp(minValue, maxValue, fraction); }
    double clampToBounds(double candidate) const;

    // Grows (or shrinks back) the dot on a spring.
    void highlight(bool on);
    void stepSpring();
    // Forgets the press: un-highlights, clears the drag.
    void endInteraction();

    // A change made in one go (a key, assistive technology): clamped, then finished.
    void editTo(double target, bool autoRepeat = false);
    // A finished change by the user: one undo entry when the value really changed.
    void finishChange(bool autoRepeat = false);
    // An undo or redo step putting back @p restored.
    void applyUndoStep(double restored);
    void postDidUndoChange();
};

} // namespace mira
