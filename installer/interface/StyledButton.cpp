#include "StyledButton.h"

#include <mirakit/foundation/ColorExtensions.h>

#include <QFocusEvent>
#include <QPainter>

#include <algorithm>

namespace {
constexpr qreal defaultCornerRadius = 4;
constexpr qreal focusRingWidth = 2;
} // namespace

StyledButton::StyledButton(QWidget *parent)
    : mira::InteractiveButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    if (cornerRadius() == 0)
        setCornerRadius(defaultCornerRadius);
}

StyledButton::~StyledButton() = default;

void StyledButton::setEnabled(bool enabled)
{
    mira::InteractiveButton::setEnabled(enabled);
    setFocusPolicy(enabled ? Qt::StrongFocus : Qt::NoFocus);
    if (!enabled && hasFocus())
        clearFocus();
}

void StyledButton::focusInEvent(QFocusEvent *event)
{
    mira::InteractiveButton::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    m_focusRing = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    update();
}

void StyledButton::focusOutEvent(QFocusEvent *event)
{
    mira::InteractiveButton::focusOutEvent(event);
    // A window losing activation keeps the focus widget; the ring comes back with it.
    if (event->reason() != Qt::ActiveWindowFocusReason)
        m_focusRing = false;
    update();
}

void StyledButton::paintEvent(QPaintEvent *event)
{
    mira::InteractiveButton::paintEvent(event);
    if (!m_focusRing || !hasFocus())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(mira::rgb(0x258E65), focusRingWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = focusRingWidth / 2;
    const qreal radius = std::max<qreal>(0, cornerRadius() - inset);
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
}
