#include "SoftWare.h"

#include <installer/BuildConfig.h>
#include <platform/Bundle.h>

#include <array>

int SoftWare::site()
{
    return buildconfig::siteIndex;
}

QString SoftWare::textEntry(const QVariantMap &info, const QString &key)
{
    const QVariant value = info.value(key);
    return value.metaType().id() == QMetaType::QString ? value.toString() : QString();
}

QString SoftWare::appName()
{
    static const QString name = textEntry(platform::Bundle::main().infoDictionary(), QStringLiteral("CFBundleName"));
    return name;
}

QString SoftWare::appVersion()
{
    static const QString version
        = textEntry(platform::Bundle::main().infoDictionary(), QStringLiteral("CFBundleShortVersionString"));
    return version;
}

QString SoftWare::siteSuffix(int site)
{
    static constexpr std::array<const char *, 12> suffixes = {
        "-com",
        "-jp",
        "-de",
        "-fr",
        "-es",
        "-ar",
        "-pt",
        "-it",
        "-tw",
        "-kr",
        "-nl",
        "-tr",
    };
    if (site < 0 || site >= int(suffixes.size()))
        site = 0;
    return QString::fromLatin1(suffixes[size_t(site)]);
}

QString SoftWare::trackValue(int site)
{
    return QStringLiteral("Official") + siteSuffix(site);
}

QString SoftWare::versionTrack()
{
    static const QString value = trackValue(site());
    return value;
}

QString SoftWare::linkTrack()
{
    static const QString value = trackValue(site());
    return value;
}
