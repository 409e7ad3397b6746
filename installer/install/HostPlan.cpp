#include "HostPlan.h"

#include <installer/BuildConfig.h>
#include <platform/Bundle.h>

#include <array>

namespace {

/// Attempt order per language, as indices into the bases in role order (main, japan, german, resource).
std::array<int, 4> hostOrder(const QString &language)
{
    if (language.startsWith(QLatin1String("en")))
        return { 0, 3, 1, 2 };
    if (language.startsWith(QLatin1String("ja")))
        return { 1, 3, 0, 2 };
    if (language.startsWith(QLatin1String("de")))
        return { 2, 3, 0, 1 };
    return { 3, 0, 1, 2 };
}

QStringList parseBases(const QString &text)
{
    QStringList bases;
    for (QString base : text.split(QLatin1Char(','))) {
        base = base.trimmed();
        while (base.endsWith(QLatin1Char('/')))
            base.chop(1);
        bases << base;
    }
    return bases;
}

} // namespace

namespace HostPlan {

QString preferredLanguage()
{
    const QStringList localizations = platform::Bundle::main().preferredLocalizations();
    return localizations.isEmpty() ? QStringLiteral("en") : localizations.first().toLower();
}

QStringList downloadBases()
{
    const QStringList configured = parseBases(qEnvironmentVariable("PRISMORA_DOWNLOAD_HOSTS"));
    if (configured.size() == 4 && !configured.contains(QString()))
        return configured;
    return parseBases(QString::fromUtf8(buildconfig::downloadHosts));
}

QString downloadURLString(const QString &language, std::int64_t index, const QStringList &bases)
{
    if (index < 0 || index >= attemptCount || bases.size() < 4)
        return QString();
    const QString lower = language.isEmpty() ? QStringLiteral("en") : language.toLower();
    return QStringLiteral("https://") + bases.at(hostOrder(lower)[std::size_t(index)]) + QLatin1Char('/')
        + QLatin1String(archiveFileName);
}

} // namespace HostPlan
