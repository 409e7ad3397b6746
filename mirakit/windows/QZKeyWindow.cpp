#include "QZKeyWindow.h"

#include "WindowPresentation.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPointer>

namespace mira {

class QZKeyWindowPrivate {
public:
    QPointer<QAbstractButton> defaultButton;
};

QZKeyWindow::QZKeyWindow()
    : SheetWindow(QRect(), WindowStyleMask())
    , d(std::make_unique<QZKeyWindowPrivate>())
{
}

QZKeyWindow::~QZKeyWindow() = default;

QAbstractButton *QZKeyWindow::defaultButton() const
{
    return d->defaultButton;
}

void QZKeyWindow::setDefaultButton(QAbstractButton *button)
{
    d->defaultButton = button;
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
        if (d->defaultButton && d->defaultButton->isEnabled() && d->defaultButton->isVisibleTo(this)) {
            d->defaultButton->click();
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
