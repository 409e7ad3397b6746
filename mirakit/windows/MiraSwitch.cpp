#include "MiraSwitch.h"

#include "SpringAnimation_p.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <optional>

namespace mira {

namespace {

constexpr SpringCurve beadSpring { 0.5, 100, 5 };
constexpr auto moveDuration = std::chrono::milliseconds(500);
constexpr auto swellDuration = std::chrono::milliseconds(350);
constexpr qreal swollenScale = 1.1;

// Where the bead can be, measured from the leading edge: its diameter and the
// centres of its two ends.
struct BeadTravel {
    qreal diameter = 0;
    qreal offCenter = 0;
    qreal onCenter = 0;

    BeadTravel(QSizeF size, const QMarginsF &insets)
        : diameter(std::clamp(size.height() - insets.top() - insets.bottom(), 0.0, qreal(size.width())))
        , offCenter(insets.left() + diameter / 2)
        , onCenter(size.width() - insets.right() - diameter / 2)
    {
        // Too short to travel: both ends in the middle, so that clamping a
        // dragged bead between them keeps a lower bound below the upper one.
        if (onCenter < offCenter)
            offCenter = onCenter = size.width() / 2;
    }

    qreal centerFor(bool on) const { return on ? onCenter : offCenter; }
    qreal clamped(qreal x) const { return std::clamp(x, offCenter, onCenter); }
    bool nearerOn(qreal x) const { return x >= (offCenter + onCenter) / 2; }
};

} // namespace

class MiraSwitchPrivate {
public:
    explicit MiraSwitchPrivate(MiraSwitch *q)
        : q(q)
        , move(beadSpring, moveDuration,
              [this](qreal x) {
                  beadLeading = x;
                  this->q->update();
              })
        , swell(beadSpring, swellDuration, [this](qreal scale) {
            beadScale = scale;
            this->q->update();
        })
    {
    }

    MiraSwitch *const q;
    bool on = false;
    QColor onKnobColor = Qt::white;
    QColor knobColor = Qt::white;
    QColor tintColor = QColor(68, 68, 68);
    QColor onTintColor = QColor(42, 192, 129);
    bool highLightedAnimationEnable = true;
    QMarginsF edgeInsects { 5, 3, 5, 3 };

    // The bead's centre measured from the leading edge while it moves or is
    // held by the pointer (at rest it sits on its state's end), and its swelling.
    qreal beadLeading = 0;
    qreal beadScale = 1;
    SpringAnimation move;
    SpringAnimation swell;

    // Press tracking, from press to release.
    bool pressed = false;
    std::optional<qreal> pressInBead; // leading x of a press that began on the bead
    bool isDrag = false;

    BeadTravel travel() const { return BeadTravel(q->size(), edgeInsects); }

    // Distance from the leading edge of a point in widget coordinates.
    qreal leadingX(qreal x) const { return q->layoutDirection() == Qt::RightToLeft ? q->width() - x : x; }

    qreal currentLeading() const { return move.isRunning() || pressInBead ? beadLeading : travel().centerFor(on); }

    QRectF beadFrame() const
    {
        const qreal diameter = travel().diameter;
        return QRectF(leadingX(currentLeading()) - diameter / 2, q->height() / 2.0 - diameter / 2, diameter, diameter);
    }

    // Puts the bead on its state's end at once.
    void jumpBead()
    {
        move.stop();
        q->update();
    }

    // Springs the bead from @p from to its state's end.
    void springBead(qreal from)
    {
        const qreal target = travel().centerFor(on);
        if (target == from) {
            jumpBead();
            return;
        }
        beadLeading = from;
        move.start(from, target);
    }

    // Swells the bead for a press (when enabled to), or brings it back to size.
    void swellBead(bool pressing)
    {
        const qreal target = pressing && highLightedAnimationEnable ? swollenScale : 1;
        if (beadScale != target || swell.isRunning())
            swell.start(beadScale, target);
    }

    void endPress()
    {
        q->update();
        pressed = false;
        pressInBead.reset();
        isDrag = false;
    }
};

// Assistive technology sees a check box that Space or the toggle action flips.
class MiraSwitchAccessible : public QAccessibleWidget {
public:
    explicit MiraSwitchAccessible(MiraSwitch *control)
        : QAccessibleWidget(control, QAccessible::CheckBox)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = control()->isOn();
        return state;
    }

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << toggleAction(); }

    void doAction(const QString &name) override
    {
        if (name == toggleAction() && control()->isEnabled())
            control()->toggleByUser();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    MiraSwitch *control() const { return static_cast<MiraSwitch *>(widget()); }
};

namespace {

QAccessibleInterface *accessibleFactory(const QString &, QObject *object)
{
    if (auto *control = qobject_cast<MiraSwitch *>(object))
        return new MiraSwitchAccessible(control);
    return nullptr;
}

} // namespace

MiraSwitch::MiraSwitch(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<MiraSwitchPrivate>(this))
{
    static const bool accessible = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    resize(sizeHint());
}

MiraSwitch::~MiraSwitch() = default;

bool MiraSwitch::isOn() const
{
    return d->on;
}

void MiraSwitch::setOn(bool on, bool animated)
{
    if (d->on == on)
        return;
    const qreal from = d->currentLeading();
    d->on = on;
    if (animated)
        d->springBead(from);
    else
        d->jumpBead();
    update();
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
    Q_EMIT onChanged(on);
}

void MiraSwitch::toggleByUser()
{
    setOn(!d->on, true);
    Q_EMIT clicked(d->on);
}

QColor MiraSwitch::onKnobColor() const
{
    return d->onKnobColor;
}

void MiraSwitch::setOnKnobColor(const QColor &color)
{
    if (d->onKnobColor == color)
        return;
    d->onKnobColor = color;
    update();
    Q_EMIT colorsChanged();
}

QColor MiraSwitch::knobColor() const
{
    return d->knobColor;
}

void MiraSwitch::setKnobColor(const QColor &color)
{
    if (d->knobColor == color)
        return;
    d->knobColor = color;
    update();
    Q_EMIT colorsChanged();
}

QColor MiraSwitch::tintColor() const
{
    return d->tintColor;
}

void MiraSwitch::setTintColor(const QColor &color)
{
    if (d->tintColor == color)
        return;
    d->tintColor = color;
    update();
    Q_EMIT colorsChanged();
}

QColor MiraSwitch::onTintColor() const
{
    return d->onTintColor;
}

void MiraSwitch::setOnTintColor(const QColor &color)
{
    if (d->onTintColor == color)
        return;
    d->onTintColor = color;
    update();
    Q_EMIT colorsChanged();
}

bool MiraSwitch::isHighLightedAnimationEnable() const
{
    return d->highLightedAnimationEnable;
}

void MiraSwitch::setHighLightedAnimationEnable(bool enable)
{
    if (d->highLightedAnimationEnable == enable)
        return;
    d->highLightedAnimationEnable = enable;
    Q_EMIT highLightedAnimationEnableChanged(enable);
}

QMarginsF MiraSwitch::edgeInsects() const
{
    return d->edgeInsects;
}

void MiraSwitch::setEdgeInsects(const QMarginsF &insets)
{
    const bool finite = std::isfinite(insets.left()) && std::isfinite(insets.top()) && std::isfinite(insets.right())
        && std::isfinite(insets.bottom());
    if (!finite || d->edgeInsects == insets)
        return;
    d->edgeInsects = insets;
    d->jumpBead();
    Q_EMIT edgeInsectsChanged(insets);
}

qreal MiraSwitch::beadWidth() const
{
    return d->travel().diameter;
}

QPointF MiraSwitch::beadCenter() const
{
    return d->beadFrame().center();
}

qreal MiraSwitch::beadScale() const
{
    return d->beadScale;
}

QSize MiraSwitch::sizeHint() const
{
    return QSize(50, 30);
}

void MiraSwitch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.5);
    const QRectF track = rect();
    const qreal radius = track.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(d->on ? d->onTintColor : d->tintColor);
    painter.drawRoundedRect(track, radius, radius);

    const qreal beadRadius = beadWidth() / 2 * d->beadScale;
    painter.setBrush(d->on ? d->onKnobColor : d->knobColor);
    painter.drawEllipse(beadCenter(), beadRadius, beadRadius);

    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRoundedRect(track.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
}

void MiraSwitch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    d->pressed = true;
    d->swellBead(true);
    if (d->beadFrame().contains(event->position())) {
        d->beadLeading = d->currentLeading();
        d->pressInBead = d->leadingX(event->position().x());
    }
}

void MiraSwitch::mouseMoveEvent(QMouseEvent *event)
{
    if (!d->pressInBead) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const qreal x = d->leadingX(event->position().x());
    if (std::abs(*d->pressInBead - x) > beadWidth() / 2)
        d->isDrag = true;
    d->move.stop();
    d->beadLeading = d->travel().clamped(x);
    update();
}

void MiraSwitch::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !d->pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    // A click toggles wherever it is released; a drag settles at the nearer end.
    const bool target = d->isDrag ? d->travel().nearerOn(d->beadLeading) : !d->on;
    // Settle while the press still holds the bead, so that it springs from where it was let go.
    if (target != d->on) {
        // A clicked() slot may delete the switch (a page that closes itself).
        const QPointer<MiraSwitch> guard(this);
        toggleByUser();
        if (!guard)
            return;
    } else {
        d->springBead(d->currentLeading());
    }
    d->swellBead(false);
    d->endPress();
}

void MiraSwitch::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        toggleByUser();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MiraSwitch::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    d->jumpBead();
}

void MiraSwitch::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // A disabled switch receives no release: drop the press now and put the bead back.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        d->endPress();
        d->swell.stop();
        d->beadScale = 1;
        d->jumpBead();
    }
}

} // namespace mira
