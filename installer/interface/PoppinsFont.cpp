#include "PoppinsFont.h"

#include <platform/Bundle.h>

#include <QFontDatabase>
#include <QGuiApplication>

#include <array>
#include <optional>

namespace {
const QString family = QStringLiteral("Poppins");

QFont::Weight qtWeight(PoppinsWeight weight)
{
    switch (weight) {
    case PoppinsWeight::bold:
        return QFont::Bold;
    case PoppinsWeight::medium:
        return QFont::Medium;
    case PoppinsWeight::semibold:
    case PoppinsWeight::semiBoldItalic:
        return QFont::DemiBold;
    case PoppinsWeight::regular:
        break;
    }
    return QFont::Normal;
}

QFont sized(QFont font, qreal size)
{
    font.setPixelSize(qMax(1, qRound(size)));
    return font;
}
} // namespace

QString poppinsFontName(PoppinsWeight weight)
{
    switch (weight) {
    case PoppinsWeight::bold:
        return QStringLiteral("Poppins-Bold");
    case PoppinsWeight::medium:
        return QStringLiteral("Poppins-Medium");
    case PoppinsWeight::semibold:
        return QStringLiteral("Poppins-SemiBold");
    case PoppinsWeight::semiBoldItalic:
        return QStringLiteral("Poppins-SemiBoldItalic");
    case PoppinsWeight::regular:
        break;
    }
    return QStringLiteral("Poppins-Regular");
}

bool registerPoppinsFont(PoppinsWeight weight)
{
    static std::array<std::optional<bool>, 5> registered;
    std::optional<bool> &known = registered[std::size_t(weight)];
    if (known)
        return *known;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    const QString path = platform::Bundle::main().pathForResource(
        poppinsFontName(weight), QStringLiteral("ttf"), QStringLiteral("fonts"));
    const int id = path.isEmpty() ? -1 : QFontDatabase::addApplicationFont(path);
    // Asking the registered file, not the whole database, keeps the system's
    // fonts from being enumerated before the first frame.
    known = id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(family);
    return *known;
}

QFont poppinsFont(qreal size, PoppinsWeight weight)
{
    QFont font;
    if (registerPoppinsFont(weight))
        font = QFont(family);
    else
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setWeight(qtWeight(weight));
    font.setItalic(weight == PoppinsWeight::semiBoldItalic);
    return sized(font, size);
}
