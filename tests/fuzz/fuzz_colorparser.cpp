// MiraKit's hexadecimal colour parsers: any text gives a colour, valid or not,
// and a valid colour's channels stay within 0...1.
#include "FuzzInput.h"

#include <mirakit/foundation/ColorExtensions.h>

#include <cstdlib>

namespace {

void check(const QColor &color)
{
    if (!color.isValid())
        return;
    for (const qreal channel :
        { mira::redValue(color), mira::greenValue(color), mira::blueValue(color), mira::alphaValue(color) }) {
        if (!(channel >= 0 && channel <= 1))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = FuzzInput::text(data, size);
    const qreal alpha = size ? data[0] / 200.0 - 0.1 : 1.0;
    check(mira::rgb(text, alpha));
    check(mira::rgba(text));
    check(mira::argb(text));
    return 0;
}
