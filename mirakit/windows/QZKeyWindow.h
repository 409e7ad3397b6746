#pragma once

#include <mirakit/windows/SheetWindow.h>

#include <memory>

namespace mira {

class QZKeyWindowPrivate;

/**
 * The borderless window of a QZAlert: a SheetWindow without a badge of its
 * own that always takes the keyboard and ends with a return code.
 *
 * Its slots end the sheet on the window it is shown on; ended() then carries
 * the code. Escape acts as closeSheet(); Return and Enter click the default
 * button (QZAlert makes its confirm button the default).
 */
class MIRAKIT_EXPORT QZKeyWindow : public SheetWindow {
    Q_OBJECT
public:
    /// The window was closed (close button, Escape, or ended without a code).
    /// Neither the confirm nor the cancel action runs for it.
    using SheetWindow::returnCodeClose;
    /// The cancel button was clicked.
    static constexpr int returnCodeCancel = 0;
    /// The confirm button was clicked (or Return pressed).
    static constexpr int returnCodeConfirm = 1;

    /// An empty window with no title bar, painted only where its content paints.
    QZKeyWindow();
    ~QZKeyWindow() override;

    /// The button Return and Enter click. Default: none.
    QAbstractButton *defaultButton() const;
    void setDefaultButton(QAbstractButton *button);

public Q_SLOTS:
    /// Ends the sheet with returnCodeClose.
    void closeSheet();
    /// Ends the sheet with returnCodeCancel.
    void cancelSheet();
    /// Ends the sheet with returnCodeConfirm.
    void confirmSheet();
    /// Ends the sheet with @p returnCode. A window that is not shown ignores this.
    void endSheetWithCode(int returnCode);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<QZKeyWindowPrivate> const d;
};

} // namespace mira
