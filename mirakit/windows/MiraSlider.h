#pragma once

#include <mirakit/mirakit_export.h>

#include <QColor>
#include <QWidget>

#include <memory>

class QUndoStack;

namespace mira {

class MiraSliderPrivate;

/**
 * A slider for a real-valued setting: a rounded track, the part of the track
 * from the minimum end to the knob in the tint colour, a round knob and a dot
 * inside the knob that grows while the knob is held.
 *
 * The longer side is the slider's axis. A horizontal slider runs from left to
 * right (right to left in a right-to-left layout); a vertical one from the
 * bottom up. Dragging the knob moves it by the pointer's travel; releasing
 * the mouse anywhere, or clicking, puts the value where the pointer is
 * (clamped to the bounds). The keyboard moves it too: arrows by
 * singleStep(), Page Up/Down by pageStep(), Home and End to the bounds.
 *
 * Every change the user makes is reported by valueEdited(), with the phase:
 * change while dragging, end when the mouse is released or a key pressed.
 * A finished change that really changed the value is pushed onto the
 * undoStack() as one entry (a whole drag is one entry) and posts
 * didUndoChangeNotification() on the default platform::NotificationCenter,
 * with the undo stack as its object; undoing and redoing post it again.
 *
 * setValue() is not clamped and not reported by valueEdited(); the knob is
 * drawn within the track whatever the value. Equal bounds keep the knob at
 * the start. Bounds may be given in either order.
 *
 * Defaults: range 0…1, value 0, a light grey track, a blue tint, a white knob
 * and dot, track 6 px thick, a 3 px ring of knob colour around the dot,
 * undo entries on, no undo stack.
 *
 * @code
 * auto *volume = new mira::MiraSlider(panel);
 * volume->setMaxValue(100);
 * volume->setUndoStack(document->undoStack());
 * connect(volume, &mira::MiraSlider::valueEdited, player, &Player::setVolume);
 * @endcode
 */
class MIRAKIT_EXPORT MiraSlider : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double minValue READ minValue WRITE setMinValue NOTIFY minValueChanged)
    Q_PROPERTY(double maxValue READ maxValue WRITE setMaxValue NOTIFY maxValueChanged)
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged USER true)
    Q_PROPERTY(QColor trackColor READ trackColor WRITE setTrackColor NOTIFY appearanceChanged)
    Q_PROPERTY(QColor tintColor READ tintColor WRITE setTintColor NOTIFY appearanceChanged)
    Q_PROPERTY(QColor knobColor READ knobColor WRITE setKnobColor NOTIFY appearanceChanged)
    Q_PROPERTY(QColor dotColor READ dotColor WRITE setDotColor NOTIFY appearanceChanged)
    Q_PROPERTY(qreal trackHeight READ trackHeight WRITE setTrackHeight NOTIFY appearanceChanged)
    Q_PROPERTY(qreal dotBorderWidth READ dotBorderWidth WRITE setDotBorderWidth NOTIFY appearanceChanged)
    Q_PROPERTY(bool acceptUndoWhenChanged READ acceptUndoWhenChanged WRITE setAcceptUndoWhenChanged NOTIFY
            acceptUndoWhenChangedChanged)

public:
    /// The phase of the user's change that valueEdited() reports.
    enum class ValueState { begin, change, end };
    Q_ENUM(ValueState)
    /// Where the current press landed.
    enum class TouchLocation { out, knob, track };
    Q_ENUM(TouchLocation)

    explicit MiraSlider(QWidget *parent = nullptr);
    ~MiraSlider() override;

    double minValue() const;
    /// Also raises value() to the new minimum when it lies at or below it.
    void setMinValue(double value);
    double maxValue() const;
    /// Also lowers value() to the new maximum when it lies at or above it.
    void setMaxValue(double value);
    double value() const;
    void setValue(double value);

    QColor trackColor() const;
    void setTrackColor(const QColor &color);
    QColor tintColor() const;
    void setTintColor(const QColor &color);
    QColor knobColor() const;
    void setKnobColor(const QColor &color);
    QColor dotColor() const;
    void setDotColor(const QColor &color);
    /// Thickness of the track in pixels (negative counts as 0).
    qreal trackHeight() const;
    void setTrackHeight(qreal height);
    /// Width of the knob-coloured ring around the dot in pixels (negative counts as 0).
    qreal dotBorderWidth() const;
    void setDotBorderWidth(qreal width);

    bool acceptUndoWhenChanged() const;
    void setAcceptUndoWhenChanged(bool accept);
    /// Where finished changes go; none by default. Not owned.
    QUndoStack *undoStack() const;
    void setUndoStack(QUndoStack *stack);

    /// A hundredth of the range: one arrow key press.
    double singleStep() const;
    /// A tenth of the range: one Page Up/Down press.
    double pageStep() const;

    ValueState valueState() const;
    TouchLocation touchLocation() const;
    bool isHorizontal() const;
    /// The knob's diameter: the shorter side.
    qreal knobWidth() const;
    /// How far the knob travels: the longer side less the knob.
    qreal totalWidth() const;
    /// Where the value lies between the bounds, 0…1 (0 for equal bounds).
    double fraction() const;

    /// The layers as painted, in the slider's coordinates.
    QRectF trackFrame() const;
    QRectF tintFrame() const;
    QRectF knobFrame() const;
    QRectF dotFrame() const;

    /// "undoManagerDidUndoChange"
    static QString didUndoChangeNotification();

    /// 200 × 20, a horizontal slider: give a vertical one its size.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void minValueChanged(double minValue);
    void maxValueChanged(double maxValue);
    void valueChanged(double value);
    void appearanceChanged();
    void acceptUndoWhenChangedChanged(bool accept);
    /// The user changed the value (dragging, releasing, a key, undo or redo).
    void valueEdited(double value, mira::MiraSlider::ValueState state);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class MiraSliderPrivate;
    std::unique_ptr<MiraSliderPrivate> const d;
};

} // namespace mira
