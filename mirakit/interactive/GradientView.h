#pragma once

#include <mirakit/interactive/InteractiveGradientViewProtocol.h>
#include <mirakit/interactive/InteractiveView.h>
#include <mirakit/mirakit_export.h>

namespace mira {

/**
 * A stateful panel (InteractiveView) whose background is a linear gradient
 * that can change with hovering, pressing, selection and disabling.
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
 * auto *banner = new mira::GradientView(parent);
 * banner->setDirection(mira::Interactive::GradientDirection::vertical);
 * banner->setColors({ QColor(0x3BE5A2), QColor(0x2FB782) }, mira::Interactive::State::normal);
 * @endcode
 *
 * Designable properties (MIRA_GRADIENT_PROPERTIES): direction,
 * isHorizontalDirection (and the other three directions; true selects, false
 * changes nothing), and normalStartColor, normalEndColor, hoveredStartColor,
 * hoveredEndColor, clickedStartColor, clickedEndColor.
 */
class MIRAKIT_EXPORT GradientView : public InteractiveView, public InteractiveGradientViewProtocol {
    Q_OBJECT
public:
    MIRA_GRADIENT_PROPERTIES

    explicit GradientView(QWidget *parent = nullptr);
    ~GradientView() override;

    bool backgroundColorEnable() const override;
    void interactiveStateDidChanged(Interactive::State last) override;
};

} // namespace mira
