#pragma once

#include <mirakit/mirakit_export.h>
#include <mirakit/windows/StandardWindowButtons.h>
#include <mirakit/windows/WindowPresentStyle.h>

#include <QPalette>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;

namespace platform {
struct Notification;
}

namespace mira {

class SheetCloseButton;
class SheetWindowPrivate;

/**
 * A small frameless window that shows one page (a "view controller": any
 * QWidget) over another window, with a close badge in the page's top
 * leading corner (top-left, or top-right for a right-to-left page).
 *
 * Show it with mira::present() and close it with mira::dismiss(), the badge,
 * or by closing the parent. How it sits over its parent depends on the
 * WindowPresentStyle given to present():
 *
 * - sheet, criticalSheet: part of the parent window, at its top centre,
 *   with a shadow, and modal to it (see present());
 * - popup: centred child window that zooms in (0.2 s, from 90 % size and
 *   70 % opacity) and out again; while it is up, presses in every other
 *   window of the application are ignored, it follows the parent's
 *   resizing, and it closes when the parent closes;
 * - center: the same without the zoom.
 *
 * @code
 * auto *page = new AlertPage;              // may adopt SheetWindowCloseProtocol
 * mira::present(mainWindow, page, false, mira::WindowPresentStyle::sheet, std::nullopt);
 * ...
 * mira::dismiss(page);                     // from inside the page
 * @endcode
 *
 * The badge is 14 × 16 points, 8 points in from the page's top leading
 * corner (plus the page's closeOffset(), whose x moves it down and whose y
 * moves it in from the side: right on a left-to-right page, left on a
 * right-to-left one), and moves across when the page's layout direction
 * changes. It is drawn as a black circle at 30 % opacity with a light cross
 * that brightens while the pointer is over it. A page whose closeEnable() is
 * false gets no badge. Escape acts as the badge.
 *
 * Assistive technology sees a presented window as a modal dialog whose name
 * is the page's accessible name (else the parent window's title, else the
 * application's name) and whose description is the page's accessible
 * description.
 */
class MIRAKIT_EXPORT SheetWindow : public QWidget {
    Q_OBJECT
public:
    using Completion = std::function<void()>;

    /// The return code of a window closed without one: by the badge, Escape,
    /// closeWindow() or dismiss() without a code.
    static constexpr int returnCodeClose = -1000;

    /// A window showing @p contentViewController (which it takes over), in
    /// @p appearance or else in the palette of the application's active window.
    explicit SheetWindow(QWidget *contentViewController, const std::optional<QPalette> &appearance = std::nullopt);
    /// An empty window of @p contentRect with the given title-bar style, in the
    /// light standard palette and with a clear background.
    SheetWindow(const QRect &contentRect, WindowStyleMask styleMask);
    ~SheetWindow() override;

    /// The page shown, or nullptr.
    QWidget *contentViewController() const;
    /**
     * Shows @p controller and sizes the window to the page's sizeHint(),
     * kept within its minimum and maximum sizes (a page fixed with
     * setFixedSize() keeps its size). The size a page was resized to, such
     * as the design size setupUi() gives it, does not count; only a page
     * without a size hint (one without a layout) keeps its current size.
     */
    void setContentViewController(QWidget *controller);

    /// Set by present(); absent for a window never presented.
    std::optional<WindowPresentStyle> style() const;
    void setStyle(std::optional<WindowPresentStyle> style);

    /// Whether the press monitor of popup and center is installed.
    bool hasLocalMonitor() const;

    /// The badge container, created on first use.
    QWidget *closeView();
    /// The badge's close button, created on first use.
    SheetCloseButton *closeButton();
    /// Whether the badge was created (it is not for a page with closeEnable() false).
    bool hasCloseView() const;

    /// Always true: the window takes keyboard focus when shown.
    bool canBecomeKey() const { return true; }

    /// The badge's action: lets the page decide (SheetWindowCloseProtocol::closeSheet)
    /// when it adopts the protocol with the badge enabled, else closeWindow().
    void closeAction();
    /// Closes the window the way its style asks and restores the parent's
    /// title-bar buttons; @p completion runs once it is gone (after the
    /// zoom-out for popup). A window never presented ignores this.
    void closeWindow(Completion completion = {});
    /// Like closeWindow(), ending the window with @p returnCode (reported by ended()).
    /// The other closeWindow() ends it with returnCodeClose.
    void closeWindow(int returnCode, Completion completion);

    // The steps of presenting and closing. present() sets style() and calls
    // configerStyle(), which runs the next three for popup and center; the
    // handlers run when the parent window closes or resizes. Each may be run
    // on its own, and the names are spelled as callers know them.

    /// Applies style(): observers, press monitor and opening zoom for popup and center.
    void configerStyle();
    /// Observes "window will close" and "window did resize" of the parent and of itself.
    void addWindowNotification();
    /// Ignores presses outside this window while it is shown.
    void addLocalMonirorIgnoresParentMouseEvents();
    /// Zooms the page in from 90 % size and 70 % opacity (0.2 s), then runs @p completion.
    void popupOpenAnimation(Completion completion = {});
    /// Zooms the page out to 90 % size and no opacity (0.2 s), then runs @p completion.
    void popupCloseAnimation(Completion completion = {});
    /// The parent window closing acts as the badge (closeAction()).
    void windowWillClose(const platform::Notification &notification);
    /// Keeps the window centred on its parent when either resizes.
    void windowResize(const platform::Notification &notification);

    /// Delete the window once it has been closed (windows built by present() for a page).
    void setDeleteAfterClosing(bool enabled);

Q_SIGNALS:
    /// The window was closed with @p returnCode, just before the completion given to closeWindow() runs.
    void ended(int returnCode);

protected:
    /// Escape acts as the badge while the window is presented.
    void keyPressEvent(QKeyEvent *event) override;
    /// Inside a parent window, Tab and Backtab cycle through this sheet's controls only.
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent *event) override;

private:
    std::unique_ptr<SheetWindowPrivate> const d;
};

} // namespace mira
