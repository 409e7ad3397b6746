#include "WindowNotifications.h"

#include <platform/NotificationCenter.h>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace mira {

namespace {

const char watcherProperty[] = "_mira_windowNotifications";

class WindowWatcher final : public QObject {
public:
    explicit WindowWatcher(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::Resize) {
            platform::NotificationCenter::defaultCenter().post(WindowNotifications::didResize(), m_window);
            return false;
        }
        if (event->type() != QEvent::Close)
            return false;
        // Whether the close goes ahead is only known once the window has
        // handled it, so let the rest of the chain see it first.
        m_window->removeEventFilter(this);
        QCoreApplication::sendEvent(m_window, event);
        m_window->installEventFilter(this);
        if (event->isAccepted())
            platform::NotificationCenter::defaultCenter().post(WindowNotifications::willClose(), m_window);
        return true;
    }

private:
    QWidget *m_window;
};

} // namespace

QString WindowNotifications::willClose()
{
    return QStringLiteral("windowWillClose");
}

QString WindowNotifications::didResize()
{
    return QStringLiteral("windowDidResize");
}

void WindowNotifications::watch(QWidget *window)
{
    if (!window || window->property(watcherProperty).toBool())
        return;
    window->setProperty(watcherProperty, true);
    new WindowWatcher(window);
}

} // namespace mira
