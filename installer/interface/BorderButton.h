#pragma once

#include "StyledButton.h"

/**
 * A white button with a light grey outline, for the alternative next to a
 * ThemeButton.
 *
 * | State | Title | Background |
 * |---|---|---|
 * | normal | 0x342929 | 0xFFFFFF |
 * | hovered | (normal) | black at 5 % |
 * | clicked | (normal) | black at 10 % |
 * | disabled | black at 25 % | black at 5 % |
 *
 * Border: 1 pixel of 0xD8DEE4 (normal, and by fallback every state).
 * Corners, focus and keyboard as StyledButton.
 */
class BorderButton : public StyledButton {
    Q_OBJECT
public:
    explicit BorderButton(QWidget *parent = nullptr);
    ~BorderButton() override;
};
