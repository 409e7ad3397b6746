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
 * mouseUpOutside when the press ended outside). Space presses it from the
 * keyboard with the same actions in the same order (mouseDown on key down,
 * mouseUpInside after clicked() on key up, mouseUpOutside when the focus
 * leaves first); performClick() runs the whole sequence at once.
 *
 * Disabled is QWidget's own state (the button's or an ancestor's), for Qt,
 * the disabled look and assistive technology alike. A disabled button still
 * sees the pointer come and go and shows disabled or disabled + hovered;
 * Qt keeps presses and keys from it.
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
    /// Default false.
    Q_PROPERTY(bool selected READ isSelected WRITE setSelected NOTIFY selectedChanged)
    /// The title shown now (text is the same property under QAbstractButton's name). Default empty.
    Q_PROPERTY(QString text READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    /// The image shown now. Default none.
    Q_PROPERTY(QPixmap image READ currentImage WRITE setImage NOTIFY imageChanged)
    /// Default Qt::AlignHCenter.
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment NOTIFY alignmentChanged)
    /// Default 0.
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    Q_PROPERTY(QColor focusRingColor READ focusRingColor WRITE setFocusRingColor RESET resetFocusRingColor NOTIFY
            focusRingColorChanged)

public:
    MIRA_STATE_PROPERTIES(QString, LocalizedKey, text, setLocalizedKey)
    MIRA_STATE_PROPERTIES(QColor, TextColor, textColor, setTextColor)
    MIRA_STATE_PROPERTIES(QPixmap, Image, image, setImage)
    MIRA_STATE_PROPERTIES(QColor, BackgroundColor, backgroundColor, setBackgroundColor)
    MIRA_STATE_PROPERTIES(QColor, BorderColor, borderColor, setBorderColor)

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

    /// QWidget::isEnabled() / QWidget::setEnabled().
    using InteractiveViewProtocol::isEnabled;
    using InteractiveViewProtocol::setEnabled;

    /// The current title: the text of the attributed title shown now.
    QString title() const;
    /// Sets the button's own title, shown in every state that registers no text.
    void setTitle(const QString &title);
    void setText(const QString &title) { setTitle(title); }
    AttributedText attributedTitle() const;
    void setAttributedTitle(const AttributedText &title);
    /// The image shown now.
    QPixmap currentImage() const;
    /// Sets the button's own image, shown in every state that registers no image.
    void setImage(const QPixmap &image);
    ButtonCell::ImagePosition imagePosition() const;
    void setImagePosition(ButtonCell::ImagePosition position);
    /// Alignment of the content (and of generated titles). Default Qt::AlignHCenter.
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    /// The colour of the keyboard focus ring. Default: the palette's highlight colour.
    QColor focusRingColor() const;
    void setFocusRingColor(const QColor &color);
    /// Goes back to the palette's highlight colour.
    void resetFocusRingColor();
    /// Whether the keyboard focus ring shows now.
    bool isFocusRingVisible() const;

    /**
     * Presses the button as a completed click does, for callers that act
     * for the user (Return on a page, assistive technology): the mouseDown
     * action, clicked(), then the mouseUpInside action. Nothing happens
     * while the button is disabled.
     */
    void performClick();

    /// The cell that measures, places and draws image and title.
    ButtonCell *cell() const;
    /// Installs @p cell after copying every setting of the current cell into it.
    void replaceButtonCell(std::unique_ptr<ButtonCell> cell);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    void interactiveStateDidChanged(Interactive::State last) override;

    /// Stores the text of the localized @p key (an empty key looks up the empty key) for @p state.
    void setLocalizedKey(const QString &key, Interactive::State state);

Q_SIGNALS:
    /// A per-state value changed (one of the tables, or a gradient's direction).
    void appearanceChanged();
    void selectedChanged(bool selected);
    void titleChanged(const QString &title);
    void imageChanged();
    void alignmentChanged(Qt::Alignment alignment);
    void cornerRadiusChanged(qreal radius);
    void focusRingColorChanged();

protected:
    QWidget *trackedView() override { return this; }
    void notifyAppearanceChanged() override { Q_EMIT appearanceChanged(); }
    void notifySelectedChanged(bool selected) override { Q_EMIT selectedChanged(selected); }
    void notifyCornerRadiusChanged(qreal radius) override { Q_EMIT cornerRadiusChanged(radius); }
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    QPixmap baseImage() const override;

private:
    /// End of a Space press: clears the press flag, fires mouseUpInside when
    /// the press @p completed (else mouseUpOutside) and recomputes.
    void endKeyboardPress(bool completed);
    void cellChanged();

    std::unique_ptr<InteractiveButtonPrivate> const d;
};

} // namespace mira
