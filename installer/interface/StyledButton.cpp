#include "StyledButton.h"

#include <mirakit/foundation/ColorExtensions.h>

namespace {
constexpr qreal defaultCornerRadius = 4;
constexpr quint32 ringColor = 0x258E65;
} // namespace

StyledButton::StyledButton(QWidget *parent)
    : mira::InteractiveButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setFocusRingColor(mira::rgb(ringColor));
    if (cornerRadius() == 0)
        setCornerRadius(defaultCornerRadius);
}

StyledButton::~StyledButton() = default;
