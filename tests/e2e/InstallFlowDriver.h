#pragma once

#include <installer/interface/InstallerAlertViewController.h>
#include <mirakit/windows/SheetWindow.h>
#include <platform/ManualScheduler.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>

/**
 * Drives the installer's window in the test process: runs the main queue on
 * a ManualScheduler while the transfer and install threads work in real
 * time, finds the notice on show and presses its buttons with real clicks.
 *
 * While pumping, virtual time moves 20 ms per turn, so delays such as the
 * one-second launch delay pass; a test that measures a delay itself stops
 * pumping first and advances the clock by hand.
 */
class InstallFlowDriver
{
public:
    InstallFlowDriver() { platform::Scheduler::setShared(&scheduler); }
    ~InstallFlowDriver() { platform::Scheduler::setShared(nullptr); }

    /// Runs the main queue until @p predicate holds; false after @p timeoutMs of real time.
    template<typename Predicate>
    bool pump(Predicate predicate, int timeoutMs = 60000)
    {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            scheduler.advanceBy(std::chrono::milliseconds(20));
            if (predicate())
                return true;
            if (deadline.hasExpired())
                return false;
            QTest::qWait(5);
        }
    }

    /// The notice shown in a sheet, or nullptr.
    static InstallerAlertViewController *notice()
    {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *sheet = qobject_cast<mira::SheetWindow *>(window);
            if (sheet && sheet->isVisible()) {
                if (auto *alert = qobject_cast<InstallerAlertViewController *>(sheet->contentViewController()))
                    return alert;
            }
        }
        return nullptr;
    }

    /// Clicks the notice's button @p tag and runs the main queue until the notice is gone.
    bool choose(int tag)
    {
        InstallerAlertViewController *alert = notice();
        QAbstractButton *button = alert ? alert->button(tag) : nullptr;
        if (!button)
            return false;
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        return pump([] { return notice() == nullptr; }, 10000);
    }

    platform::ManualScheduler scheduler;
};
