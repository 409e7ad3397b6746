#include "PopupTransition_p.h"

#include <platform/Scheduler.h>

#include <QEasingCurve>
#include <QPainter>
#include <QWidget>

#include <memory>

namespace mira {

namespace {
constexpr auto duration = std::chrono::milliseconds(200);
constexpr auto frame = std::chrono::milliseconds(16);
} // namespace

PopupScaleEffect::PopupScaleEffect(QObject *parent)
    : QGraphicsEffect(parent)
{
}

void PopupScaleEffect::setState(qreal opacity, qreal scale)
{
    if (qFuzzyCompare(m_opacity, opacity) && qFuzzyCompare(m_scale, scale))
        return;
    m_opacity = opacity;
    m_scale = scale;
    update();
}

void PopupScaleEffect::draw(QPainter *painter)
{
    if (qFuzzyCompare(m_scale, 1.0) && qFuzzyCompare(m_opacity, 1.0)) {
        drawSource(painter);
        return;
    }
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset);
    const QPointF centre = sourceBoundingRect(Qt::LogicalCoordinates).center();
    painter->save();
    painter->setOpacity(painter->opacity() * m_opacity);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->translate(centre);
    painter->scale(m_scale, m_scale);
    painter->translate(-centre);
    painter->drawPixmap(offset, pixmap);
    painter->restore();
}

namespace PopupTransition {

PopupScaleEffect *effectOf(QWidget *content)
{
    if (auto *effect = dynamic_cast<PopupScaleEffect *>(content->graphicsEffect()))
        return effect;
    auto *effect = new PopupScaleEffect(content);
    content->setGraphicsEffect(effect);
    return effect;
}

namespace {

void animate(QWidget *content, qreal toOpacity, qreal toScale, std::function<void()> completion)
{
    platform::Scheduler &scheduler = platform::Scheduler::shared();
    PopupScaleEffect *effect = effectOf(content);
    struct Run {
        QPointer<PopupScaleEffect> effect;
        qreal fromOpacity, fromScale, toOpacity, toScale;
        platform::Scheduler::TimePoint start;
        platform::WorkId tick = 0;
    };
    auto run = std::make_shared<Run>(
        Run { effect, effect->opacity(), effect->scale(), toOpacity, toScale, scheduler.now(), 0 });
    run->tick = scheduler.repeating(frame, std::chrono::milliseconds(0), [run] {
        if (!run->effect)
            return;
        const auto elapsed = platform::Scheduler::shared().now() - run->start;
        const qreal t = qBound(0.0, std::chrono::duration<qreal>(elapsed) / duration, 1.0);
        const qreal p = QEasingCurve(QEasingCurve::InOutQuad).valueForProgress(t);
        run->effect->setState(run->fromOpacity + (run->toOpacity - run->fromOpacity) * p,
            run->fromScale + (run->toScale - run->fromScale) * p);
    });
    scheduler.after(duration, [run, completion = std::move(completion)] {
        platform::Scheduler::shared().cancel(run->tick);
        if (run->effect)
            run->effect->setState(run->toOpacity, run->toScale);
        if (completion)
            completion();
    });
}

} // namespace

void open(QWidget *content, std::function<void()> completion, qreal scale)
{
    const QPointer<QWidget> guarded = content;
    platform::Scheduler::shared().post([guarded, completion = std::move(completion), scale]() mutable {
        if (!guarded)
            return;
        effectOf(guarded)->setState(0.7, scale);
        platform::Scheduler::shared().post([guarded, completion = std::move(completion)]() mutable {
            if (guarded)
                animate(guarded, 1.0, 1.0, std::move(completion));
        });
    });
}

void close(QWidget *content, std::function<void()> completion, qreal scale)
{
    const QPointer<QWidget> guarded = content;
    platform::Scheduler::shared().post([guarded, completion = std::move(completion), scale]() mutable {
        if (guarded)
            animate(guarded, 0.0, scale, std::move(completion));
    });
}

} // namespace PopupTransition

} // namespace mira
