#pragma once

class QWidget;

namespace mira::detail {

// The relations between a presented window and the window below it, kept as
// the QWidget parent plus a marker of how it was attached.

// Makes @p sheet part of @p parent, modal to it (SheetShield), and moves the
// focus into it.
void beginSheet(QWidget *parent, QWidget *sheet);
void endSheet(QWidget *parent, QWidget *sheet);
void addChildWindow(QWidget *parent, QWidget *child);
void removeChildWindow(QWidget *parent, QWidget *child);
// Moves @p window so that its frame is centred on @p parent's frame.
void centreOn(QWidget *parent, QWidget *window);

} // namespace mira::detail
