#include "MiraSlider_p.h"

#include "SliderValueCommand_p.h"
#include "SpringAnimation_p.h"

#include <mirakit/interactive/DisplayLink.h>
#include <platform/NotificationCenter.h>

#include <algorithm>
#include <utility>

namespace mira {

namespace {

// The dot's spring: mass 0.5, stiffness 100, damping 5, cut off after 0.35 s
// at its resting place.
constexpr SpringCurve dotSpring { 0.5, 100, 5 };
constexpr double springSeconds = 0.35;
constexpr qreal highlightedInset = 1;

// Where a spring released at rest at @p from, pulled to @p to, is after @p seconds.
qreal springPosition(qreal from, qreal to, double seconds)
{
    if (seconds >= springSeconds)
        return to;
    return from + (to - from) * dotSpring.progressAt(seconds);
}

} // namespace

MiraSliderPrivate::MiraSliderPrivate(MiraSlider *q)
    : q(q)
    , link(new DisplayLink(q, q))
{
}

qreal MiraSliderPrivate::axisPosition(QPointF point) const
{
    if (!q->isHorizontal())
        return q->height() - point.y();
    return q->isRightToLeft() ? q->width() - point.x() : point.x();
}

double MiraSliderPrivate::clampToBounds(double candidate) const
{
    return std::clamp(candidate, std::min(minValue, maxValue), std::max(minValue, maxValue));
}

void MiraSliderPrivate::highlight(bool on)
{
    springFrom = dotInset;
    springTo = on ? highlightedInset : dotBorderWidth;
    springStart = platform::Scheduler::shared().now();
    link->setPaused(false);
}

void MiraSliderPrivate::stepSpring()
{
    const double seconds = std::chrono::duration<double>(platform::Scheduler::shared().now() - springStart).count();
    dotInset = springPosition(springFrom, springTo, seconds);
    if (dotInset == springTo)
        link->setPaused(true);
    q->update();
}

void MiraSliderPrivate::endInteraction()
{
    if (touchLocation == MiraSlider::TouchLocation::knob)
        highlight(false);
    dragStartLocation.reset();
    dragStartProgress.reset();
    touchLocation = MiraSlider::TouchLocation::out;
}

void MiraSliderPrivate::editTo(double target, bool autoRepeat)
{
    preValue = value;
    q->setValue(clampToBounds(target));
    finishChange(autoRepeat);
}

void MiraSliderPrivate::finishChange(bool autoRepeat)
{
    const std::optional<double> before = std::exchange(preValue, std::nullopt);
    valueState = MiraSlider::ValueState::end;
    if (before && *before != value && acceptUndoWhenChanged) {
        if (undoStack)
            undoStack->push(new SliderValueCommand(q, *before, value, autoRepeat));
        postDidUndoChange();
    }
    Q_EMIT q->valueEdited(value, valueState);
}

void MiraSliderPrivate::applyUndoStep(double restored)
{
    postDidUndoChange();
    q->setValue(restored);
    Q_EMIT q->valueEdited(value, valueState);
}

void MiraSliderPrivate::postDidUndoChange()
{
    platform::NotificationCenter::defaultCenter().post(MiraSlider::didUndoChangeNotification(), undoStack.data());
}

} // namespace mira
