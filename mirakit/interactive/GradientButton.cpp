#include "GradientButton.h"

namespace mira {

GradientButton::GradientButton(QWidget *parent)
    : InteractiveButton(parent)
{
}

GradientButton::~GradientButton() = default;

bool GradientButton::backgroundColorEnable() const
{
    return false;
}

void GradientButton::interactiveStateDidChanged(Interactive::State last)
{
    InteractiveButton::interactiveStateDidChanged(last);
    applyGradient();
}

} // namespace mira
