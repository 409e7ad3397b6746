#pragma once

#include <mirakit/mirakit_export.h>

#include <QList>

class QWidget;

namespace mira {

/**
 * How a window shown with mira::present() hangs off the window below it: a
 * sheet is attached to its parent window, a popup, centred window or popover
 * is a child window of it. Each relation holds from presenting until the
 * window is ended.
 */

/// The window @p window is shown on as a sheet, or nullptr.
MIRAKIT_EXPORT QWidget *sheetParent(const QWidget *window);
/// The window @p window is a child window of (popup, center), or nullptr.
MIRAKIT_EXPORT QWidget *parentWindow(const QWidget *window);

/**
 * The sheets shown on @p window (sheet and criticalSheet, still attached), in
 * the order they were presented: the last one is the newest.
 */
MIRAKIT_EXPORT QList<QWidget *> attachedSheets(const QWidget *window);

} // namespace mira
