#pragma once

#include <mirakit/interactive/InteractiveButton.h>

/**
 * The common ground of the installer's styled buttons (ThemeButton,
 * TitleButton, BorderButton): a rounded mira::InteractiveButton that takes
 * keyboard focus and shows it.
 *
 * - Corner radius: 4 unless one is set. Interface files set it after the
 *   button is built, either through MiraKit's cornerRadius or through the
 *   designable name cornerRadiusIB (both land in setCornerRadius()), so a
 *   radius of 8 set there stays 8.
 * - Keyboard: Tab and Backtab reach the button while it is enabled (Qt
 *   leaves disabled widgets out of the focus chain); Space
 *   presses it, as for every InteractiveButton. Return and Escape are left
 *   to the page, which knows its default and cancel actions.
 * - Focus: the keyboard focus ring of every mira::InteractiveButton, in the
 *   installer's green (0x258E65).
 *
 * The accessible name follows the title.
 */
class StyledButton : public mira::InteractiveButton {
    Q_OBJECT
    Q_PROPERTY(qreal cornerRadiusIB READ cornerRadius WRITE setCornerRadius)
public:
    explicit StyledButton(QWidget *parent = nullptr);
    ~StyledButton() override;
};
