#pragma once

#include <mirakit/mirakit_export.h>
#include <mirakit/windows/WindowPopoverStyle.h>

#include <QPalette>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace mira {

class PopoverWindowPrivate;

/**
 * A frameless, translucent child window that shows a popover (usually a
 * PopoverViewController) beside its source. Show it with mira::popover()
 * and close it with mira::dismissPopover(), Escape, or, when the configer
 * asks for it, a press anywhere else.
 *
 * What style() does:
 * - none: shown and hidden at once; presses elsewhere go on as usual;
 * - popup: zooms in from 90 % size and 70 % opacity in 0.2 s and out again;
 *   presses in every other window of the application are held back;
 * - popover: the same, zooming from and to 80 % size.
 *
 * While it is shown, focus is in its first control that takes Tab focus (if
 * it has one); once it closes, focus goes back where it was. Assistive
 * technology sees it as a window named by its own accessible name, else by
 * the page's window title, else by the page's accessible name.
 *
 * On X11 it is a frameless tool window placed beside its source. On Wayland,
 * where clients cannot place their top-level windows, it is a popup window
 * with its parent as transient parent, which the compositor places relative
 * to the parent. There a press in another application always closes it, and
 * with style none so does a press in this application's other windows.
 */
class MIRAKIT_EXPORT PopoverWindow : public QWidget {
    Q_OBJECT
public:
    using Completion = std::function<void()>;

    /// A window showing @p contentViewController (taken over) in @p appearance,
    /// else in the palette of the application's active window, else in the standard light palette.
    explicit PopoverWindow(QWidget *contentViewController, const std::optional<QPalette> &appearance = std::nullopt);
    ~PopoverWindow() override;

    /// The page shown (a PopoverViewController when built by mira::popover()), or nullptr.
    QWidget *contentViewController() const;

    /// How it comes and goes. Default: none. Setting it runs configerStyle().
    WindowPopoverStyle style() const;
    void setStyle(WindowPopoverStyle style);

    /// Whether presses elsewhere are being held back (popup and popover while shown).
    bool hasLocalMonitor() const;
    /// Always true: the window takes keyboard focus when shown.
    bool canBecomeKey() const { return true; }
    /// Whether it is shown and not yet closed.
    bool isPresented() const;

    /// Applies style(): the press monitor and the opening zoom. Spelled as callers know it.
    void configerStyle();
    /**
     * Closes the window the way its style asks (after the zoom-out for popup
     * and popover) and runs @p completion once it is gone. A call while it is
     * closing adds its completion to the ones that run then; a call on a
     * window that is not shown runs @p completion at once.
     */
    void closePopover(Completion completion = {});

    /// Delete the window once it has been closed (windows built by mira::popover()).
    void setDeleteAfterClosing(bool enabled);

    /// The page's size hint.
    QSize sizeHint() const override;

Q_SIGNALS:
    /// Emitted once each time the shown window has closed, however it was
    /// closed; not when it is deleted while shown (with its parent, say).
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    /// Escape closes the window.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void finishClosing();

    std::unique_ptr<PopoverWindowPrivate> const d;
};

} // namespace mira
