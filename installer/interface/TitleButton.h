#pragma once

#include "StyledButton.h"

/**
 * A text-only button in the theme green, for secondary actions.
 *
 * | State | Title |
 * |---|---|
 * | normal | 0x2EB27E |
 * | hovered | 0x2CA978 |
 * | clicked | 0x258E65 |
 * | disabled | black at 25 % |
 *
 * No background and no border. Corners, focus and keyboard as StyledButton.
 */
class TitleButton : public StyledButton {
    Q_OBJECT
public:
    explicit TitleButton(QWidget *parent = nullptr);
    ~TitleButton() override;
};
