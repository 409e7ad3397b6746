#include "BorderButton.h"

#include <mirakit/foundation/ColorExtensions.h>

using State = mira::Interactive::State;

BorderButton::BorderButton(QWidget *parent)
    : StyledButton(parent)
{
    setTextColor(mira::rgb(0x342929), State::normal);
    setTextColor(mira::rgb(0x000000, 0.25), State::disabled);
    setBackgroundColor(mira::rgb(0xFFFFFF), State::normal);
    setBackgroundColor(mira::rgb(0x000000, 0.05), State::hovered);
    setBackgroundColor(mira::rgb(0x000000, 0.1), State::clicked);
    setBackgroundColor(mira::rgb(0x000000, 0.05), State::disabled);
    setBorderWidth(1, State::normal);
    setBorderColor(mira::rgb(0xD8DEE4), State::normal);
}

BorderButton::~BorderButton() = default;
