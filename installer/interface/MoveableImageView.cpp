#include "MoveableImageView.h"

#include <QMouseEvent>
#include <QWindow>

MoveableImageView::MoveableImageView(QWidget *parent)
    : QLabel(parent)
{
}

void MoveableImageView::mousePressEvent(QMouseEvent *event)
{
    QWindow *handle = window()->windowHandle();
    if (event->button() == Qt::LeftButton && handle && handle->startSystemMove()) {
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}
