#include "InteractiveButton.h"
#include "InteractiveButtonAccessible_p.h"

#include "MouseTrackingPointer.h"
#include "MouseTrackingView.h"

#include <mirakit/MiraKit.h>

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <optional>

namespace mira {

namespace {
constexpr qreal focusRingWidth = 2;
}

class InteractiveButtonPrivate {
public:
    std::unique_ptr<ButtonCell> cell = std::make_unique<ButtonCell>();
    bool tracking = false; // a press reached the button's own press handling
    std::optional<QColor> focusRingColor;
    bool keyboardFocus = false; // the focus came from the keyboard
    qint64 imageKey = 0; // the image last reported through imageChanged()
    // The title and image the owner set; a state's hidden text or "no image" changes only what is shown.
    QString baseTitle;
    QPixmap baseImage;
    bool keyPress = false; // Space went down on the button and has not come up yet
};

InteractiveButton::InteractiveButton(QWidget *parent)
    : QAbstractButton(parent)
    , d(std::make_unique<InteractiveButtonPrivate>())
{
    static const bool accessible = (QAccessible::installFactory(InteractiveButtonAccessible::create), true);
    Q_UNUSED(accessible);
    MouseTrackingView::of(this);
}

InteractiveButton::InteractiveButton(const QString &title, QWidget *parent)
    : InteractiveButton(parent)
{
    setTitle(title);
}

InteractiveButton::~InteractiveButton() = default;

QString InteractiveButton::title() const
{
    return d->cell->title();
}

void InteractiveButton::setTitle(const QString &title)
{
    d->baseTitle = title;
    d->cell->setTitle(title);
    cellChanged();
}

AttributedText InteractiveButton::attributedTitle() const
{
    return d->cell->attributedTitle();
}

void InteractiveButton::setAttributedTitle(const AttributedText &title)
{
    d->baseTitle = title.text;
    d->cell->setAttributedTitle(title);
    cellChanged();
}

QPixmap InteractiveButton::currentImage() const
{
    return d->cell->image();
}

QPixmap InteractiveButton::baseImage() const
{
    return d->baseImage;
}

void InteractiveButton::setImage(const QPixmap &image)
{
    d->baseImage = image;
    d->cell->setImage(image);
    cellChanged();
}

ButtonCell::ImagePosition InteractiveButton::imagePosition() const
{
    return d->cell->imagePosition();
}

void InteractiveButton::setImagePosition(ButtonCell::ImagePosition position)
{
    d->cell->setImagePosition(position);
    cellChanged();
}

Qt::Alignment InteractiveButton::alignment() const
{
    return d->cell->alignment();
}

void InteractiveButton::setAlignment(Qt::Alignment alignment)
{
    if (d->cell->alignment() == alignment)
        return;
    d->cell->setAlignment(alignment);
    cellChanged();
    Q_EMIT alignmentChanged(alignment);
}

QColor InteractiveButton::focusRingColor() const
{
    return d->focusRingColor.value_or(palette().color(QPalette::Highlight));
}

void InteractiveButton::setFocusRingColor(const QColor &color)
{
    if (d->focusRingColor == color)
        return;
    d->focusRingColor = color;
    update();
    Q_EMIT focusRingColorChanged();
}

void InteractiveButton::resetFocusRingColor()
{
    if (!d->focusRingColor)
        return;
    d->focusRingColor.reset();
    update();
    Q_EMIT focusRingColorChanged();
}

bool InteractiveButton::isFocusRingVisible() const
{
    return d->keyboardFocus && hasFocus();
}

ButtonCell *InteractiveButton::cell() const
{
    return d->cell.get();
}

void InteractiveButton::replaceButtonCell(std::unique_ptr<ButtonCell> cell)
{
    if (!cell)
        return;
    cell->setSettings(d->cell->settings());
    d->cell = std::move(cell);
    cellChanged();
}

void InteractiveButton::cellChanged()
{
    d->cell->setLayoutDirection(layoutDirection());
    updateGeometry();
    update();
    // Keep the widget's own text in step for accessibility and mnemonics.
    const QString title = d->cell->title();
    const bool titleDiffers = QAbstractButton::text() != title;
    if (titleDiffers)
        QAbstractButton::setText(title);
    const qint64 imageKey = d->cell->image().cacheKey();
    const bool imageDiffers = imageKey != d->imageKey;
    d->imageKey = imageKey;
    if (titleDiffers)
        Q_EMIT titleChanged(title);
    if (imageDiffers)
        Q_EMIT imageChanged();
}

QSize InteractiveButton::sizeHint() const
{
    const QSizeF size = d->cell->cellSize();
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

QSize InteractiveButton::minimumSizeHint() const
{
    return QSize(0, 0);
}

void InteractiveButton::setLocalizedKey(const QString &key, Interactive::State state)
{
    setText(localizedString(key.isNull() ? QStringLiteral("") : key), state);
}

void InteractiveButton::interactiveStateDidChanged(Interactive::State)
{
    const QList<Interactive::State> &priority = statePriority(interactiveState());
    if (adapterValue(interactiveCursors(), priority) && MouseTrackingPointer::isInWindow(this))
        invalidateCursorRects();

    const std::optional<QColor> background = adapterValue(interactiveBackgroundColors(), priority);
    const std::optional<QColor> border = adapterValue(interactiveBorderColors(), priority);
    const std::optional<qreal> width = adapterValue(interactiveBorderWidths(), priority);
    const HiddenImageAndText hidden
        = adapterValue(interactiveHiddenImageAndText(), priority).value_or(HiddenImageAndText {});
    QString titleText = adapterValue(interactiveTexts(), priority).value_or(d->baseTitle);
    const std::optional<std::optional<QPixmap>> resolvedImage = adapterValue(interactiveImages(), priority);
    QPixmap stateImage = resolvedImage ? resolvedImage->value_or(QPixmap()) : d->baseImage;
    const std::optional<AttributedText> attributed = adapterValue(interactiveAttributedTexts(), priority);
    const QColor color = adapterValue(interactiveTextColors(), priority).value_or(QColor(Qt::black));
    const QFont titleFont
        = adapterValue(interactiveFonts(), priority).value_or(d->cell->font().value_or(defaultFont()));
    const std::optional<Block> stateBlock = adapterValue(interactiveBlocks(), priority);
    if (hidden.imageHidden)
        stateImage = QPixmap();
    if (hidden.textHidden)
        titleText = QStringLiteral("");

    Layer next = layer();
    if (backgroundColorEnable())
        next.backgroundColor = background.value_or(QColor());
    next.borderColor = border.value_or(next.borderColor);
    next.borderWidth = width.value_or(next.borderWidth);
    setLayer(next);

    if (attributed) {
        d->cell->setAttributedTitle(*attributed);
    } else {
        QTextCharFormat format;
        format.setFont(titleFont);
        format.setForeground(color);
        format.setProperty(AttributedText::alignmentProperty, int(alignment()));
        d->cell->setAttributedTitle(AttributedText { titleText, { { 0, int(titleText.size()), format } } });
    }
    d->cell->setImage(stateImage);
    cellChanged();

    if (stateBlock && *stateBlock)
        (*stateBlock)();
}

bool InteractiveButton::event(QEvent *event)
{
    // A press action may delete the control (a button that closes its page).
    const QPointer<InteractiveButton> guard(this);
    const bool handled = QAbstractButton::event(event);
    return (guard && handleTrackingEvent(event)) || handled;
}

void InteractiveButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        d->cell->setEnabled(QWidget::isEnabled());
        enabledChangeEvent();
    } else if (event->type() == QEvent::LayoutDirectionChange) {
        cellChanged();
    }
    QAbstractButton::changeEvent(event);
}

void InteractiveButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    setEntered(true);
    fixState();
}

void InteractiveButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    setEntered(false);
    fixState();
}

void InteractiveButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    if (!interactiveMouseDownPrefix(event) || !isEnabled())
        return;
    d->tracking = true;
    QAbstractButton::mousePressEvent(event);
}

void InteractiveButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !d->tracking) {
        event->ignore();
        return;
    }
    d->tracking = false;
    // The button's own handling emits clicked() for a release inside, before
    // the release actions; a slot may delete the button.
    QPointer<InteractiveButton> guard(this);
    QAbstractButton::mouseReleaseEvent(event);
    if (guard)
        interactiveMouseDownSuffix(event);
}

void InteractiveButton::performClick()
{
    if (!interactiveMouseDownPrefix(nullptr) || !isEnabled())
        return;
    const QPointer<InteractiveButton> guard(this);
    click();
    if (guard)
        endKeyboardPress(true);
}

void InteractiveButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space || event->isAutoRepeat() || d->keyPress) {
        QAbstractButton::keyPressEvent(event);
        return;
    }
    event->accept();
    // The mouseDown action may have deleted or disabled the button.
    if (!interactiveMouseDownPrefix(nullptr) || !isEnabled())
        return;
    d->keyPress = true;
    QAbstractButton::keyPressEvent(event);
}

void InteractiveButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space || event->isAutoRepeat() || !d->keyPress) {
        QAbstractButton::keyReleaseEvent(event);
        return;
    }
    d->keyPress = false;
    const bool completes = isDown();
    // The button's own handling emits clicked(), before the release action; a slot may delete the button.
    QPointer<InteractiveButton> guard(this);
    QAbstractButton::keyReleaseEvent(event);
    if (guard)
        endKeyboardPress(completes);
}

void InteractiveButton::endKeyboardPress(bool completed)
{
    setClicked(false);
    QPointer<InteractiveButton> guard(this);
    sendEventAction(
        completed ? Interactive::Event::mouseUpInside : Interactive::Event::mouseUpOutside, interactiveSender());
    if (guard)
        fixState();
}

void InteractiveButton::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    d->keyboardFocus
        = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    update();
}

void InteractiveButton::focusOutEvent(QFocusEvent *event)
{
    QAbstractButton::focusOutEvent(event);
    // Losing the focus cancels a Space press: the button came up without a click.
    if (d->keyPress && !isDown()) {
        d->keyPress = false;
        QPointer<InteractiveButton> guard(this);
        endKeyboardPress(false);
        if (!guard)
            return;
    }
    // A window losing activation keeps its focus widget; the ring comes back with it.
    if (event->reason() != Qt::ActiveWindowFocusReason)
        d->keyboardFocus = false;
    update();
}

void InteractiveButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    layer().paint(&painter, rect());
    d->cell->draw(&painter, rect());
    if (!isFocusRingVisible())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(focusRingColor(), focusRingWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = focusRingWidth / 2;
    const qreal radius = std::max<qreal>(0, cornerRadius() - inset);
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
}

} // namespace mira
