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
 * Designable properties: direction, isHorizontalDirection (and the other
 * three directions; true selects, false changes nothing), and
 * normalStartColor, normalEndColor, hoveredStartColor, hoveredEndColor,
 * clickedStartColor, clickedEndColor.
 */
class MIRAKIT_EXPORT GradientButton : public InteractiveButton, public InteractiveGradientButtonProtocol {
    Q_OBJECT
    Q_PROPERTY(mira::Interactive::GradientDirection direction READ direction WRITE setDirection)
    Q_PROPERTY(bool isHorizontalDirection READ isHorizontalDirection WRITE setIsHorizontalDirection STORED false)
    Q_PROPERTY(bool isVerticalDirection READ isVerticalDirection WRITE setIsVerticalDirection STORED false)
    Q_PROPERTY(
        bool isObliqueUpwardDirection READ isObliqueUpwardDirection WRITE setIsObliqueUpwardDirection STORED false)
    Q_PROPERTY(
        bool isObliqueDescentDirection READ isObliqueDescentDirection WRITE setIsObliqueDescentDirection STORED false)
    Q_PROPERTY(QColor normalStartColor READ normalStartColor WRITE setNormalStartColor STORED false)
    Q_PROPERTY(QColor normalEndColor READ normalEndColor WRITE setNormalEndColor STORED false)
    Q_PROPERTY(QColor hoveredStartColor READ hoveredStartColor WRITE setHoveredStartColor STORED false)
    Q_PROPERTY(QColor hoveredEndColor READ hoveredEndColor WRITE setHoveredEndColor STORED false)
    Q_PROPERTY(QColor clickedStartColor READ clickedStartColor WRITE setClickedStartColor STORED false)
    Q_PROPERTY(QColor clickedEndColor READ clickedEndColor WRITE setClickedEndColor STORED false)

public:
    explicit GradientButton(QWidget *parent = nullptr);
    ~GradientButton() override;

    bool backgroundColorEnable() const override;
    void interactiveStateDidChanged(Interactive::State last) override;

    bool isHorizontalDirection() const { return direction() == Interactive::GradientDirection::horizontal; }
    void setIsHorizontalDirection(bool on)
    {
        if (on)
            setDirection(Interactive::GradientDirection::horizontal);
    }
    bool isVerticalDirection() const { return direction() == Interactive::GradientDirection::vertical; }
    void setIsVerticalDirection(bool on)
    {
        if (on)
            setDirection(Interactive::GradientDirection::vertical);
    }
    bool isObliqueUpwardDirection() const { return direction() == Interactive::GradientDirection::obliqueUpward; }
    void setIsObliqueUpwardDirection(bool on)
    {
        if (on)
            setDirection(Interactive::GradientDirection::obliqueUpward);
    }
    bool isObliqueDescentDirection() const { return direction() == Interactive::GradientDirection::obliqueDescent; }
    void setIsObliqueDescentDirection(bool on)
    {
        if (on)
            setDirection(Interactive::GradientDirection::obliqueDescent);
    }
    QColor normalStartColor() const { return startColor(Interactive::State::normal); }
    void setNormalStartColor(const QColor &c) { setStartColor(c, Interactive::State::normal); }
    QColor normalEndColor() const { return endColor(Interactive::State::normal); }
    void setNormalEndColor(const QColor &c) { setEndColor(c, Interactive::State::normal); }
    QColor hoveredStartColor() const { return startColor(Interactive::State::hovered); }
    void setHoveredStartColor(const QColor &c) { setStartColor(c, Interactive::State::hovered); }
    QColor hoveredEndColor() const { return endColor(Interactive::State::hovered); }
    void setHoveredEndColor(const QColor &c) { setEndColor(c, Interactive::State::hovered); }
    QColor clickedStartColor() const { return startColor(Interactive::State::clicked); }
    void setClickedStartColor(const QColor &c) { setStartColor(c, Interactive::State::clicked); }
    QColor clickedEndColor() const { return endColor(Interactive::State::clicked); }
    void setClickedEndColor(const QColor &c) { setEndColor(c, Interactive::State::clicked); }
};

} // namespace mira
