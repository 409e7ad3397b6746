#include "TitleButton.h"

#include <mirakit/foundation/ColorExtensions.h>

using State = mira::Interactive::State;

TitleButton::TitleButton(QWidget *parent)
    : StyledButton(parent)
{
    setTextColor(mira::rgb(0x2EB27E), State::normal);
    setTextColor(mira::rgb(0x2CA978), State::hovered);
    setTextColor(mira::rgb(0x258E65), State::clicked);
    setTextColor(mira::rgb(0x000000, 0.25), State::disabled);
}

TitleButton::~TitleButton() = default;
