#pragma once

class QWidget;

namespace mira::detail {

// The relations between a presented window and the window below it, kept as
// the QWidget parent plus a marker of how it was attached.
void beginSheet(QWidget *parent, QWidget *sheet, bool critical);
void endSheet(QWidget *parent, QWidget *sheet);
void addChildWindow(QWidget *parent, QWidget *child);
void removeChildWindow(QWidget *parent, QWidget *child);
// Gives focus to the first widget inside @p container that takes Tab focus,
// else to @p container itself.
void focusFirstChild(QWidget *container);
// Moves @p window so that its frame is centred on @p parent's frame.
void centreOn(QWidget *parent, QWidget *window);

} // namespace mira::detail
