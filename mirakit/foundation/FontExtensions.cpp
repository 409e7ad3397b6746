#include "FontExtensions.h"

#include <array>
#include <cmath>

namespace mira {

namespace {

struct Cut {
    HelveticaNeueWeight weight;
    const char *name;
    QFont::Weight fontWeight;
    bool italic;
};

constexpr std::array<Cut, 10> cuts { {
    { HelveticaNeueWeight::regular, "HelveticaNeue", QFont::Normal, false },
    { HelveticaNeueWeight::italic, "HelveticaNeue-Italic", QFont::Normal, true },
    { HelveticaNeueWeight::light, "HelveticaNeue-Light", QFont::Light, false },
    { HelveticaNeueWeight::lightItalic, "HelveticaNeue-LightItalic", QFont::Light, true },
    { HelveticaNeueWeight::thin, "HelveticaNeue-Thin", QFont::Thin, false },
    { HelveticaNeueWeight::thinItalic, "HelveticaNeue-ThinItalic", QFont::Thin, true },
    { HelveticaNeueWeight::bold, "HelveticaNeue-Bold", QFont::Bold, false },
    { HelveticaNeueWeight::boldItalic, "HelveticaNeue-BoldItalic", QFont::Bold, true },
    { HelveticaNeueWeight::medium, "HelveticaNeue-Medium", QFont::Medium, false },
    { HelveticaNeueWeight::mediumItalic, "HelveticaNeue-MediumItalic", QFont::Medium, true },
} };

const Cut &cutOf(HelveticaNeueWeight weight)
{
    for (const Cut &cut : cuts) {
        if (cut.weight == weight)
            return cut;
    }
    return cuts.front();
}

} // namespace

QString fontName(HelveticaNeueWeight weight)
{
    return QString::fromLatin1(cutOf(weight).name);
}

std::optional<HelveticaNeueWeight> helveticaNeueWeight(const QString &name)
{
    for (const Cut &cut : cuts) {
        if (name == QLatin1String(cut.name))
            return cut.weight;
    }
    return std::nullopt;
}

QStringList fallbackFamilies()
{
    return { QStringLiteral("Helvetica"), QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"),
        QStringLiteral("Arial"), QStringLiteral("DejaVu Sans") };
}

QFont helveticaNeue(qreal size, HelveticaNeueWeight weight)
{
    const Cut &cut = cutOf(weight);
    QFont font;
    font.setFamilies(QStringList { QStringLiteral("Helvetica Neue") } + fallbackFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(cut.fontWeight);
    font.setItalic(cut.italic);
    if (std::isfinite(size) && size > 0)
        font.setPointSizeF(size);
    return font;
}

} // namespace mira
