#pragma once

#include <QLabel>
#include <QPixmap>

/**
 * An image that acts as a two-state toggle.
 *
 * It shows offImage() or onImage(), and their hover variants while the
 * pointer is over it. A click flips isOn() when both the on and the off
 * image are set, and always emits clicked(). The hover image is right from
 * the start: the pointer position is checked on show and on every resize,
 * not only on the next movement.
 */
class ClickableImageView : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn WRITE setOn NOTIFY toggled)
    Q_PROPERTY(QPixmap offImage READ offImage WRITE setOffImage)
    Q_PROPERTY(QPixmap offHoverImage READ offHoverImage WRITE setOffHoverImage)
    Q_PROPERTY(QPixmap onImage READ onImage WRITE setOnImage)
    Q_PROPERTY(QPixmap onHoverImage READ onHoverImage WRITE setOnHoverImage)
public:
    explicit ClickableImageView(QWidget *parent = nullptr);

    /// The toggle state; false by default.
    bool isOn() const { return m_on; }
    void setOn(bool on);
    /// True while the pointer is over the view.
    bool isEntered() const { return m_entered; }

    QPixmap offImage() const { return m_offImage; }
    void setOffImage(const QPixmap &image);
    QPixmap offHoverImage() const { return m_offHoverImage; }
    void setOffHoverImage(const QPixmap &image);
    QPixmap onImage() const { return m_onImage; }
    void setOnImage(const QPixmap &image);
    QPixmap onHoverImage() const { return m_onHoverImage; }
    void setOnHoverImage(const QPixmap &image);

    /// Re-reads the pointer position and shows the matching image.
    void updateTrackingAreas();

Q_SIGNALS:
    void clicked();
    void toggled(bool on);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void mouseEntered();
    void mouseExited();
    void showCurrentImage();

    QPixmap m_offImage;
    QPixmap m_offHoverImage;
    QPixmap m_onImage;
    QPixmap m_onHoverImage;
    bool m_entered = false;
    bool m_on = false;
    bool m_mouseDown = false;
};
