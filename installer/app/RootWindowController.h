#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

/**
 * The installer's one main window.
 *
 * The window is centred on the primary screen's available area, can be
 * dragged by its background, offers minimise and close but no maximise (a
 * decoration that shows its own maximise button, as Wayland's client-side
 * ones do, cannot maximise it), and
 * hands its close button to the page on show: a page implementing
 * PageCloseHandler decides; any other content lets the installer quit.
 * Assistive technology sees it as a frame named by its title.
 */
class RootWindowController : public QWidget {
    Q_OBJECT
public:
    explicit RootWindowController(QWidget *parent = nullptr);
    ~RootWindowController() override;

    /// The page on show; nullptr before the first one is set.
    QWidget *contentViewController() const;
    /// Shows @p page, replacing (and deleting) the previous one. Focus moves
    /// to the new page's first control unless the page placed it while
    /// being shown.
    void setContentViewController(QWidget *page);

    /// Centres the window and applies the window flags. Runs once on construction.
    void windowDidLoad();
    /// Target of the close button.
    void closeWindowEventWithSender(QObject *sender);

    /// Origin that puts a window of @p size at the centre of @p visibleFrame.
    static QPoint centeredOrigin(const QRect &visibleFrame, const QSize &size);

    /// The fixed size of the window.
    static QSize windowSize();

Q_SIGNALS:
    /// @p page is the window's content now (nullptr: none). Emitted before the
    /// page is shown, and so before a page that starts work on its first show
    /// can report anything.
    void contentViewControllerChanged(QWidget *page);

protected:
    void closeEvent(QCloseEvent *event) override;
    /// Refuses maximising, which decorations that ignore the fixed size still offer.
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void centerOnPrimaryScreen(const QSize &frameSize);

    QPointer<QWidget> m_content;
    bool m_centredWithFrame = false;
};
