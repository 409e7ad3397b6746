#include "FocusChain_p.h"

#include <QApplication>
#include <QWidget>

namespace mira::detail {

namespace {

bool isCandidate(const QWidget *container, const QWidget *widget)
{
    return widget != container && container->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus)
        && widget->isVisibleTo(container) && widget->isEnabled();
}

} // namespace

void focusFirstChild(QWidget *container)
{
    for (QWidget *widget = container->nextInFocusChain(); widget && widget != container;
         widget = widget->nextInFocusChain()) {
        if (isCandidate(container, widget)) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    container->setFocus(Qt::OtherFocusReason);
}

void focusNextChild(QWidget *container, bool next)
{
    QWidget *current = QApplication::focusWidget();
    if (!container->isAncestorOf(current))
        current = container;
    QWidget *candidate = current;
    do {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (candidate && isCandidate(container, candidate)) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    } while (candidate && candidate != current);
}

} // namespace mira::detail
