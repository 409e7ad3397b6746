#include "ReturnKey.h"

#include <QShortcut>
#include <QWidget>

void onReturnKey(QWidget *page, std::function<void()> action)
{
    for (const QKeySequence key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(key, page);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, page, action);
    }
}
