#include "SheetCloseButton.h"

#include <QPainter>

namespace mira {

class SheetCloseButtonPrivate {
public:
    bool highlighted = false;
    qreal alphaValue = 1.0;
};

SheetCloseButton::SheetCloseButton(QWidget *parent)
    : QAbstractButton(parent)
    , d(std::make_unique<SheetCloseButtonPrivate>())
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setAccessibleName(tr("Close"));
}

SheetCloseButton::~SheetCloseButton() = default;

bool SheetCloseButton::isHighlighted() const
{
    return d->highlighted;
}

void SheetCloseButton::setHighlighted(bool highlighted)
{
    if (d->highlighted == highlighted)
        return;
    d->highlighted = highlighted;
    update();
    Q_EMIT highlightedChanged(highlighted);
}

qreal SheetCloseButton::alphaValue() const
{
    return d->alphaValue;
}

void SheetCloseButton::setAlphaValue(qreal alpha)
{
    alpha = qBound(0.0, alpha, 1.0);
    if (qFuzzyCompare(d->alphaValue, alpha))
        return;
    d->alphaValue = alpha;
    update();
    Q_EMIT alphaValueChanged(alpha);
}

QSize SheetCloseButton::sizeHint() const
{
    return QSize(14, 16);
}

void SheetCloseButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Disabled, it fades to a hint of itself.
    painter.setOpacity(isEnabled() ? d->alphaValue : d->alphaValue * 0.4);
    // The badge's circle sits at (1, 2, 12, 12); the cross is centred on it.
    const QPointF centre(width() / 2.0, height() / 2.0);
    if (d->highlighted || isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, isDown() ? 90 : 60));
        painter.drawEllipse(centre, 6, 6);
    }
    QPen pen(QColor(255, 255, 255, d->highlighted ? 255 : 200), 1.4, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    const qreal arm = 2.8;
    painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
    painter.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
}

} // namespace mira
