#pragma once

#include <QGraphicsEffect>
#include <QPointer>

#include <functional>

class QWidget;

namespace mira {

// Draws a widget scaled about its centre and faded: the look of a popup
// window zooming in or out.
class PopupScaleEffect final : public QGraphicsEffect {
    Q_OBJECT
    Q_PROPERTY(qreal scale READ scale)
    Q_PROPERTY(qreal opacity READ opacity)
public:
    explicit PopupScaleEffect(QObject *parent = nullptr);

    qreal scale() const { return m_scale; }
    qreal opacity() const { return m_opacity; }
    void setState(qreal opacity, qreal scale);

protected:
    void draw(QPainter *painter) override;

private:
    qreal m_scale = 1;
    qreal m_opacity = 1;
};

// The zoom transitions of a popup window's content. Every step goes through
// platform::Scheduler, so tests drive them with virtual time.
namespace PopupTransition {

// The effect on @p content, installed on first use.
PopupScaleEffect *effectOf(QWidget *content);

// Next turn: opacity 0.7 and @p scale; the turn after: 0.2 s to opacity 1 and scale 1.
void open(QWidget *content, std::function<void()> completion, qreal scale = 0.9);

// Next turn: 0.2 s to opacity 0 and @p scale.
void close(QWidget *content, std::function<void()> completion, qreal scale = 0.9);

} // namespace PopupTransition

} // namespace mira
