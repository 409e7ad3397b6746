#include "ReturnKey.h"

#include <mirakit/interactive/InteractiveButton.h>

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

namespace {

// Sees the Return keys the page's controls leave unhandled; they travel up
// to the page.
class ReturnKeyFilter : public QObject {
public:
    ReturnKeyFilter(QWidget *page, std::function<void()> action)
        : QObject(page)
        , m_action(std::move(action))
    {
        page->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        auto *focused = qobject_cast<QAbstractButton *>(static_cast<QWidget *>(watched)->focusWidget());
        if (focused && !focused->isCheckable()) {
            // MiraKit buttons run their press actions around the click.
            if (auto *interactive = qobject_cast<mira::InteractiveButton *>(focused))
                interactive->performClick();
            else if (focused->isEnabled())
                focused->click();
        } else {
            m_action();
        }
        return true;
    }

private:
    std::function<void()> m_action;
};

} // namespace

void onReturnKey(QWidget *page, std::function<void()> action)
{
    new ReturnKeyFilter(page, std::move(action));
}
