#pragma once

#include "StyledButton.h"

/**
 * The installer's main call to action: dark title on the theme green.
 *
 * | State | Title | Background |
 * |---|---|---|
 * | normal | 0x342929 | 0x3BE5A2 |
 * | hovered | (normal) | 0x36D395 |
 * | clicked | (normal) | 0x2FB782 |
 * | disabled | (normal) | black at 5 % |
 *
 * Corners, focus and keyboard as StyledButton. Interface files may
 * override any colour afterwards.
 */
class ThemeButton : public StyledButton {
    Q_OBJECT
public:
    explicit ThemeButton(QWidget *parent = nullptr);
    ~ThemeButton() override;
};
