#include "SheetShield_p.h"

#include "FocusChain_p.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace mira {

SheetShield::SheetShield(QWidget *parent, QWidget *sheet)
    : QWidget(parent)
    , m_sheet(sheet)
{
    setObjectName(QStringLiteral("SheetShield"));
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    if (QWidget *focused = QApplication::focusWidget(); focused && parent->isAncestorOf(focused))
        m_previousFocus = focused;
    parent->installEventFilter(this);
    sheet->installEventFilter(this);
    connect(sheet, &QObject::destroyed, this, &QObject::deleteLater);
    place();
    show();
    stackUnder(sheet);
}

SheetShield *SheetShield::of(const QWidget *sheet)
{
    if (!sheet || !sheet->parentWidget())
        return nullptr;
    const auto shields = sheet->parentWidget()->findChildren<SheetShield *>(Qt::FindDirectChildrenOnly);
    for (SheetShield *shield : shields) {
        if (shield->m_sheet == sheet)
            return shield;
    }
    return nullptr;
}

void SheetShield::release(QWidget *sheet)
{
    SheetShield *shield = of(sheet);
    if (!shield)
        return;
    const QPointer<QWidget> previous = shield->m_previousFocus;
    QWidget *host = shield->parentWidget();
    shield->m_sheet = nullptr;
    sheet->removeEventFilter(shield);
    shield->hide();
    shield->deleteLater();
    // Focus goes back where it was, or into the window when that is gone.
    if (previous && previous->isVisible() && previous->isEnabled())
        previous->setFocus(Qt::OtherFocusReason);
    else if (host->isAncestorOf(QApplication::focusWidget()) || !QApplication::focusWidget())
        detail::focusFirstChild(host);
}

void SheetShield::place()
{
    QWidget *host = parentWidget();
    setGeometry(host->rect());
    if (m_sheet)
        m_sheet->move((host->width() - m_sheet->width()) / 2, 0);
}

bool SheetShield::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && (watched == parentWidget() || watched == m_sheet))
        place();
    return false;
}

void SheetShield::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void SheetShield::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void SheetShield::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void SheetShield::wheelEvent(QWheelEvent *event)
{
    event->accept();
}

} // namespace mira
