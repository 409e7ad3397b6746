#pragma once

#include <mirakit/mirakit_export.h>

#include <QAbstractButton>

#include <functional>
#include <memory>

namespace mira {

class QZCloseButtonPrivate;

/**
 * A small round red close button drawn in code, as in the top-left corner of
 * a QZAlert. It shows a black cross while the pointer is over it and a
 * brighter red while pressed; a disabled button is drawn faded, without the cross. Its size hint is 12 × 12 points;
 * assistive technology sees a push button named "Close".
 *
 * @code
 * mira::QZCloseButton::addCloseByTarget(page, [page] { page->hide(); });
 * @endcode
 */
class MIRAKIT_EXPORT QZCloseButton : public QAbstractButton {
    Q_OBJECT
    /// Whether the pointer is over the button. Default: false.
    Q_PROPERTY(bool mouseHovering READ isMouseHovering NOTIFY mouseHoveringChanged)
    /// Whether the button is held down by the pointer. Default: false.
    Q_PROPERTY(bool mouseDown READ isMouseDown NOTIFY mouseDownChanged)
public:
    explicit QZCloseButton(QWidget *parent = nullptr);
    ~QZCloseButton() override;

    /**
     * Gives @p view a close button 10 points in from its top-left corner,
     * running @p action when clicked, and returns it. A view that already has
     * one keeps it (and its action); that button is returned.
     */
    static QZCloseButton *addCloseByTarget(QWidget *view, std::function<void()> action);
    /// The button addCloseByTarget() gave @p view, or nullptr.
    static QZCloseButton *closeButton(const QWidget *view);

    bool isMouseHovering() const;
    bool isMouseDown() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void mouseHoveringChanged(bool hovering);
    void mouseDownChanged(bool down);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::unique_ptr<QZCloseButtonPrivate> const d;
};

} // namespace mira
