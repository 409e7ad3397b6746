#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cstdio>
#include <ctime>

/**
 * Start-up measurement aid. When PRISMORA_REPORT_SHOWN is set, the first
 * paint of the watched window prints "shown <nanoseconds>" (CLOCK_MONOTONIC)
 * to standard output, so a benchmark can time process start to first frame.
 * Without the variable it does nothing.
 */
class StartupProbe : public QObject {
public:
    static void watch(QWidget *window)
    {
        if (qEnvironmentVariableIsSet("PRISMORA_REPORT_SHOWN"))
            window->installEventFilter(new StartupProbe(window));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            timespec now {};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("shown %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    explicit StartupProbe(QObject *parent)
        : QObject(parent)
    {
    }
};
