#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace mira {

// Holds back every mouse press of the application that is not meant for one
// window (or for a window opened from inside it, such as a combo box's list)
// while that window is shown, and tells its owner about each one. Child
// windows that must stay modal without a real modal session (popup sheets,
// popovers) install one; it is removed by deleting it.
class OutsideClickMonitor final : public QObject {
public:
    using Handler = std::function<void()>;

    // Watches presses for @p window, which owns the monitor. @p onOutsidePress
    // runs once for every press that was held back (double-clicks included
    // only as their first press); it may close or delete the window.
    explicit OutsideClickMonitor(QWidget *window, Handler onOutsidePress = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isInside(QObject *watched) const;

    QPointer<QWidget> m_window;
    Handler m_onOutsidePress;
};

} // namespace mira
