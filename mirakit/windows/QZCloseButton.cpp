#include "QZCloseButton.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <cmath>

namespace mira {

namespace {

const char closeButtonProperty[] = "_mira_qzCloseButton";

} // namespace

class QZCloseButtonPrivate {
public:
    explicit QZCloseButtonPrivate(QZCloseButton *button)
        : q(button)
    {
    }

    void setMouseHovering(bool hovering);
    void setMouseDown(bool down);

    QZCloseButton *const q;
    bool mouseHovering = false;
    bool mouseDown = false;
};

void QZCloseButtonPrivate::setMouseHovering(bool hovering)
{
    if (mouseHovering == hovering)
        return;
    mouseHovering = hovering;
    q->update();
    Q_EMIT q->mouseHoveringChanged(hovering);
}

void QZCloseButtonPrivate::setMouseDown(bool down)
{
    if (mouseDown == down)
        return;
    mouseDown = down;
    q->update();
    Q_EMIT q->mouseDownChanged(down);
}

QZCloseButton::QZCloseButton(QWidget *parent)
    : QAbstractButton(parent)
    , d(std::make_unique<QZCloseButtonPrivate>(this))
{
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QCoreApplication::translate("mira::QZCloseButton", "Close"));
}

QZCloseButton::~QZCloseButton() = default;

QZCloseButton *QZCloseButton::addCloseByTarget(QWidget *view, std::function<void()> action)
{
    if (!view)
        return nullptr;
    if (QZCloseButton *existing = closeButton(view))
        return existing;
    auto *button = new QZCloseButton(view);
    button->setObjectName(QStringLiteral("QZCloseButton"));
    view->setProperty(closeButtonProperty, QVariant::fromValue(static_cast<QObject *>(button)));
    // Child widgets keep their distance from the top-left corner as the view resizes.
    button->setGeometry(10, 10, 12, 12);
    button->show();
    button->raise();
    if (action)
        connect(button, &QAbstractButton::clicked, view, [action = std::move(action)] { action(); });
    return button;
}

QZCloseButton *QZCloseButton::closeButton(const QWidget *view)
{
    if (!view)
        return nullptr;
    return qobject_cast<QZCloseButton *>(view->property(closeButtonProperty).value<QObject *>());
}

QSize QZCloseButton::sizeHint() const
{
    return QSize(12, 12);
}

bool QZCloseButton::isMouseHovering() const
{
    return d->mouseHovering;
}

bool QZCloseButton::isMouseDown() const
{
    return d->mouseDown;
}

void QZCloseButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    d->setMouseHovering(true);
}

void QZCloseButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    d->setMouseHovering(false);
}

void QZCloseButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        d->setMouseDown(true);
    QAbstractButton::mousePressEvent(event);
}

void QZCloseButton::mouseReleaseEvent(QMouseEvent *event)
{
    // The click may close the window and delete this button.
    const QPointer<QZCloseButton> self = this;
    QAbstractButton::mouseReleaseEvent(event);
    if (self && event->button() == Qt::LeftButton)
        d->setMouseDown(false);
}

void QZCloseButton::paintEvent(QPaintEvent *)
{
    const qreal w = width();
    const qreal h = height();
    const qreal left = std::floor(w * 0.03333), right = std::floor(w * 0.96667);
    const qreal top = std::floor(h * 0.03333), bottom = std::floor(h * 0.96667);
    const QRectF circle = QRectF(left, top, right - left, bottom - top).translated(0.5, 0.5);

    const bool pressed = d->mouseDown || isDown();
    const QColor fill
        = pressed ? QColor::fromRgbF(1.0, 0.3803921568627451, 0.3411764705882353) : QColor::fromRgbF(0.99, 0.38, 0.36);
    const QColor stroke = pressed ? QColor::fromRgbF(0.8862745098039215, 0.27450980392156865, 0.25098039215686274)
                                  : QColor::fromRgbF(0.875, 0.278, 0.267);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.4);
    painter.setPen(QPen(stroke, 0.5));
    painter.setBrush(fill);
    painter.drawEllipse(circle);
    if (!d->mouseHovering || !isEnabled())
        return;
    // The cross, in fractions of the circle's box measured from its top left.
    const auto at = [&](qreal x, qreal y) {
        return QPointF(circle.left() + x * circle.width(), circle.top() + y * circle.height());
    };
    painter.setPen(QPen(Qt::black, 0.5));
    painter.drawLine(at(0.25, 1 - 0.78571), at(0.7398, 1 - 0.22487));
    painter.drawLine(at(0.75, 1 - 0.78571), at(0.25, 1 - 0.21429));
}

} // namespace mira
