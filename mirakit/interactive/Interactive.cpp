#include "Interactive.h"

namespace mira {

namespace {

using S = Interactive::State;

// Every combination the recomputation can produce has its own row; the press
// of a pressed control counts as inside (clicked + hovered first) even after
// the pointer has left, selected outranks hovered and disabled outranks selected.
const QList<S> &priorityRow(S::RawValue raw)
{
    static const QList<S> normalOnly { S::normal };
    static const QList<S> selected { S::selected, S::normal };
    static const QList<S> disabled { S::disabled, S::normal };
    static const QList<S> selectedDisabled { S::selected | S::disabled, S::disabled, S::selected, S::normal };
    static const QList<S> clicked { S::clicked | S::hovered, S::clicked, S::hovered, S::normal };
    static const QList<S> selectedClicked { S::selected | S::clicked | S::hovered, S::selected | S::clicked,
        S::selected | S::hovered, S::selected, S::normal };
    static const QList<S> hovered { S::hovered, S::normal };
    static const QList<S> selectedHovered { S::selected | S::hovered, S::selected, S::normal };
    static const QList<S> disabledHovered { S::disabled | S::hovered, S::disabled, S::normal };
    static const QList<S> selectedDisabledHovered { S::selected | S::disabled | S::hovered, S::selected | S::disabled,
        S::disabled, S::selected, S::normal };

    switch (raw) {
    case 2:
        return selected;
    case 4:
        return disabled;
    case 6:
        return selectedDisabled;
    case 8:
    case 24:
        return clicked;
    case 10:
    case 26:
        return selectedClicked;
    case 16:
        return hovered;
    case 18:
        return selectedHovered;
    case 20:
        return disabledHovered;
    case 22:
        return selectedDisabledHovered;
    default:
        // normal itself, 0, normal mixed with other flags, and the disabled
        // states whose press flag is still set (12, 14, 28, 30).
        return normalOnly;
    }
}

} // namespace

Interactive::GradientInfo Interactive::info(GradientDirection direction)
{
    switch (direction) {
    case GradientDirection::horizontal:
        return { QPointF(0, 0.5), QPointF(1, 0.5), { 0, 1 } };
    case GradientDirection::vertical:
        return { QPointF(0.5, 1), QPointF(0.5, 0), { 0, 1 } };
    case GradientDirection::obliqueUpward:
        return { QPointF(0, 0), QPointF(1, 1), { 0, 1 } };
    case GradientDirection::obliqueDescent:
        return { QPointF(0, 1), QPointF(1, 0), { 0, 1 } };
    }
    return { QPointF(0, 0.5), QPointF(1, 0.5), { 0, 1 } };
}

const QList<Interactive::State> &statePriority(Interactive::State state)
{
    return priorityRow(state.rawValue());
}

} // namespace mira
