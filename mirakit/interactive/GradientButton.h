#pragma once

#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/InteractiveGradientViewProtocol.h>
#include <mirakit/mirakit_export.h>

namespace mira {

/**
 * A stateful push button (InteractiveButton) whose background is a linear
 * gradient that can change with hovering, pressing, selection and disabling.
 *
 * Colours, end points and stops are registered per state
 * (InteractiveGradientViewProtocol); the direction supplies the end points
 * and the stops [0, 1] where a state registers none. Nothing is painted as a
 * gradient before a colour list has been registered. The plain background
 * colour table does not drive the background (backgroundColorEnable() is
 * false); borders, cursors and callables work as in the base class.
 *
 * Defaults: horizontal, no colours.
 *
 * @code
 * auto *start = new mira::GradientButton(parent);
 * start->setTitle(tr("Start"));
 * start->setColors({ QColor(0x3BE5A2), QColor(0x36D3C0) }, mira::Interactive::State::normal);
 * start->setColors({ QColor(0x36D395), QColor(0x2FB7A8) }, mira::Interactive::State::hovered);
 * @endcode
 *
 * Designable properties (MIRA_GRADIENT_PROPERTIES): direction,
 * isHorizontalDirection (and the other three directions; true selects, false
 * changes nothing), and normalStartColor, normalEndColor, hoveredStartColor,
 * hoveredEndColor, clickedStartColor, clickedEndColor.
 */
class MIRAKIT_EXPORT GradientButton : public InteractiveButton, public InteractiveGradientButtonProtocol {
    Q_OBJECT
public:
    MIRA_GRADIENT_PROPERTIES

    explicit GradientButton(QWidget *parent = nullptr);
    ~GradientButton() override;

    bool backgroundColorEnable() const override;
    void interactiveStateDidChanged(Interactive::State last) override;
};

} // namespace mira
