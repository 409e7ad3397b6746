#include "MiraSlider.h"

#include "MiraSliderAccessible_p.h"
#include "MiraSlider_p.h"

#include <mirakit/interactive/DisplayLink.h>

#include <QKeyEvent>
#include <QPainter>

#include <cmath>

namespace mira {

MiraSlider::MiraSlider(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<MiraSliderPrivate>(this))
{
    static const bool accessible = (QAccessible::installFactory(MiraSliderAccessible::create), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    connect(d->link, &DisplayLink::ticked, this, [this] { d->stepSpring(); });
}

MiraSlider::~MiraSlider() = default;

double MiraSlider::minValue() const
{
    return d->minValue;
}

void MiraSlider::setMinValue(double value)
{
    if (d->minValue == value)
        return;
    d->minValue = value;
    update();
    Q_EMIT minValueChanged(value);
    if (d->value <= value)
        setValue(value);
}

double MiraSlider::maxValue() const
{
    return d->maxValue;
}

void MiraSlider::setMaxValue(double value)
{
    if (d->maxValue == value)
        return;
    d->maxValue = value;
    update();
    Q_EMIT maxValueChanged(value);
    if (d->value >= value)
        setValue(value);
}

double MiraSlider::value() const
{
    return d->value;
}

void MiraSlider::setValue(double value)
{
    if (d->value == value || (std::isnan(d->value) && std::isnan(value)))
        return;
    d->value = value;
    update();
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
    Q_EMIT valueChanged(value);
}

namespace {

// Stores @p value in @p member; true when that changed it.
template <typename T> bool assign(T &member, const T &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

} // namespace

QColor MiraSlider::trackColor() const
{
    return d->trackColor;
}

void MiraSlider::setTrackColor(const QColor &color)
{
    if (assign(d->trackColor, color)) {
        update();
        Q_EMIT appearanceChanged();
    }
}

QColor MiraSlider::tintColor() const
{
    return d->tintColor;
}

void MiraSlider::setTintColor(const QColor &color)
{
    if (assign(d->tintColor, color)) {
        update();
        Q_EMIT appearanceChanged();
    }
}

QColor MiraSlider::knobColor() const
{
    return d->knobColor;
}

void MiraSlider::setKnobColor(const QColor &color)
{
    if (assign(d->knobColor, color)) {
        update();
        Q_EMIT appearanceChanged();
    }
}

QColor MiraSlider::dotColor() const
{
    return d->dotColor;
}

void MiraSlider::setDotColor(const QColor &color)
{
    if (assign(d->dotColor, color)) {
        update();
        Q_EMIT appearanceChanged();
    }
}

qreal MiraSlider::trackHeight() const
{
    return d->trackHeight;
}

void MiraSlider::setTrackHeight(qreal height)
{
    if (assign(d->trackHeight, std::isfinite(height) ? std::max<qreal>(0, height) : 0)) {
        updateGeometry();
        update();
        Q_EMIT appearanceChanged();
    }
}

qreal MiraSlider::dotBorderWidth() const
{
    return d->dotBorderWidth;
}

void MiraSlider::setDotBorderWidth(qreal width)
{
    if (!assign(d->dotBorderWidth, std::isfinite(width) ? std::max<qreal>(0, width) : 0))
        return;
    if (d->touchLocation != TouchLocation::knob) {
        d->link->setPaused(true);
        d->dotInset = d->dotBorderWidth;
    }
    update();
    Q_EMIT appearanceChanged();
}

bool MiraSlider::acceptUndoWhenChanged() const
{
    return d->acceptUndoWhenChanged;
}

void MiraSlider::setAcceptUndoWhenChanged(bool accept)
{
    if (assign(d->acceptUndoWhenChanged, accept))
        Q_EMIT acceptUndoWhenChangedChanged(accept);
}

QUndoStack *MiraSlider::undoStack() const
{
    return d->undoStack;
}

void MiraSlider::setUndoStack(QUndoStack *stack)
{
    d->undoStack = stack;
}

double MiraSlider::singleStep() const
{
    return (d->maxValue - d->minValue) / 100;
}

double MiraSlider::pageStep() const
{
    return (d->maxValue - d->minValue) / 10;
}

MiraSlider::ValueState MiraSlider::valueState() const
{
    return d->valueState;
}

MiraSlider::TouchLocation MiraSlider::touchLocation() const
{
    return d->touchLocation;
}

bool MiraSlider::isHorizontal() const
{
    return width() > height();
}

qreal MiraSlider::knobWidth() const
{
    return std::min(width(), height());
}

qreal MiraSlider::totalWidth() const
{
    return d->axisLength() - knobWidth();
}

double MiraSlider::fraction() const
{
    if (d->maxValue == d->minValue)
        return 0;
    const double fraction = (d->value - d->minValue) / (d->maxValue - d->minValue);
    return std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
}

QRectF MiraSlider::trackFrame() const
{
    const qreal thickness = d->trackHeight;
    if (isHorizontal())
        return QRectF(0, (height() - thickness) * 0.5, width(), thickness);
    return QRectF((width() - thickness) * 0.5, 0, thickness, height());
}

QRectF MiraSlider::tintFrame() const
{
    const QRectF track = trackFrame();
    const qreal filled = fraction() * d->axisLength();
    if (!isHorizontal())
        return QRectF(track.x(), height() - filled, track.width(), filled);
    const qreal x = isRightToLeft() ? width() - filled : 0;
    return QRectF(x, track.y(), filled, track.height());
}

QRectF MiraSlider::knobFrame() const
{
    const qreal knob = knobWidth();
    const qreal travelled = totalWidth() * fraction();
    if (!isHorizontal())
        return QRectF((width() - knob) * 0.5, height() - knob - travelled, knob, knob);
    const qreal x = isRightToLeft() ? width() - knob - travelled : travelled;
    return QRectF(x, (height() - knob) * 0.5, knob, knob);
}

QRectF MiraSlider::dotFrame() const
{
    const QRectF knob = knobFrame();
    const qreal inset = std::min(d->dotInset, knob.width() * 0.5);
    return knob.adjusted(inset, inset, -inset, -inset);
}

QString MiraSlider::didUndoChangeNotification()
{
    return QStringLiteral("undoManagerDidUndoChange");
}

QSize MiraSlider::sizeHint() const
{
    return QSize(200, 20);
}

QSize MiraSlider::minimumSizeHint() const
{
    return QSize(40, 20);
}

void MiraSlider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const qreal trackRadius = d->trackHeight * 0.5;
    painter.setBrush(d->trackColor);
    painter.drawRoundedRect(trackFrame(), trackRadius, trackRadius);
    painter.setBrush(isEnabled() ? d->tintColor : d->trackColor.darker(130));
    painter.drawRoundedRect(tintFrame(), trackRadius, trackRadius);

    // A hairline keeps a white knob visible on a white window.
    const QRectF knob = knobFrame().adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(hasFocus() ? palette().color(QPalette::Highlight) : QColor(0, 0, 0, 40), 1));
    painter.setBrush(d->knobColor);
    painter.drawEllipse(knob);
    painter.setPen(Qt::NoPen);
    painter.setBrush(d->dotColor);
    painter.drawEllipse(dotFrame());
}

void MiraSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF point = event->position();
    if (knobFrame().contains(point)) {
        d->touchLocation = TouchLocation::knob;
        d->dragStartLocation = d->axisPosition(point);
        d->dragStartProgress = fraction();
        d->highlight(true);
    } else {
        d->touchLocation = trackFrame().contains(point) ? TouchLocation::track : TouchLocation::out;
    }
    d->preValue = d->value;
}

void MiraSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (!d->dragStartLocation || !d->dragStartProgress)
        return;
    const qreal travel = totalWidth();
    const qreal delta = d->axisPosition(event->position()) - *d->dragStartLocation;
    const double progress
        = travel > 0 ? std::clamp(delta / travel + *d->dragStartProgress, 0.0, 1.0) : *d->dragStartProgress;
    setValue(d->valueAt(progress));
    d->valueState = ValueState::change;
    Q_EMIT valueEdited(d->value, d->valueState);
}

void MiraSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !d->preValue) {
        event->ignore();
        return;
    }
    const qreal length = d->axisLength();
    const double progress = length > 0 ? std::clamp(d->axisPosition(event->position()) / length, 0.0, 1.0) : 0.0;
    setValue(d->valueAt(progress));
    d->endInteraction();
    d->finishChange();
}

void MiraSlider::keyPressEvent(QKeyEvent *event)
{
    // A key during a press would finish the change the release is to finish.
    if (d->preValue) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double base = std::isfinite(d->value) ? d->value : d->minValue;
    const double forward = isRightToLeft() ? -singleStep() : singleStep();
    switch (event->key()) {
    case Qt::Key_Right:
        d->editTo(base + forward, event->isAutoRepeat());
        break;
    case Qt::Key_Left:
        d->editTo(base - forward, event->isAutoRepeat());
        break;
    case Qt::Key_Up:
        d->editTo(base + singleStep(), event->isAutoRepeat());
        break;
    case Qt::Key_Down:
        d->editTo(base - singleStep(), event->isAutoRepeat());
        break;
    case Qt::Key_PageUp:
        d->editTo(base + pageStep(), event->isAutoRepeat());
        break;
    case Qt::Key_PageDown:
        d->editTo(base - pageStep(), event->isAutoRepeat());
        break;
    case Qt::Key_Home:
        d->editTo(d->minValue);
        break;
    case Qt::Key_End:
        d->editTo(d->maxValue);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MiraSlider::changeEvent(QEvent *event)
{
    // Disabled in the middle of a press: the release never comes, so the
    // press ends here, keeping the value it reached.
    if (event->type() == QEvent::EnabledChange && !isEnabled() && d->preValue) {
        d->endInteraction();
        d->preValue.reset();
    }
    QWidget::changeEvent(event);
}

} // namespace mira
