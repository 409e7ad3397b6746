#include "ThemeButton.h"

#include <mirakit/foundation/ColorExtensions.h>

using State = mira::Interactive::State;

ThemeButton::ThemeButton(QWidget *parent)
    : StyledButton(parent)
{
    setTextColor(mira::rgb(0x342929), State::normal);
    setBackgroundColor(mira::rgb(0x3BE5A2), State::normal);
    setBackgroundColor(mira::rgb(0x36D395), State::hovered);
    setBackgroundColor(mira::rgb(0x2FB782), State::clicked);
    setBackgroundColor(mira::rgb(0x000000, 0.05), State::disabled);
}

ThemeButton::~ThemeButton() = default;
