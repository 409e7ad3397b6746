#pragma once

#include <mirakit/interactive/InteractiveButtonProtocol.h>
#include <mirakit/interactive/InteractiveViewProtocol.h>
#include <mirakit/mirakit_export.h>

namespace mira {

/**
 * Per-state gradient colours, end points and stop positions of a stateful
 * control whose background is a linear gradient (GradientView,
 * GradientButton).
 *
 * Getters resolve through the fallback order and have no default; setters
 * store under exactly the given state and recompute (an empty colour or stop
 * list changes nothing). At every recomputation the control takes the
 * direction's defaults, then the state's colours — when none resolve the
 * gradient keeps what it showed — then the state's points (else the
 * direction's) and stops (else [0, 1]).
 *
 * direction defaults to horizontal; writing it only stores it (and notifies
 * through notifyAppearanceChanged()), and it shows at the next
 * recomputation.
 */
class MIRAKIT_EXPORT InteractiveGradientViewProtocol : public virtual InteractiveViewProtocol {
public:
    InteractiveGradientViewProtocol();
    ~InteractiveGradientViewProtocol() override;

    virtual Interactive::GradientDirection direction() const;
    virtual void setDirection(Interactive::GradientDirection direction);
    virtual StateTable<QList<QColor>> interactiveColors() const;
    virtual void setInteractiveColors(const StateTable<QList<QColor>> &table);
    virtual StateTable<GradientPoints> interactivePoints() const;
    virtual void setInteractivePoints(const StateTable<GradientPoints> &table);
    virtual StateTable<QList<qreal>> interactiveLocations() const;
    virtual void setInteractiveLocations(const StateTable<QList<qreal>> &table);

    std::optional<QList<QColor>> colors(Interactive::State state) const;
    void setColors(const QList<QColor> &colors, Interactive::State state);
    std::optional<GradientPoints> points(Interactive::State state) const;
    void setPoints(const GradientPoints &points, Interactive::State state);
    std::optional<QList<qreal>> location(Interactive::State state) const;
    void setLocation(const QList<qreal> &locations, Interactive::State state);

    /// The first colour that applies in @p state; invalid when there is none.
    QColor startColor(Interactive::State state) const;
    /// The last colour that applies in @p state; invalid when there is none.
    QColor endColor(Interactive::State state) const;
    /// Replaces the first colour of the pair that applies in @p state (or of
    /// (color, color) when none applies) and stores the pair for @p state.
    /// An invalid colour changes nothing.
    void setStartColor(const QColor &color, Interactive::State state);
    /// As setStartColor(), for the second colour.
    void setEndColor(const QColor &color, Interactive::State state);

protected:
    /// Resolves the gradient of the current state into the layer.
    void applyGradient();

private:
    struct Data;
    std::unique_ptr<Data> d_gradient;
};

/// A stateful button with a gradient background: both protocols joined.
class MIRAKIT_EXPORT InteractiveGradientButtonProtocol : public virtual InteractiveButtonProtocol,
                                                         public virtual InteractiveGradientViewProtocol {
public:
    ~InteractiveGradientButtonProtocol() override;
};

} // namespace mira

/// The designable switch is + Name + Direction: true selects @p value, false
/// changes nothing. Like MIRA_STATE_PROPERTY(), it writes no access specifier
/// and belongs in the public section.
#define MIRA_DIRECTION_PROPERTY(Name, value)                                                                           \
    Q_PROPERTY(bool is##Name##Direction READ is##Name##Direction WRITE setIs##Name##Direction NOTIFY appearanceChanged \
            STORED false)                                                                                              \
    bool is##Name##Direction() const                                                                                   \
    {                                                                                                                  \
        return direction() == ::mira::Interactive::GradientDirection::value;                                           \
    }                                                                                                                  \
    void setIs##Name##Direction(bool on)                                                                               \
    {                                                                                                                  \
        if (on)                                                                                                        \
            setDirection(::mira::Interactive::GradientDirection::value);                                               \
    }

/**
 * The designable properties of a gradient control: direction, the four
 * direction switches (isHorizontalDirection, …) and the start and end colours
 * of the normal, hovered and clicked states (normalStartColor, …; a colour
 * sets one end of the state's pair, starting from (c, c) when the state has
 * none). All notify through appearanceChanged(). Used in the public section.
 */
#define MIRA_GRADIENT_PROPERTIES                                                                                       \
    Q_PROPERTY(                                                                                                        \
        mira::Interactive::GradientDirection direction READ direction WRITE setDirection NOTIFY appearanceChanged)     \
    MIRA_DIRECTION_PROPERTY(Horizontal, horizontal)                                                                    \
    MIRA_DIRECTION_PROPERTY(Vertical, vertical)                                                                        \
    MIRA_DIRECTION_PROPERTY(ObliqueUpward, obliqueUpward)                                                              \
    MIRA_DIRECTION_PROPERTY(ObliqueDescent, obliqueDescent)                                                            \
    MIRA_STATE_PROPERTY(QColor, normal, Normal, StartColor, startColor, setStartColor)                                 \
    MIRA_STATE_PROPERTY(QColor, normal, Normal, EndColor, endColor, setEndColor)                                       \
    MIRA_STATE_PROPERTY(QColor, hovered, Hovered, StartColor, startColor, setStartColor)                               \
    MIRA_STATE_PROPERTY(QColor, hovered, Hovered, EndColor, endColor, setEndColor)                                     \
    MIRA_STATE_PROPERTY(QColor, clicked, Clicked, StartColor, startColor, setStartColor)                               \
    MIRA_STATE_PROPERTY(QColor, clicked, Clicked, EndColor, endColor, setEndColor)
