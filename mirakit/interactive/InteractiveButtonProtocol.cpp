#include "InteractiveButtonProtocol.h"

#include <QGuiApplication>

namespace mira {

struct InteractiveButtonProtocol::Data {
    StateTable<HiddenImageAndText> hidden;
    StateTable<QString> texts;
    StateTable<QColor> textColors;
    StateTable<AttributedText> attributedTexts;
    StateTable<std::optional<QPixmap>> images;
    StateTable<QFont> fonts;
};

InteractiveButtonProtocol::InteractiveButtonProtocol()
    : d_button(std::make_unique<Data>())
{
}

InteractiveButtonProtocol::~InteractiveButtonProtocol() = default;

StateTable<HiddenImageAndText> InteractiveButtonProtocol::interactiveHiddenImageAndText() const
{
    return d_button->hidden;
}

void InteractiveButtonProtocol::setInteractiveHiddenImageAndText(const StateTable<HiddenImageAndText> &table)
{
    d_button->hidden = table;
}

StateTable<QString> InteractiveButtonProtocol::interactiveTexts() const
{
    return d_button->texts;
}

void InteractiveButtonProtocol::setInteractiveTexts(const StateTable<QString> &table)
{
    d_button->texts = table;
}

StateTable<QColor> InteractiveButtonProtocol::interactiveTextColors() const
{
    return d_button->textColors;
}

void InteractiveButtonProtocol::setInteractiveTextColors(const StateTable<QColor> &table)
{
    d_button->textColors = table;
}

StateTable<AttributedText> InteractiveButtonProtocol::interactiveAttributedTexts() const
{
    return d_button->attributedTexts;
}

void InteractiveButtonProtocol::setInteractiveAttributedTexts(const StateTable<AttributedText> &table)
{
    d_button->attributedTexts = table;
}

StateTable<std::optional<QPixmap>> InteractiveButtonProtocol::interactiveImages() const
{
    return d_button->images;
}

void InteractiveButtonProtocol::setInteractiveImages(const StateTable<std::optional<QPixmap>> &table)
{
    d_button->images = table;
}

StateTable<QFont> InteractiveButtonProtocol::interactiveFonts() const
{
    return d_button->fonts;
}

void InteractiveButtonProtocol::setInteractiveFonts(const StateTable<QFont> &table)
{
    d_button->fonts = table;
}

HiddenImageAndText InteractiveButtonProtocol::isHiddenImageAndText(Interactive::State state) const
{
    return adapterValue(interactiveHiddenImageAndText(), statePriority(state)).value_or(HiddenImageAndText {});
}

void InteractiveButtonProtocol::setHiddenImageAndText(HiddenImageAndText hidden, Interactive::State state)
{
    auto table = interactiveHiddenImageAndText();
    if (storeStateValue(table, state, hidden)) {
        setInteractiveHiddenImageAndText(table);
        notifyAppearanceChanged();
    }
    fixState();
}

std::optional<QString> InteractiveButtonProtocol::text(Interactive::State state) const
{
    return adapterValue(interactiveTexts(), statePriority(state));
}

void InteractiveButtonProtocol::setText(const QString &text, Interactive::State state)
{
    if (text.isNull())
        return;
    auto table = interactiveTexts();
    if (storeStateValue(table, state, text)) {
        setInteractiveTexts(table);
        notifyAppearanceChanged();
    }
    fixState();
}

std::optional<QColor> InteractiveButtonProtocol::textColor(Interactive::State state) const
{
    return adapterValue(interactiveTextColors(), statePriority(state));
}

void InteractiveButtonProtocol::setTextColor(const QColor &color, Interactive::State state)
{
    if (!color.isValid())
        return;
    auto table = interactiveTextColors();
    if (storeStateValue(table, state, color)) {
        setInteractiveTextColors(table);
        notifyAppearanceChanged();
    }
    fixState();
}

std::optional<AttributedText> InteractiveButtonProtocol::attributedText(Interactive::State state) const
{
    return adapterValue(interactiveAttributedTexts(), statePriority(state));
}

void InteractiveButtonProtocol::setAttributedText(const AttributedText &text, Interactive::State state)
{
    auto table = interactiveAttributedTexts();
    if (storeStateValue(table, state, text)) {
        setInteractiveAttributedTexts(table);
        notifyAppearanceChanged();
    }
    fixState();
}

QPixmap InteractiveButtonProtocol::image(Interactive::State state) const
{
    const std::optional<std::optional<QPixmap>> resolved = adapterValue(interactiveImages(), statePriority(state));
    if (!resolved)
        return baseImage();
    return resolved->value_or(QPixmap());
}

void InteractiveButtonProtocol::setImage(const QPixmap &image, Interactive::State state)
{
    auto table = interactiveImages();
    if (storeStateValue(table, state, image.isNull() ? std::nullopt : std::optional<QPixmap>(image))) {
        setInteractiveImages(table);
        notifyAppearanceChanged();
    }
    fixState();
}

QFont InteractiveButtonProtocol::font(Interactive::State state) const
{
    return adapterValue(interactiveFonts(), statePriority(state)).value_or(defaultFont());
}

void InteractiveButtonProtocol::setFont(const QFont &font, Interactive::State state)
{
    auto table = interactiveFonts();
    if (storeStateValue(table, state, font)) {
        setInteractiveFonts(table);
        notifyAppearanceChanged();
    }
    fixState();
}

QFont InteractiveButtonProtocol::defaultFont()
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(14);
    return font;
}

} // namespace mira
