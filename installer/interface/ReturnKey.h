#pragma once

#include <functional>

class QWidget;

/**
 * Makes Return and Enter run @p action while focus is in @p page, the way a
 * dialog's default button works.
 *
 * A focused push button (one that is not checkable) takes the key itself,
 * so Return on a link opens the link; on a check box, or with focus
 * elsewhere in the page, Return runs @p action.
 *
 * @code
 * onReturnKey(this, [this] { installEvent(); });
 * @endcode
 */
void onReturnKey(QWidget *page, std::function<void()> action);
