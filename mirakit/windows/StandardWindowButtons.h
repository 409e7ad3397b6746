#pragma once

#include <mirakit/mirakit_export.h>

#include <QFlags>
#include <QVariantMap>

class QWidget;

namespace mira {

/// Parts of a window's frame, stored with their conventional bit values.
enum class WindowStyle : unsigned {
    titled = 1,
    closable = 2,
    miniaturizable = 4,
    resizable = 8,
};
Q_DECLARE_FLAGS(WindowStyleMask, WindowStyle)

/// The buttons in a window's title bar.
enum class StandardWindowButton { close, miniaturize, zoom };

/**
 * Which title-bar buttons a top-level widget has, whether each is enabled,
 * and whether the window can be resized, mapped onto Qt window flags and
 * size limits.
 *
 * A window has a close button when it is closable, a minimise button when
 * it is miniaturizable and a zoom button when it is titled. A disabled
 * button is taken out of the window's flags (the window manager stops
 * offering it) but the window keeps it, so enabling it again brings it back.
 * A titled window that is not resizable has its size fixed; making it
 * resizable restores the limits it had before. (An untitled window offers no
 * frame to drag, so its size limits are left alone.)
 *
 * For a window never configured here, the style is read from its flags:
 * titled unless frameless, closable and miniaturizable unless its flags
 * customise the title bar without those buttons, resizable unless its
 * minimum and maximum sizes are equal.
 */
class MIRAKIT_EXPORT StandardWindowButtons {
public:
    static WindowStyleMask styleMask(const QWidget *window);
    static void setStyleMask(QWidget *window, WindowStyleMask mask);

    static bool hasButton(const QWidget *window, StandardWindowButton button);
    /// True for an existing button unless it was switched off.
    static bool isButtonEnabled(const QWidget *window, StandardWindowButton button);
    /// Switches an existing button on or off; ignored for a missing one.
    static void setButtonEnabled(QWidget *window, StandardWindowButton button, bool enabled);

private:
    static void apply(QWidget *window);
};

/**
 * Switches off @p window's zoom, close and minimise buttons and its
 * resizing, recording how they were under "zoomButton", "closeButton",
 * "miniaturizeButton" (each only when the window has the button) and
 * "styleMask.resizable" (only when it was resizable). A second call before
 * restoring records the already switched-off state. mira::present() calls it
 * for the window below unless asked to leave the buttons alone.
 */
MIRAKIT_EXPORT void disableStandardButtonState(QWidget *window);

/// Puts back what disableStandardButtonState() recorded and forgets the record.
MIRAKIT_EXPORT void restoreDisableStandardButtonState(QWidget *window);

/// The record kept while the buttons are switched off (empty when there is none).
/// Spelled, like the window property that holds it, as callers know it.
MIRAKIT_EXPORT QVariantMap standardButtonEnableTemp(const QWidget *window);

} // namespace mira

Q_DECLARE_OPERATORS_FOR_FLAGS(mira::WindowStyleMask)
