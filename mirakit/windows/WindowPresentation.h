#pragma once

#include <mirakit/mirakit_export.h>
#include <mirakit/windows/WindowPresentStyle.h>
// What present() and dismiss() keep up for the window below: the relations
// (sheetParent(), attachedSheets(), …) and the switched-off title-bar buttons.
#include <mirakit/windows/StandardWindowButtons.h>
#include <mirakit/windows/WindowRelations.h>

#include <QPalette>
#include <QPointF>

#include <functional>
#include <optional>

class QWidget;

namespace mira {

class SheetWindow;

using PresentCompletion = std::function<void()>;
/// Receives the return code a presented window was ended with.
using DismissCompletion = std::function<void(int returnCode)>;

/**
 * Shows @p window over @p parent's window in @p style.
 *
 * A sheet becomes part of the parent window: it sits at its top centre,
 * stays there as the window moves or resizes, and is modal to it (presses
 * on the page underneath are ignored, Tab stays inside the sheet, focus
 * moves into it and returns once it ends). Popup and center windows are
 * separate child windows centred on the parent. Unless
 * @p isEnableStandardButton is true, the parent's title-bar buttons are
 * switched off until the window goes (disableStandardButtonState()). A
 * SheetWindow takes the style and configures itself. @p completion runs at
 * once: it marks the end of presenting, not the closing.
 */
MIRAKIT_EXPORT void present(QWidget *parent, QWidget *window, bool isEnableStandardButton, WindowPresentStyle style,
    PresentCompletion completion = {});

/**
 * Shows the page @p controller in a new SheetWindow over @p receiver's window
 * (the receiver may be the window or any page in it). The call takes the
 * page over in every case: the new window owns it and deletes itself, page
 * included, once it is closed. A window not shown yet gets the sheet when it
 * shows. When there is no receiver, nothing is presented, @p completion is
 * not called and the page is deleted (deleteLater()).
 */
MIRAKIT_EXPORT void present(QWidget *receiver, QWidget *controller, bool isEnableStandardButton,
    WindowPresentStyle style, const std::optional<QPalette> &appearance, PresentCompletion completion = {});

/**
 * Closes the window shown with present() that @p receiver is (or is in), and
 * restores the title-bar buttons of the window below it.
 */
MIRAKIT_EXPORT void dismiss(QWidget *receiver, PresentCompletion completion = {});

/**
 * Like dismiss(), and ends the window with @p returnCode: a SheetWindow
 * reports it through SheetWindow::ended(), and @p completion receives it once
 * the window is gone. The other dismiss() ends a window with
 * SheetWindow::returnCodeClose (-1000).
 */
MIRAKIT_EXPORT void dismiss(QWidget *receiver, int returnCode, DismissCompletion completion);

/**
 * Centres @p window on @p aligment's frame, or on the primary screen (taken
 * at origin (0, 0)) when @p aligment is nullptr, then moves it by @p offset.
 * Half the size difference is rounded up. Centring a window on itself does
 * nothing.
 */
MIRAKIT_EXPORT void center(
    QWidget *window, QWidget *aligment = nullptr, const std::optional<QPointF> &offset = std::nullopt);

/// The SheetWindow @p widget is or is in, or nullptr.
MIRAKIT_EXPORT SheetWindow *sheetWindowOf(const QWidget *widget);

} // namespace mira
