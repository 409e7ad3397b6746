#pragma once

class QWidget;

namespace mira::detail {

// Keyboard focus kept inside one container (a sheet, a popover): only its
// visible, enabled descendants that take Tab focus are candidates.

// Gives focus to the first candidate inside @p container, else to @p container itself.
void focusFirstChild(QWidget *container);
// Moves focus to the next (or, for @p next false, previous) candidate inside
// @p container after the focused widget, going round at the end. Does nothing
// when there is no candidate.
void focusNextChild(QWidget *container, bool next);

} // namespace mira::detail
