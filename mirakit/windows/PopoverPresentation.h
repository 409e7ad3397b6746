#pragma once

#include <mirakit/mirakit_export.h>
#include <mirakit/windows/PopoverConfiger.h>
#include <mirakit/windows/WindowPopoverStyle.h>
#include <mirakit/windows/WindowPresentation.h>

class QWidget;

namespace mira {

class PopoverWindow;

/**
 * Shows @p contentViewController in a popover beside @p sourceView, over the
 * window of @p receiver (the window itself or any widget in it).
 *
 * Builds a PopoverViewController with @p configer and a PopoverWindow in
 * the configer's appearance, and shows it (see the overload below). The call
 * takes the page over in every case: the window owns it and deletes itself,
 * page included, once it is closed. When there is no receiver or its window
 * is not shown, nothing is shown, @p completion is not called, the page is
 * deleted (deleteLater()) and the result is nullptr. A page that is the
 * receiver's window or holds the receiver is refused and left alone (nullptr).
 *
 * @code
 * auto *details = new DetailsPage;
 * details->setWindowTitle(tr("Details"));   // the popover's accessible name
 * mira::popover(this, details, infoButton, mira::WindowPopoverStyle::popover,
 *     mira::PopoverConfiger { .autoHidden = true });
 * @endcode
 *
 * @return the window shown, which deletes itself once closed.
 */
MIRAKIT_EXPORT PopoverWindow *popover(QWidget *receiver, QWidget *contentViewController, QWidget *sourceView,
    WindowPopoverStyle style, const PopoverConfiger &configer = PopoverConfiger(), PresentCompletion completion = {});

/**
 * Shows @p window as a child window of @p parent's window: at the frame its
 * PopoverViewController works out (centred on the parent when there is
 * none, for instance without a source), active and in front, with @p style.
 * @p completion runs at once: it marks the end of presenting, not the
 * closing. Closing the window never ends the application. A window is
 * never shown on itself.
 */
MIRAKIT_EXPORT void popover(
    QWidget *parent, PopoverWindow *window, WindowPopoverStyle style, PresentCompletion completion = {});

/**
 * Closes the popover that @p receiver is or is in (PopoverWindow::closePopover())
 * and runs @p completion once it is gone. For any other window, hides that
 * window and runs @p completion at once.
 */
MIRAKIT_EXPORT void dismissPopover(QWidget *receiver, PresentCompletion completion = {});

} // namespace mira
