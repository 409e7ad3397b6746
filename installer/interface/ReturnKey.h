#pragma once

#include <functional>

class QWidget;

/**
 * Makes Return and Enter run @p action while focus is anywhere in @p page,
 * the way a dialog's default button works. Keys a focused control uses
 * itself (Space on a button) are not affected.
 *
 * @code
 * onReturnKey(this, [this] { installEvent(); });
 * @endcode
 */
void onReturnKey(QWidget *page, std::function<void()> action);
