#include "MiraSlider.h"

#include <mirakit/interactive/DisplayLink.h>
#include <platform/NotificationCenter.h>
#include <platform/Scheduler.h>

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPointer>
#include <QUndoStack>

#include <cmath>
#include <optional>
#include <utility>

namespace mira {

namespace {

// The dot's spring: mass 0.5, damping 5, stiffness 100, cut off after 0.35 s
// at its resting place.
constexpr double springMass = 0.5;
constexpr double springDamping = 5;
constexpr double springStiffness = 100;
constexpr double springSeconds = 0.35;
constexpr qreal highlightedInset = 1;

// Where a spring released at rest at @p from, pulled to @p to, is after @p seconds.
qreal springPosition(qreal from, qreal to, double seconds)
{
    if (seconds >= springSeconds)
        return to;
    const double natural = std::sqrt(springStiffness / springMass);
    const double decay = springDamping / (2 * springMass);
    const double damped = std::sqrt(natural * natural - decay * decay);
    const double envelope = std::exp(-decay * seconds);
    return to + (from - to) * envelope * (std::cos(damped * seconds) + decay / damped * std::sin(damped * seconds));
}

double secondsBetween(platform::Scheduler::TimePoint from, platform::Scheduler::TimePoint to)
{
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

class MiraSliderPrivate {
public:
    explicit MiraSliderPrivate(MiraSlider *q)
        : q(q)
    {
    }

    MiraSlider *const q;
    double minValue = 0;
    double maxValue = 1;
    double value = 0;
    std::optional<double> preValue;
    MiraSlider::ValueState valueState = MiraSlider::ValueState::begin;
    MiraSlider::TouchLocation touchLocation = MiraSlider::TouchLocation::out;
    std::optional<qreal> dragStartLocation;
    std::optional<double> dragStartProgress;
    QColor trackColor = QColor(0xE1E3E8);
    QColor tintColor = QColor(0x2F7BF5);
    QColor knobColor = Qt::white;
    QColor dotColor = Qt::white;
    bool acceptUndoWhenChanged = true;
    qreal trackHeight = 6;
    qreal dotBorderWidth = 3;
    QPointer<QUndoStack> undoStack;

    // The dot's inset inside the knob, and its spring while it moves.
    qreal dotInset = 3;
    qreal springFrom = 3;
    qreal springTo = 3;
    platform::Scheduler::TimePoint springStart;
    DisplayLink *const link = new DisplayLink(q, q);

    qreal axisLength() const { return std::max(q->width(), q->height()); }

    // The distance of @p point from the minimum end, along the axis.
    qreal axisPosition(QPointF point) const
    {
        if (!q->isHorizontal())
            return q->height() - point.y();
        return q->isRightToLeft() ? q->width() - point.x() : point.x();
    }

    double valueAt(double fraction) const { return minValue + (maxValue - minValue) * fraction; }

    double clampToBounds(double candidate) const
    {
        return std::clamp(candidate, std::min(minValue, maxValue), std::max(minValue, maxValue));
    }

    void highlight(bool on)
    {
        springFrom = dotInset;
        springTo = on ? highlightedInset : dotBorderWidth;
        springStart = platform::Scheduler::shared().now();
        link->setPaused(false);
    }

    void stepSpring()
    {
        dotInset
            = springPosition(springFrom, springTo, secondsBetween(springStart, platform::Scheduler::shared().now()));
        if (dotInset == springTo)
            link->setPaused(true);
        q->update();
    }

    void endInteraction()
    {
        if (touchLocation == MiraSlider::TouchLocation::knob)
            highlight(false);
        dragStartLocation.reset();
        dragStartProgress.reset();
        touchLocation = MiraSlider::TouchLocation::out;
    }

    static MiraSliderPrivate *get(MiraSlider *slider) { return slider->d.get(); }

    // A change made in one go (a key, assistive technology): clamped, then finished.
    void editTo(double target, bool autoRepeat = false)
    {
        preValue = value;
        q->setValue(clampToBounds(target));
        finishChange(autoRepeat);
    }

    // A finished change by the user: one undo entry when the value really changed.
    void finishChange(bool autoRepeat = false);
    // An undo or redo step putting back @p restored.
    void applyUndoStep(double restored)
    {
        postDidUndoChange();
        q->setValue(restored);
        Q_EMIT q->valueEdited(value, valueState);
    }

    void postDidUndoChange()
    {
        platform::NotificationCenter::defaultCenter().post(MiraSlider::didUndoChangeNotification(), undoStack.data());
    }
};

namespace {

// One finished change of a slider. Held key presses merge into one entry.
class SliderValueCommand : public QUndoCommand {
public:
    SliderValueCommand(MiraSlider *slider, double before, double after, bool autoRepeat)
        : slider(slider)
        , before(before)
        , after(after)
        , autoRepeat(autoRepeat)
    {
        setText(QObject::tr("Change %1")
                    .arg(slider->accessibleName().isEmpty() ? QObject::tr("slider") : slider->accessibleName()));
    }

    int id() const override { return mergeId; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const SliderValueCommand *>(other);
        if (!next->autoRepeat || next->slider != slider)
            return false;
        after = next->after;
        return true;
    }
    void undo() override { apply(before); }
    void redo() override
    {
        // The value is already in place when the entry is pushed.
        if (!std::exchange(pushing, false))
            apply(after);
    }

private:
    static constexpr int mergeId = 0x4d53;

    void apply(double restored)
    {
        if (slider)
            MiraSliderPrivate::get(slider)->applyUndoStep(restored);
    }

    QPointer<MiraSlider> slider;
    double before;
    double after;
    bool autoRepeat;
    bool pushing = true;
};

// Assistive technology sees a slider with the value, bounds and arrow-key step.
class MiraSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit MiraSliderAccessible(MiraSlider *slider)
        : QAccessibleWidget(slider, QAccessible::Slider)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return QLocale().toString(slider()->value());
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant &value) override
    {
        if (slider()->isEnabled() && value.canConvert<double>())
            MiraSliderPrivate::get(slider())->editTo(value.toDouble());
    }
    QVariant maximumValue() const override { return slider()->maxValue(); }
    QVariant minimumValue() const override { return slider()->minValue(); }
    QVariant minimumStepSize() const override { return std::abs(slider()->singleStep()); }

private:
    MiraSlider *slider() const { return static_cast<MiraSlider *>(widget()); }
};

QAccessibleInterface *accessibleFactory(const QString &, QObject *object)
{
    if (auto *slider = qobject_cast<MiraSlider *>(object))
        return new MiraSliderAccessible(slider);
    return nullptr;
}

} // namespace

void MiraSliderPrivate::finishChange(bool autoRepeat)
{
    const std::optional<double> before = std::exchange(preValue, std::nullopt);
    valueState = MiraSlider::ValueState::end;
    if (before && *before != value && acceptUndoWhenChanged) {
        if (undoStack)
            undoStack->push(new SliderValueCommand(q, *before, value, autoRepeat));
        postDidUndoChange();
    }
    Q_EMIT q->valueEdited(value, valueState);
}

MiraSlider::MiraSlider(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<MiraSliderPrivate>(this))
{
    static const bool accessible = (QAccessible::installFactory(accessibleFactory), true);
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
