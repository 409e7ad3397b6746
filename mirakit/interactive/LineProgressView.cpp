#include "LineProgressView.h"

#include "DisplayLink.h"

#include <platform/Scheduler.h>

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLocale>
#include <QPainter>

#include <cmath>

namespace mira {

namespace {

// Far past the track the bar is painted this wide: the painter draws nothing
// at all for widths many orders larger, and the view shows the same either way.
constexpr qreal widestPaintedBar = 1e6;

// progress / maxProgress, or 0 when that is not a usable number.
float fillRatio(float progress, float maxProgress)
{
    const float ratio = maxProgress > 0 ? progress / maxProgress : 0.0f;
    return std::isfinite(ratio) ? ratio : 0.0f;
}

// The end of the bar on its way to a new width: a straight line at a constant
// speed, with no ease-in, so that retargeting it every few milliseconds never
// slows it down. The speed crosses the whole track, or the whole distance when
// that is longer, in one animation duration.
struct BarMotion {
    qreal from = 0;
    qreal to = 0;
    qreal perMillisecond = 0;
    platform::Scheduler::TimePoint start;

    BarMotion() = default;
    BarMotion(qreal from, qreal to, qreal trackWidth, int duration, platform::Scheduler::TimePoint start)
        : from(from)
        , to(to)
        , perMillisecond(std::max(trackWidth, std::abs(to - from)) / duration)
        , start(start)
    {
    }

    qreal widthAt(platform::Scheduler::TimePoint now) const
    {
        const qreal elapsed = std::chrono::duration<qreal, std::milli>(now - start).count();
        const qreal covered = std::max(0.0, elapsed) * perMillisecond;
        if (covered >= std::abs(to - from))
            return to;
        return to > from ? from + covered : from - covered;
    }
};

// Assistive technology sees a read-only progress bar whose value is progress().
class LineProgressViewAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit LineProgressViewAccessible(LineProgressView *view)
        : QAccessibleWidget(view, QAccessible::ProgressBar)
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
        if (type != QAccessible::Value)
            return QAccessibleWidget::text(type);
        const float ratio = fillRatio(view()->progress(), view()->maxProgress());
        return QLocale().toString(qRound(qBound(0.0f, ratio, 1.0f) * 100)) + QLatin1Char('%');
    }

    QVariant currentValue() const override { return view()->progress(); }
    void setCurrentValue(const QVariant &) override { }
    QVariant maximumValue() const override { return view()->maxProgress(); }
    QVariant minimumValue() const override { return 0.0f; }
    QVariant minimumStepSize() const override { return 0.0f; }

private:
    LineProgressView *view() const { return static_cast<LineProgressView *>(widget()); }
};

QAccessibleInterface *accessibleFactory(const QString &, QObject *object)
{
    if (auto *view = qobject_cast<LineProgressView *>(object))
        return new LineProgressViewAccessible(view);
    return nullptr;
}

} // namespace

class LineProgressViewPrivate {
public:
    explicit LineProgressViewPrivate(LineProgressView *q)
        : q(q)
    {
    }

    LineProgressView *const q;
    float maxProgress = 1.0f;
    float progress = 0.0f;
    QList<QColor> colors { QColor::fromRgbF(63 / 255.0, 232 / 255.0, 161 / 255.0, 1),
        QColor::fromRgbF(63 / 255.0, 232 / 255.0, 161 / 255.0, 1) };
    std::optional<QList<qreal>> locations;
    Layer bar;
    Layer track;
    QRectF barFrame;
    QRectF trackFrame;
    int duration = 250;
    BarMotion motion;
    // Runs while the bar moves.
    DisplayLink *const link = new DisplayLink(q, q);

    void advanceFrame()
    {
        const qreal width = motion.widthAt(platform::Scheduler::shared().now());
        barFrame.setWidth(width);
        if (width == motion.to)
            link->setPaused(true);
        q->update();
    }
};

LineProgressView::LineProgressView(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<LineProgressViewPrivate>(this))
{
    static const bool accessible = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(accessible);
    d->bar.colors = d->colors;
    d->bar.startPoint = QPointF(0, 0);
    d->bar.endPoint = QPointF(1, 0);
    connect(d->link, &DisplayLink::ticked, this, [this] { d->advanceFrame(); });
    configerLayers(false);
}

LineProgressView::~LineProgressView() = default;

float LineProgressView::maxProgress() const
{
    return d->maxProgress;
}

void LineProgressView::setMaxProgress(float maxProgress)
{
    if (d->maxProgress == maxProgress)
        return;
    d->maxProgress = maxProgress;
    Q_EMIT maxProgressChanged(maxProgress);
}

float LineProgressView::progress() const
{
    return d->progress;
}

void LineProgressView::setProgress(float progress)
{
    // The same value still re-lays the bar out.
    const bool changed = d->progress != progress;
    d->progress = progress;
    configerLayers(true);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, progress);
        QAccessible::updateAccessibility(&event);
    }
    if (changed)
        Q_EMIT progressChanged(progress);
}

QColor LineProgressView::barTintColor() const
{
    return d->bar.colors.value(0);
}

void LineProgressView::setBarTintColor(const QColor &color)
{
    const QColor tint = color.isValid() ? color : QColor(Qt::transparent);
    const QList<QColor> colors { tint, tint };
    if (d->bar.colors == colors)
        return;
    d->bar.colors = colors;
    update();
    Q_EMIT barTintColorChanged(tint);
}

QColor LineProgressView::trackColor() const
{
    return d->track.backgroundColor;
}

void LineProgressView::setTrackColor(const QColor &color)
{
    if (d->track.backgroundColor == color)
        return;
    d->track.backgroundColor = color;
    update();
    Q_EMIT trackColorChanged(color);
}

qreal LineProgressView::progressCornerRadius() const
{
    return d->bar.cornerRadius;
}

void LineProgressView::setProgressCornerRadius(qreal radius)
{
    if (d->bar.cornerRadius == radius)
        return;
    d->bar.cornerRadius = radius;
    d->track.cornerRadius = radius;
    update();
    Q_EMIT progressCornerRadiusChanged(radius);
}

QList<QColor> LineProgressView::colors() const
{
    return d->colors;
}

void LineProgressView::setColors(const QList<QColor> &colors)
{
    if (d->colors == colors && d->bar.colors == colors)
        return;
    const QColor tint = barTintColor();
    d->colors = colors;
    d->bar.colors = colors;
    update();
    Q_EMIT colorsChanged(colors);
    if (barTintColor() != tint)
        Q_EMIT barTintColorChanged(barTintColor());
}

std::optional<QList<qreal>> LineProgressView::locations() const
{
    return d->locations;
}

void LineProgressView::setLocations(const std::optional<QList<qreal>> &locations)
{
    d->locations = locations;
    d->bar.locations = locations.value_or(QList<qreal>());
    update();
}

int LineProgressView::animationDuration() const
{
    return d->duration;
}

void LineProgressView::setAnimationDuration(int milliseconds)
{
    milliseconds = std::max(0, milliseconds);
    if (d->duration == milliseconds)
        return;
    d->duration = milliseconds;
    Q_EMIT animationDurationChanged(milliseconds);
}

const Layer &LineProgressView::progressLayer() const
{
    return d->bar;
}

QRectF LineProgressView::progressFrame() const
{
    return d->barFrame;
}

const Layer &LineProgressView::trackLayer() const
{
    return d->track;
}

QRectF LineProgressView::trackFrame() const
{
    return d->trackFrame;
}

bool LineProgressView::isAnimating() const
{
    return !d->link->isPaused();
}

void LineProgressView::configerLayers(bool animation)
{
    const double width = rect().width();
    // The ratio in single precision, the width in double, as callers have always seen them.
    const double barWidth = double(fillRatio(d->progress, d->maxProgress)) * width;
    d->trackFrame = rect();
    platform::Scheduler &scheduler = platform::Scheduler::shared();
    const qreal from = isAnimating() ? d->motion.widthAt(scheduler.now()) : d->barFrame.width();
    d->barFrame = QRectF(0, 0, from, rect().height());
    if (!animation || d->duration == 0 || from == barWidth) {
        d->link->setPaused(true);
        d->barFrame.setWidth(barWidth);
        update();
        return;
    }
    d->motion = BarMotion(from, barWidth, width, d->duration, scheduler.now());
    d->link->setPaused(false);
    update();
}

QSize LineProgressView::sizeHint() const
{
    return QSize(200, 6);
}

void LineProgressView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    configerLayers(false);
}

void LineProgressView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (layoutDirection() == Qt::RightToLeft) {
        // Frames stay in reading order; right-to-left text reads the bar from the right.
        painter.translate(width(), 0);
        painter.scale(-1, 1);
    }
    d->track.paint(&painter, d->trackFrame);
    QRectF bar = d->barFrame;
    bar.setWidth(std::min(bar.width(), widestPaintedBar));
    d->bar.paint(&painter, bar);
}

} // namespace mira
