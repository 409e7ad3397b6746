#include "PushTransition.h"

#include <QEasingCurve>
#include <QPainter>
#include <QVariantAnimation>

PushTransition *PushTransition::push(QWidget *view, const QPixmap &before, std::chrono::milliseconds duration)
{
    if (!view || !view->parentWidget() || before.isNull())
        return nullptr;
    // A push already running over the view ends where it is.
    for (auto *running : view->parentWidget()->findChildren<PushTransition *>(QString(), Qt::FindDirectChildrenOnly))
        running->deleteLater();
    return new PushTransition(view, before, view->grab(), duration);
}

PushTransition::PushTransition(
    QWidget *view, const QPixmap &before, const QPixmap &after, std::chrono::milliseconds duration)
    : QWidget(view->parentWidget())
    , m_before(before)
    , m_after(after)
    , m_animation(new QVariantAnimation(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(true);
    setGeometry(view->geometry());
    m_animation->setDuration(int(duration.count()));
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_progress = value.toReal();
        update();
    });
    connect(m_animation, &QVariantAnimation::finished, this, &QObject::deleteLater);
    show();
    raise();
    m_animation->start();
}

void PushTransition::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal direction = layoutDirection() == Qt::RightToLeft ? -1 : 1;
    const qreal shift = direction * width() * m_progress;
    painter.drawPixmap(QPointF(-shift, 0), m_before);
    painter.drawPixmap(QPointF(direction * width() - shift, 0), m_after);
}
