#include "ClickableImageView.h"

#include <QCursor>
#include <QMouseEvent>

ClickableImageView::ClickableImageView(QWidget *parent)
    : QLabel(parent)
{
    setAttribute(Qt::WA_Hover);
    setAlignment(Qt::AlignCenter);
}

void ClickableImageView::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    showCurrentImage();
    Q_EMIT toggled(on);
}

void ClickableImageView::setOffImage(const QPixmap &image)
{
    m_offImage = image;
    showCurrentImage();
}

void ClickableImageView::setOffHoverImage(const QPixmap &image)
{
    m_offHoverImage = image;
    showCurrentImage();
}

void ClickableImageView::setOnImage(const QPixmap &image)
{
    m_onImage = image;
    showCurrentImage();
}

void ClickableImageView::setOnHoverImage(const QPixmap &image)
{
    m_onHoverImage = image;
    showCurrentImage();
}

void ClickableImageView::showCurrentImage()
{
    if (m_entered)
        setPixmap(m_on ? m_onHoverImage : m_offHoverImage);
    else
        setPixmap(m_on ? m_onImage : m_offImage);
}

void ClickableImageView::mouseEntered()
{
    m_entered = true;
    showCurrentImage();
}

void ClickableImageView::mouseExited()
{
    m_entered = false;
    showCurrentImage();
}

void ClickableImageView::updateTrackingAreas()
{
    if (!isVisible())
        return;
    if (rect().contains(mapFromGlobal(QCursor::pos())))
        mouseEntered();
    else
        mouseExited();
}

void ClickableImageView::enterEvent(QEnterEvent *event)
{
    mouseEntered();
    QLabel::enterEvent(event);
}

void ClickableImageView::leaveEvent(QEvent *event)
{
    mouseExited();
    QLabel::leaveEvent(event);
}

void ClickableImageView::mousePressEvent(QMouseEvent *event)
{
    m_mouseDown = true;
    event->accept();
}

void ClickableImageView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_onImage.isNull() && !m_offImage.isNull())
        setOn(!m_on);
    const bool pressed = m_mouseDown;
    m_mouseDown = false;
    if (pressed)
        Q_EMIT clicked();
}

void ClickableImageView::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateTrackingAreas();
}

void ClickableImageView::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    updateTrackingAreas();
}
