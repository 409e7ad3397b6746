#include "GA.h"

#include "Analytics.h"

#include "SoftWare.h"
#include <platform/Bundle.h>
#include <platform/MachineIdentifier.h>

#include <QJsonDocument>
#include <QRegularExpression>
#include <QSysInfo>

#include <cstdio>

namespace {
// Spelled as the collector's reports expect.
const QString unknown = QStringLiteral("unknow");
} // namespace

void GA::event(const QString &name, const QString &action, const QString &label)
{
    const QJsonObject params = parameters(action, label);
    Analytics::logEvent(name, params, false);
    const QByteArray line = QByteArrayLiteral("GA ") + name.toUtf8() + QByteArrayLiteral(" : param:")
        + QJsonDocument(params).toJson(QJsonDocument::Indented);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    if (!line.endsWith('\n'))
        std::fputc('\n', stdout);
    std::fflush(stdout);
}

QJsonObject GA::parameters(const QString &action, const QString &label)
{
    const QStringList localizations = platform::Bundle::main().preferredLocalizations();
    const QString language = localizations.isEmpty() ? QStringLiteral("en") : localizations.first().toLower();
    return QJsonObject {
        { QStringLiteral("ea"), action.isNull() ? QStringLiteral("") : action },
        { QStringLiteral("el"), label.isNull() ? QStringLiteral("") : label },
        { QStringLiteral("ps"), QStringLiteral("pr-mac-install") },
        { QStringLiteral("tv"), QStringLiteral("1.0.0.6") },
        { QStringLiteral("pv"), SoftWare::versionTrack() },
        { QStringLiteral("sn"), platform::MachineIdentifier::stable().value_or(unknown) },
        { QStringLiteral("os"), operatingSystem(QSysInfo::kernelType(), QSysInfo::kernelVersion()) },
        { QStringLiteral("cn"), countryName(QLocale()) },
        { QStringLiteral("lang"), language },
    };
}

QString GA::operatingSystem(const QString &kernelType, const QString &kernelVersion)
{
    QString name = kernelType;
    if (!name.isEmpty())
        name[0] = name.at(0).toUpper();
    static const QRegularExpression leadingNumbers(QStringLiteral("^\\d+(\\.\\d+)*"));
    const QString numbers = leadingNumbers.match(kernelVersion).captured(0);
    if (numbers.isEmpty())
        return name;
    QStringList parts = numbers.split(QLatin1Char('.')).mid(0, 3);
    while (parts.size() < 3)
        parts << QStringLiteral("0");
    for (QString &part : parts)
        part = QString::number(part.toULongLong());
    return name + parts.join(QLatin1Char('.'));
}

QString GA::countryName(const QLocale &locale)
{
    const QLocale::Territory territory = locale.territory();
    if (territory == QLocale::AnyTerritory)
        return unknown;
    const QString name = QLocale::territoryToString(territory);
    return name.isEmpty() ? unknown : name;
}

void GA::installStep(const QString &action, const QString &label)
{
    event(installEventName(), action, label);
}

QString GA::installEventName()
{
    return QStringLiteral("Install_SW");
}
