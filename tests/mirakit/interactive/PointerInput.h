#pragma once

#include <mirakit/interactive/MouseTrackingPointer.h>

#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QWidget>

// Pointer input as the window system delivers it: the under-mouse flag is
// set before Enter arrives and cleared before Leave.
namespace pointer {

// Where the pointer rests, as MouseTrackingPointer reports it while a ParkedPointer lives.
inline QPoint &restingPosition()
{
    static QPoint position(-1000, -1000);
    return position;
}

inline void enter(QWidget *widget, QPoint local = QPoint(2, 2))
{
    widget->setAttribute(Qt::WA_UnderMouse, true);
    const QPoint global = widget->mapToGlobal(local);
    restingPosition() = global;
    QEnterEvent event(local, widget->window()->mapFromGlobal(global), global);
    QCoreApplication::sendEvent(widget, &event);
}

inline void leave(QWidget *widget)
{
    widget->setAttribute(Qt::WA_UnderMouse, false);
    restingPosition() = QPoint(-1000, -1000);
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &event);
}

// Keeps the resting pointer far away from every test window, so that the
// tracking-region renewals on show and resize report "outside".
struct ParkedPointer {
    ParkedPointer()
    {
        restingPosition() = QPoint(-1000, -1000);
        mira::MouseTrackingPointer::setSource([] { return restingPosition(); });
    }
    ~ParkedPointer() { mira::MouseTrackingPointer::setSource({}); }
};

// The colour at @p point of what @p widget paints.
inline QColor pixel(QWidget *widget, QPoint point)
{
    return widget->grab().toImage().pixelColor(point);
}

inline void saveScreenshot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace pointer
