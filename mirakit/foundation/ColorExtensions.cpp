#include "ColorExtensions.h"

#include <QtMath>

#include <algorithm>
#include <optional>

namespace mira {

namespace {

qreal clampedUnit(qreal value, qreal nanValue)
{
    if (qIsNaN(value))
        return nanValue;
    return std::clamp(value, qreal(0), qreal(1));
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// Lower-cases and trims the text, then removes the prefixes: every "0x" when
// it starts with "0x", otherwise every "#".
QString strippedHex(const QString &text)
{
    QString hex = text.trimmed().toLower();
    if (hex.startsWith(QLatin1String("0x")))
        hex.remove(QLatin1String("0x"));
    else
        hex.remove(QLatin1Char('#'));
    return hex;
}

QString doubledDigits(const QString &hex)
{
    QString doubled;
    doubled.reserve(hex.size() * 2);
    for (const QChar c : hex) {
        doubled.append(c);
        doubled.append(c);
    }
    return doubled;
}

// Reads the whole text as a hexadecimal number no wider than @p bits.
// Anything else (empty, a non-hex character, too many significant digits)
// has no value.
std::optional<quint64> parseHex(const QString &hex, int bits)
{
    if (hex.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    int significant = 0;
    for (const QChar c : hex) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        if (significant > 0 || digit != 0)
            ++significant;
        if (significant * 4 > bits)
            return std::nullopt;
        value = (value << 4) | quint64(digit);
    }
    return value;
}

QColor fromBytes(quint64 red, quint64 green, quint64 blue, quint64 alpha)
{
    return QColor(int(red & 0xFF), int(green & 0xFF), int(blue & 0xFF), int(alpha & 0xFF));
}

QColor transparentWhite()
{
    return QColor(255, 255, 255, 0);
}

} // namespace

QColor rgb(quint32 hex, qreal alpha)
{
    QColor color(int((hex >> 16) & 0xFF), int((hex >> 8) & 0xFF), int(hex & 0xFF));
    color.setAlphaF(float(clampedUnit(alpha, 1)));
    return color;
}

QColor rgb(const QString &hex, qreal alpha)
{
    QString digits = strippedHex(hex);
    if (digits.size() == 3)
        digits = doubledDigits(digits);
    const std::optional<quint64> value = parseHex(digits, 32);
    if (!value)
        return QColor(255, 255, 255);
    return rgb(quint32(*value), alpha);
}

QColor rgba(quint64 hex)
{
    return fromBytes(hex >> 24, hex >> 16, hex >> 8, hex);
}

QColor rgba(const QString &hex)
{
    QString digits = strippedHex(hex);
    if (digits.size() < 5)
        digits = doubledDigits(digits);
    const std::optional<quint64> value = parseHex(digits, 64);
    return value ? rgba(*value) : transparentWhite();
}

QColor argb(quint32 hex)
{
    return fromBytes(hex >> 16, hex >> 8, hex, hex >> 24);
}

QColor argb(const QString &hex)
{
    const std::optional<quint64> value = parseHex(strippedHex(hex), 32);
    return value ? argb(quint32(*value)) : transparentWhite();
}

qreal redValue(const QColor &color)
{
    return color.isValid() ? color.toRgb().redF() : 0;
}

qreal greenValue(const QColor &color)
{
    return color.isValid() ? color.toRgb().greenF() : 0;
}

qreal blueValue(const QColor &color)
{
    return color.isValid() ? color.toRgb().blueF() : 0;
}

qreal alphaValue(const QColor &color)
{
    return color.isValid() ? color.alphaF() : 0;
}

QColor fromColor(const QColor &from, const QColor &to, qreal progress)
{
    const qreal t = clampedUnit(progress, 0);
    const auto mix = [t](qreal a, qreal b) { return float(std::clamp(a + (b - a) * t, qreal(0), qreal(1))); };
    return QColor::fromRgbF(mix(redValue(from), redValue(to)), mix(greenValue(from), greenValue(to)),
        mix(blueValue(from), blueValue(to)), mix(alphaValue(from), alphaValue(to)));
}

} // namespace mira
