#include "QZKeyWindow.h"

#include "WindowPresentation.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace mira {

QZKeyWindow::QZKeyWindow()
    : SheetWindow(QRect(), WindowStyleMask())
{
}

QZKeyWindow::~QZKeyWindow() = default;

QAbstractButton *QZKeyWindow::defaultButton() const
{
    return m_defaultButton;
}

void QZKeyWindow::setDefaultButton(QAbstractButton *button)
{
    m_defaultButton = button;
}

void QZKeyWindow::closeSheet()
{
    endSheetWithCode(returnCodeClose);
}

void QZKeyWindow::cancelSheet()
{
    endSheetWithCode(returnCodeCancel);
}

void QZKeyWindow::confirmSheet()
{
    endSheetWithCode(returnCodeConfirm);
}

void QZKeyWindow::endSheetWithCode(int returnCode)
{
    if (!style() || !isVisible())
        return;
    dismiss(this, returnCode, {});
}

void QZKeyWindow::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        closeSheet();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_defaultButton && m_defaultButton->isEnabled() && m_defaultButton->isVisibleTo(this)) {
            m_defaultButton->click();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    SheetWindow::keyPressEvent(event);
}

} // namespace mira
