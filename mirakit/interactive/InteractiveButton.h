#pragma once

#include <mirakit/interactive/ButtonCell.h>
#include <mirakit/interactive/InteractiveButtonProtocol.h>
#include <mirakit/mirakit_export.h>

#include <QAbstractButton>

#include <memory>

namespace mira {

class InteractiveButtonPrivate;

/**
 * A push button whose whole look — title or attributed title, title colour,
 * font, image, background, border and cursor — is registered per
 * interaction state and applied whenever the state changes.
 *
 * Every state change applies, in this order: the cursor; the background
 * (cleared when nothing resolves); border colour and width (kept when
 * nothing resolves); the title — the attributed title of the state as it
 * is, otherwise the state's text (else the current title) with the state's
 * font (else the current cell font, else 14 pixels), colour (else black)
 * and the button's alignment; the image (an explicit "no image" counts,
 * otherwise the current image stays); then the state's callable. A state's
 * hidden flags blank the plain title and/or drop the image.
 *
 * Presses report to the owner through event actions: mouseDown fires before
 * the press is tracked, and mouseUpInside fires after clicked() (or
 * mouseUpOutside when the press ended outside). A disabled button still
 * receives the pointer (the widget itself stays enabled and is never
 * dimmed), shows disabled or disabled + hovered, and swallows presses.
 *
 * The cell (cell(), a ButtonCell by default) measures and places image and
 * title; replaceButtonCell() installs another one, such as a
 * SpacingButtonCell, keeping every setting.
 *
 * Keyboard focus shows as a 2-pixel ring in focusRingColor() along the
 * button's edge, rounded with its corner radius and drawn over the
 * background, image and title. It shows only while the focus came from the
 * keyboard (Tab, Backtab or a shortcut), never after a click, so buttons made
 * only of images (check boxes) and attributed-title links show it as well.
 *
 * Defaults: enabled, not selected, no title, no image, image left of the
 * title, centred, no background, no border, corner radius 0, focus ring in
 * the palette's highlight colour.
 *
 * @code
 * auto *install = new mira::InteractiveButton(tr("Install"), page);
 * install->setCornerRadius(4);
 * install->setBackgroundColor(mira::rgb(0x3BE5A2), mira::Interactive::State::normal);
 * install->setBackgroundColor(mira::rgb(0x36D395), mira::Interactive::State::hovered);
 * install->setTextColor(mira::rgb(0x342929), mira::Interactive::State::normal);
 * install->setCursor(Qt::PointingHandCursor, mira::Interactive::State::hovered);
 * connect(install, &QAbstractButton::clicked, page, &Page::startInstall);
 * @endcode
 *
 * The designable properties (normalLocalizedKey, hoveredTextColor,
 * disabledImage, selectedBackgroundColor, clickedBorderColor, …) set one
 * state from Qt Designer files; a localized key is looked up through
 * mira::localizedString(). They read the value that applies in the state.
 */
class MIRAKIT_EXPORT InteractiveButton : public QAbstractButton, public virtual InteractiveButtonProtocol {
    Q_OBJECT
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(bool selected READ isSelected WRITE setSelected)
    Q_PROPERTY(QString text READ title WRITE setTitle)
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(QPixmap image READ currentImage WRITE setImage)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(QColor focusRingColor READ focusRingColor WRITE setFocusRingColor RESET resetFocusRingColor NOTIFY
            focusRingColorChanged)
    Q_PROPERTY(QString normalLocalizedKey READ normalLocalizedKey WRITE setNormalLocalizedKey STORED false)
    Q_PROPERTY(QString hoveredLocalizedKey READ hoveredLocalizedKey WRITE setHoveredLocalizedKey STORED false)
    Q_PROPERTY(QString clickedLocalizedKey READ clickedLocalizedKey WRITE setClickedLocalizedKey STORED false)
    Q_PROPERTY(QString selectedLocalizedKey READ selectedLocalizedKey WRITE setSelectedLocalizedKey STORED false)
    Q_PROPERTY(QString disabledLocalizedKey READ disabledLocalizedKey WRITE setDisabledLocalizedKey STORED false)
    Q_PROPERTY(QColor normalTextColor READ normalTextColor WRITE setNormalTextColor STORED false)
    Q_PROPERTY(QColor hoveredTextColor READ hoveredTextColor WRITE setHoveredTextColor STORED false)
    Q_PROPERTY(QColor clickedTextColor READ clickedTextColor WRITE setClickedTextColor STORED false)
    Q_PROPERTY(QColor selectedTextColor READ selectedTextColor WRITE setSelectedTextColor STORED false)
    Q_PROPERTY(QColor disabledTextColor READ disabledTextColor WRITE setDisabledTextColor STORED false)
    Q_PROPERTY(QPixmap normalImage READ normalImage WRITE setNormalImage STORED false)
    Q_PROPERTY(QPixmap hoveredImage READ hoveredImage WRITE setHoveredImage STORED false)
    Q_PROPERTY(QPixmap clickedImage READ clickedImage WRITE setClickedImage STORED false)
    Q_PROPERTY(QPixmap selectedImage READ selectedImage WRITE setSelectedImage STORED false)
    Q_PROPERTY(QPixmap disabledImage READ disabledImage WRITE setDisabledImage STORED false)
    Q_PROPERTY(QColor normalBackgroundColor READ normalBackgroundColor WRITE setNormalBackgroundColor STORED false)
    Q_PROPERTY(QColor hoveredBackgroundColor READ hoveredBackgroundColor WRITE setHoveredBackgroundColor STORED false)
    Q_PROPERTY(QColor clickedBackgroundColor READ clickedBackgroundColor WRITE setClickedBackgroundColor STORED false)
    Q_PROPERTY(
        QColor selectedBackgroundColor READ selectedBackgroundColor WRITE setSelectedBackgroundColor STORED false)
    Q_PROPERTY(
        QColor disabledBackgroundColor READ disabledBackgroundColor WRITE setDisabledBackgroundColor STORED false)
    Q_PROPERTY(QColor normalBorderColor READ normalBorderColor WRITE setNormalBorderColor STORED false)
    Q_PROPERTY(QColor hoveredBorderColor READ hoveredBorderColor WRITE setHoveredBorderColor STORED false)
    Q_PROPERTY(QColor clickedBorderColor READ clickedBorderColor WRITE setClickedBorderColor STORED false)
    Q_PROPERTY(QColor selectedBorderColor READ selectedBorderColor WRITE setSelectedBorderColor STORED false)
    Q_PROPERTY(QColor disabledBorderColor READ disabledBorderColor WRITE setDisabledBorderColor STORED false)

public:
    explicit InteractiveButton(QWidget *parent = nullptr);
    explicit InteractiveButton(const QString &title, QWidget *parent = nullptr);
    ~InteractiveButton() override;

    using InteractiveButtonProtocol::font;
    using InteractiveButtonProtocol::image;
    using InteractiveButtonProtocol::setFont;
    using InteractiveButtonProtocol::setImage;
    using InteractiveButtonProtocol::setText;
    using InteractiveButtonProtocol::text;
    using InteractiveViewProtocol::cursor;
    using InteractiveViewProtocol::setCursor;
    using QAbstractButton::text;
    using QWidget::cursor;
    using QWidget::font;
    using QWidget::setCursor;
    using QWidget::setFont;

    /// The control's own enabled flag; the widget underneath stays enabled.
    bool isEnabled() const override;
    void setEnabled(bool enabled) override;

    /// The current title: the text of the attributed title shown now.
    QString title() const;
    void setTitle(const QString &title);
    void setText(const QString &title) { setTitle(title); }
    AttributedText attributedTitle() const;
    void setAttributedTitle(const AttributedText &title);
    /// The image shown now.
    QPixmap currentImage() const override;
    void setImage(const QPixmap &image);
    ButtonCell::ImagePosition imagePosition() const;
    void setImagePosition(ButtonCell::ImagePosition position);
    /// Alignment of the content (and of generated titles). Default Qt::AlignHCenter.
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    /// Rounds the painted background and border. Default 0.
    qreal cornerRadius() const;
    void setCornerRadius(qreal radius);

    /// The colour of the keyboard focus ring. Default: the palette's highlight colour.
    QColor focusRingColor() const;
    void setFocusRingColor(const QColor &color);
    /// Goes back to the palette's highlight colour.
    void resetFocusRingColor();
    /// Whether the keyboard focus ring shows now.
    bool isFocusRingVisible() const;

    /// The cell that measures, places and draws image and title.
    ButtonCell *cell() const;
    /// Installs @p cell after copying every setting of the current cell into it.
    void replaceButtonCell(std::unique_ptr<ButtonCell> cell);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    void interactiveStateDidChanged(Interactive::State last) override;

    QString normalLocalizedKey() const { return text(Interactive::State::normal).value_or(QString()); }
    void setNormalLocalizedKey(const QString &v) { setText(localizedKeyText(v), Interactive::State::normal); }
    QString hoveredLocalizedKey() const { return text(Interactive::State::hovered).value_or(QString()); }
    void setHoveredLocalizedKey(const QString &v) { setText(localizedKeyText(v), Interactive::State::hovered); }
    QString clickedLocalizedKey() const { return text(Interactive::State::clicked).value_or(QString()); }
    void setClickedLocalizedKey(const QString &v) { setText(localizedKeyText(v), Interactive::State::clicked); }
    QString selectedLocalizedKey() const { return text(Interactive::State::selected).value_or(QString()); }
    void setSelectedLocalizedKey(const QString &v) { setText(localizedKeyText(v), Interactive::State::selected); }
    QString disabledLocalizedKey() const { return text(Interactive::State::disabled).value_or(QString()); }
    void setDisabledLocalizedKey(const QString &v) { setText(localizedKeyText(v), Interactive::State::disabled); }
    QColor normalTextColor() const { return textColor(Interactive::State::normal).value_or(QColor()); }
    void setNormalTextColor(const QColor &v) { setTextColor(v, Interactive::State::normal); }
    QColor hoveredTextColor() const { return textColor(Interactive::State::hovered).value_or(QColor()); }
    void setHoveredTextColor(const QColor &v) { setTextColor(v, Interactive::State::hovered); }
    QColor clickedTextColor() const { return textColor(Interactive::State::clicked).value_or(QColor()); }
    void setClickedTextColor(const QColor &v) { setTextColor(v, Interactive::State::clicked); }
    QColor selectedTextColor() const { return textColor(Interactive::State::selected).value_or(QColor()); }
    void setSelectedTextColor(const QColor &v) { setTextColor(v, Interactive::State::selected); }
    QColor disabledTextColor() const { return textColor(Interactive::State::disabled).value_or(QColor()); }
    void setDisabledTextColor(const QColor &v) { setTextColor(v, Interactive::State::disabled); }
    QPixmap normalImage() const { return image(Interactive::State::normal); }
    void setNormalImage(const QPixmap &v) { setImage(v, Interactive::State::normal); }
    QPixmap hoveredImage() const { return image(Interactive::State::hovered); }
    void setHoveredImage(const QPixmap &v) { setImage(v, Interactive::State::hovered); }
    QPixmap clickedImage() const { return image(Interactive::State::clicked); }
    void setClickedImage(const QPixmap &v) { setImage(v, Interactive::State::clicked); }
    QPixmap selectedImage() const { return image(Interactive::State::selected); }
    void setSelectedImage(const QPixmap &v) { setImage(v, Interactive::State::selected); }
    QPixmap disabledImage() const { return image(Interactive::State::disabled); }
    void setDisabledImage(const QPixmap &v) { setImage(v, Interactive::State::disabled); }
    QColor normalBackgroundColor() const { return backgroundColor(Interactive::State::normal).value_or(QColor()); }
    void setNormalBackgroundColor(const QColor &v) { setBackgroundColor(v, Interactive::State::normal); }
    QColor hoveredBackgroundColor() const { return backgroundColor(Interactive::State::hovered).value_or(QColor()); }
    void setHoveredBackgroundColor(const QColor &v) { setBackgroundColor(v, Interactive::State::hovered); }
    QColor clickedBackgroundColor() const { return backgroundColor(Interactive::State::clicked).value_or(QColor()); }
    void setClickedBackgroundColor(const QColor &v) { setBackgroundColor(v, Interactive::State::clicked); }
    QColor selectedBackgroundColor() const { return backgroundColor(Interactive::State::selected).value_or(QColor()); }
    void setSelectedBackgroundColor(const QColor &v) { setBackgroundColor(v, Interactive::State::selected); }
    QColor disabledBackgroundColor() const { return backgroundColor(Interactive::State::disabled).value_or(QColor()); }
    void setDisabledBackgroundColor(const QColor &v) { setBackgroundColor(v, Interactive::State::disabled); }
    QColor normalBorderColor() const { return borderColor(Interactive::State::normal).value_or(QColor()); }
    void setNormalBorderColor(const QColor &v) { setBorderColor(v, Interactive::State::normal); }
    QColor hoveredBorderColor() const { return borderColor(Interactive::State::hovered).value_or(QColor()); }
    void setHoveredBorderColor(const QColor &v) { setBorderColor(v, Interactive::State::hovered); }
    QColor clickedBorderColor() const { return borderColor(Interactive::State::clicked).value_or(QColor()); }
    void setClickedBorderColor(const QColor &v) { setBorderColor(v, Interactive::State::clicked); }
    QColor selectedBorderColor() const { return borderColor(Interactive::State::selected).value_or(QColor()); }
    void setSelectedBorderColor(const QColor &v) { setBorderColor(v, Interactive::State::selected); }
    QColor disabledBorderColor() const { return borderColor(Interactive::State::disabled).value_or(QColor()); }
    void setDisabledBorderColor(const QColor &v) { setBorderColor(v, Interactive::State::disabled); }

Q_SIGNALS:
    void focusRingColorChanged();

protected:
    QWidget *trackedView() override { return this; }
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    /// The text a designable localized key stands for; no key looks up the empty key.
    static QString localizedKeyText(const QString &key);
    void cellChanged();

    std::unique_ptr<InteractiveButtonPrivate> const d;
};

} // namespace mira
