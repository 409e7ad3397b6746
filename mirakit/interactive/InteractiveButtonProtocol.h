#pragma once

#include <mirakit/interactive/InteractiveLabelLayout.h>
#include <mirakit/interactive/InteractiveViewProtocol.h>
#include <mirakit/mirakit_export.h>

#include <QFont>
#include <QPixmap>

namespace mira {

/// Whether to hide the image and/or the title in a state.
struct HiddenImageAndText {
    bool imageHidden = false;
    bool textHidden = false;
    friend bool operator==(const HiddenImageAndText &, const HiddenImageAndText &) = default;
};

/**
 * The per-state title, title colour, attributed title, font, image and
 * hidden flags of a stateful button, on top of InteractiveViewProtocol.
 *
 * Getters resolve through the fallback order of the given state; setters
 * store under exactly that state and recompute, so the change shows at once.
 *
 * | Getter | When nothing resolves | Setter given an empty value |
 * |---|---|---|
 * | isHiddenImageAndText() | (false, false) | (always stored) |
 * | text() | std::nullopt | a null QString does nothing |
 * | textColor() | std::nullopt | an invalid colour does nothing |
 * | attributedText() | std::nullopt | (always stored) |
 * | image() | the button's own image | a null pixmap stores an explicit "no image" |
 * | font() | the system font of 14 pixels | (always stored) |
 *
 * An explicit "no image" ends the lookup: a state that resolves to it shows
 * no image even when a value is registered for normal.
 */
class MIRAKIT_EXPORT InteractiveButtonProtocol : public virtual InteractiveViewProtocol {
public:
    InteractiveButtonProtocol();
    ~InteractiveButtonProtocol() override;

    virtual StateTable<HiddenImageAndText> interactiveHiddenImageAndText() const;
    virtual void setInteractiveHiddenImageAndText(const StateTable<HiddenImageAndText> &table);
    virtual StateTable<QString> interactiveTexts() const;
    virtual void setInteractiveTexts(const StateTable<QString> &table);
    virtual StateTable<QColor> interactiveTextColors() const;
    virtual void setInteractiveTextColors(const StateTable<QColor> &table);
    virtual StateTable<AttributedText> interactiveAttributedTexts() const;
    virtual void setInteractiveAttributedTexts(const StateTable<AttributedText> &table);
    /// std::nullopt entries are explicit "no image".
    virtual StateTable<std::optional<QPixmap>> interactiveImages() const;
    virtual void setInteractiveImages(const StateTable<std::optional<QPixmap>> &table);
    virtual StateTable<QFont> interactiveFonts() const;
    virtual void setInteractiveFonts(const StateTable<QFont> &table);

    HiddenImageAndText isHiddenImageAndText(Interactive::State state) const;
    void setHiddenImageAndText(HiddenImageAndText hidden, Interactive::State state);
    std::optional<QString> text(Interactive::State state) const;
    void setText(const QString &text, Interactive::State state);
    std::optional<QColor> textColor(Interactive::State state) const;
    void setTextColor(const QColor &color, Interactive::State state);
    std::optional<AttributedText> attributedText(Interactive::State state) const;
    void setAttributedText(const AttributedText &text, Interactive::State state);
    /// The image that applies in @p state; a null pixmap when that is "no image".
    QPixmap image(Interactive::State state) const;
    void setImage(const QPixmap &image, Interactive::State state);
    QFont font(Interactive::State state) const;
    void setFont(const QFont &font, Interactive::State state);

    /// The font used when none is registered and the button has none: the
    /// application font at 14 pixels.
    static QFont defaultFont();

protected:
    /// The button's own image, the fallback of image() (not what a state shows).
    virtual QPixmap baseImage() const = 0;

private:
    struct Data;
    std::unique_ptr<Data> d_button;
};

} // namespace mira
