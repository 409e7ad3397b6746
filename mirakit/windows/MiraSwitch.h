#pragma once

#include <mirakit/mirakit_export.h>

#include <QColor>
#include <QMarginsF>
#include <QWidget>

#include <memory>

namespace mira {

class MiraSwitchPrivate;

/**
 * An on/off switch: a pill-shaped track with a round bead that slides
 * between its two ends.
 *
 * The user toggles it by clicking anywhere on it, by dragging the bead, or
 * with Space when it has focus. A drag counts once the pointer has moved
 * more than half a bead's width from where the press began; the switch then
 * settles on the end nearer to where the bead was let go. A press that does
 * not drag toggles wherever it is released. Only these
 * user toggles emit clicked(); setOn() from code emits onChanged() alone.
 *
 * The bead springs to its end (0.5 s) and swells to 1.1 times its size while
 * pressed (0.35 s), both on platform::Scheduler. The bead's diameter is the
 * height less the top and bottom insets, never below zero nor wider than the
 * switch. The off end is the leading end: left, or right in a right-to-left
 * layout, as Qt's own widgets mirror. A switch too short for its bead to
 * travel keeps the bead in its middle and shows its state by colour alone.
 *
 * Assistive technology sees a check box whose checked state is isOn().
 * A disabled switch (QWidget::isEnabled() false) is drawn faded and drops any
 * press in progress.
 *
 * Defaults: off; white bead in both states; track rgb(68, 68, 68) off and
 * rgb(42, 192, 129) on; swelling on; insets 3 top and bottom, 5 left and
 * right; size hint 50 × 30.
 *
 * @code
 * auto *wifi = new mira::MiraSwitch(page);
 * wifi->setOn(settings.wifi());
 * connect(wifi, &mira::MiraSwitch::clicked, &settings, &Settings::setWifi);
 * @endcode
 */
class MIRAKIT_EXPORT MiraSwitch : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn WRITE setOn NOTIFY onChanged)
    Q_PROPERTY(QColor onKnobColor READ onKnobColor WRITE setOnKnobColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor knobColor READ knobColor WRITE setKnobColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor tintColor READ tintColor WRITE setTintColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor onTintColor READ onTintColor WRITE setOnTintColor NOTIFY colorsChanged)
    Q_PROPERTY(bool highLightedAnimationEnable READ isHighLightedAnimationEnable WRITE setHighLightedAnimationEnable
            NOTIFY highLightedAnimationEnableChanged)
    Q_PROPERTY(QMarginsF edgeInsects READ edgeInsects WRITE setEdgeInsects NOTIFY edgeInsectsChanged)

public:
    explicit MiraSwitch(QWidget *parent = nullptr);
    ~MiraSwitch() override;

    bool isOn() const;
    /// Sets the state and its colours at once; the bead springs to its end
    /// when @p animated, else jumps there. Emits onChanged(), never clicked().
    void setOn(bool on, bool animated = false);

    /// The bead's colour when on.
    QColor onKnobColor() const;
    void setOnKnobColor(const QColor &color);
    /// The bead's colour when off.
    QColor knobColor() const;
    void setKnobColor(const QColor &color);
    /// The track's colour when off.
    QColor tintColor() const;
    void setTintColor(const QColor &color);
    /// The track's colour when on.
    QColor onTintColor() const;
    void setOnTintColor(const QColor &color);

    /// Whether the bead swells while pressed.
    bool isHighLightedAnimationEnable() const;
    void setHighLightedAnimationEnable(bool enable);

    /// The gap between the track's edge and the bead, in pixels; left and
    /// right are leading and trailing (swapped in a right-to-left layout).
    /// Insets that are not finite numbers are ignored.
    QMarginsF edgeInsects() const;
    void setEdgeInsects(const QMarginsF &insets);

    /// The bead's diameter in pixels.
    qreal beadWidth() const;
    /// Where the bead's centre is drawn now, in widget coordinates.
    QPointF beadCenter() const;
    /// How much the bead is swollen now: 1 at rest.
    qreal beadScale() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    /// The state changed, from code or from the user.
    void onChanged(bool on);
    /// The user toggled the switch (click, drag or keyboard) and it is now @p on.
    void clicked(bool on);
    void colorsChanged();
    void highLightedAnimationEnableChanged(bool enable);
    void edgeInsectsChanged(const QMarginsF &insets);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class MiraSwitchPrivate;
    friend class MiraSwitchAccessible;
    void toggleByUser();
    std::unique_ptr<MiraSwitchPrivate> const d;
};

} // namespace mira
