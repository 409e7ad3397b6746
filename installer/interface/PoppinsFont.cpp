#include "PoppinsFont.h"

#include <platform/Bundle.h>

#include <QFontDatabase>
#include <QGuiApplication>

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

bool registerPoppinsFonts()
{
    static bool registered = false;
    if (registered)
        return true;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    for (PoppinsWeight weight : {PoppinsWeight::bold, PoppinsWeight::regular, PoppinsWeight::medium,
                                 PoppinsWeight::semibold, PoppinsWeight::semiBoldItalic}) {
        const QString path = platform::Bundle::main().pathForResource(poppinsFontName(weight), QStringLiteral("ttf"),
                                                                      QStringLiteral("fonts"));
        if (!path.isEmpty())
            QFontDatabase::addApplicationFont(path);
    }
    registered = QFontDatabase::families().contains(family);
    return registered;
}

QFont poppinsFont(qreal size, PoppinsWeight weight)
{
    QFont font;
    if (registerPoppinsFonts())
        font = QFont(family);
    else
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setWeight(qtWeight(weight));
    font.setItalic(weight == PoppinsWeight::semiBoldItalic);
    return sized(font, size);
}
