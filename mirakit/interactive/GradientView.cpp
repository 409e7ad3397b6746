#include "GradientView.h"

namespace mira {

GradientView::GradientView(QWidget *parent)
    : InteractiveView(parent)
{
}

GradientView::~GradientView() = default;

bool GradientView::backgroundColorEnable() const
{
    return false;
}

void GradientView::interactiveStateDidChanged(Interactive::State last)
{
    InteractiveView::interactiveStateDidChanged(last);
    applyGradient();
}

} // namespace mira
