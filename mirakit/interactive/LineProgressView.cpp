#include "LineProgressView.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLocale>
#include <QPainter>
#include <QVariantAnimation>

namespace mira {

namespace {

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
        const float maximum = view()->maxProgress();
        const float ratio = maximum > 0 ? view()->progress() / maximum : 0.0f;
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
    float maxProgress = 1.0f;
    float progress = 0.0f;
    QList<QColor> colors { QColor::fromRgbF(63 / 255.0, 232 / 255.0, 161 / 255.0, 1),
        QColor::fromRgbF(63 / 255.0, 232 / 255.0, 161 / 255.0, 1) };
    std::optional<QList<qreal>> locations;
    Layer bar;
    Layer track;
    QRectF barFrame;
    QRectF trackFrame;
    QVariantAnimation *animation = nullptr;
};

LineProgressView::LineProgressView(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<LineProgressViewPrivate>())
{
    static const bool accessible = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(accessible);
    d->bar.colors = d->colors;
    d->bar.startPoint = QPointF(0, 0);
    d->bar.endPoint = QPointF(1, 0);
    d->animation = new QVariantAnimation(this);
    d->animation->setDuration(250);
    d->animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(d->animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        d->barFrame.setWidth(value.toReal());
        update();
    });
    configerLayers(false);
}

LineProgressView::~LineProgressView() = default;

float LineProgressView::maxProgress() const
{
    return d->maxProgress;
}

void LineProgressView::setMaxProgress(float maxProgress)
{
    d->maxProgress = maxProgress;
}

float LineProgressView::progress() const
{
    return d->progress;
}

void LineProgressView::setProgress(float progress)
{
    d->progress = progress;
    configerLayers(true);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, progress);
        QAccessible::updateAccessibility(&event);
    }
    Q_EMIT progressChanged(progress);
}

QColor LineProgressView::barTintColor() const
{
    return d->bar.colors.value(0);
}

void LineProgressView::setBarTintColor(const QColor &color)
{
    const QColor tint = color.isValid() ? color : QColor(Qt::transparent);
    d->bar.colors = { tint, tint };
    update();
}

QColor LineProgressView::trackColor() const
{
    return d->track.backgroundColor;
}

void LineProgressView::setTrackColor(const QColor &color)
{
    d->track.backgroundColor = color;
    update();
}

qreal LineProgressView::progressCornerRadius() const
{
    return d->bar.cornerRadius;
}

void LineProgressView::setProgressCornerRadius(qreal radius)
{
    d->bar.cornerRadius = radius;
    d->track.cornerRadius = radius;
    update();
}

QList<QColor> LineProgressView::colors() const
{
    return d->colors;
}

void LineProgressView::setColors(const QList<QColor> &colors)
{
    d->colors = colors;
    d->bar.colors = colors;
    update();
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
    return d->animation->duration();
}

void LineProgressView::setAnimationDuration(int milliseconds)
{
    d->animation->setDuration(std::max(0, milliseconds));
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
    return d->animation->state() == QAbstractAnimation::Running;
}

void LineProgressView::configerLayers(bool animation)
{
    const double width = rect().width();
    // The ratio in single precision, the width in double, as callers have always seen them.
    const float ratio = d->maxProgress > 0 ? d->progress / d->maxProgress : 0.0f;
    const double barWidth = double(ratio) * width;
    d->trackFrame = rect();
    const qreal from = d->barFrame.width();
    d->animation->stop();
    d->barFrame = QRectF(0, 0, from, rect().height());
    if (animation && d->animation->duration() > 0 && from != barWidth) {
        d->animation->setStartValue(from);
        d->animation->setEndValue(barWidth);
        d->animation->start();
    } else {
        d->barFrame.setWidth(barWidth);
    }
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
    d->bar.paint(&painter, d->barFrame);
}

} // namespace mira
