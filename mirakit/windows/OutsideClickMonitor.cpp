#include "OutsideClickMonitor_p.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace mira {

OutsideClickMonitor::OutsideClickMonitor(QWidget *window, Handler onOutsidePress)
    : QObject(window)
    , m_window(window)
    , m_onOutsidePress(std::move(onOutsidePress))
{
    qApp->installEventFilter(this);
}

bool OutsideClickMonitor::isInside(QObject *watched) const
{
    if (auto *widget = qobject_cast<QWidget *>(watched)) {
        // Windows opened from a widget inside (menus, combo box lists) are parented to it.
        for (QWidget *w = widget; w; w = w->parentWidget()) {
            if (w == m_window)
                return true;
        }
        return false;
    }
    if (auto *window = qobject_cast<QWindow *>(watched)) {
        const QWindow *own = m_window->windowHandle();
        // Bounded, as nothing stops two windows from being each other's transient parent.
        int depth = 0;
        for (const QWindow *w = window; w && depth < 32;
             w = w->transientParent() ? w->transientParent() : w->parent(), ++depth) {
            if (w == own)
                return true;
        }
        return false;
    }
    return false;
}

bool OutsideClickMonitor::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)
        return false;
    // A window that is gone or no longer shown holds nothing back.
    if (!m_window || !m_window->isVisible() || isInside(watched))
        return false;
    if (type == QEvent::MouseButtonPress && m_onOutsidePress) {
        // The handler may delete the window and with it this monitor.
        const Handler handler = m_onOutsidePress;
        handler();
    }
    return true;
}

} // namespace mira
