#include "BundleExtensions.h"

#include <platform/Folders.h>

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace mira {

namespace {

std::optional<QString> textValue(const platform::Bundle &bundle, const QString &key)
{
    const QVariant value = bundle.infoValue(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    QString text = value.toString();
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

// A name from the information dictionary becomes a folder name; it must not
// be able to point anywhere else.
bool isPlainComponent(const std::optional<QString> &name)
{
    return name && !name->isEmpty() && *name != QLatin1String(".") && *name != QLatin1String("..")
        && !name->contains(QLatin1Char('/')) && !name->contains(QChar(0));
}

std::optional<QString> createdFolder(const QString &path, const char *messagePrefix)
{
    if (QDir().mkpath(path) && QFileInfo(path).isDir())
        return path;
    const QByteArray line = messagePrefix + path.toUtf8() + " failed\n";
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
    return std::nullopt;
}

} // namespace

std::optional<QString> bundleIdentifier(const platform::Bundle &bundle)
{
    return textValue(bundle, QStringLiteral("CFBundleIdentifier"));
}

std::optional<QString> bundleName(const platform::Bundle &bundle)
{
    return textValue(bundle, QStringLiteral("CFBundleName"));
}

std::optional<QString> bundleRegion(const platform::Bundle &bundle)
{
    return textValue(bundle, QStringLiteral("CFBundleDevelopmentRegion"));
}

std::optional<QString> bundleVersion(const platform::Bundle &bundle)
{
    return textValue(bundle, QStringLiteral("CFBundleShortVersionString"));
}

std::optional<QString> buildVersion(const platform::Bundle &bundle)
{
    return textValue(bundle, QStringLiteral("CFBundleVersion"));
}

std::optional<QString> bundleMinSysRequire(const platform::Bundle &bundle)
{
    return textValue(bundle, QStringLiteral("LSMinimumSystemVersion"));
}

bool isOpenedSandBox(const platform::Bundle &bundle)
{
    const std::optional<QString> identifier = bundleIdentifier(bundle);
    return identifier && QDir::homePath().contains(QStringLiteral("Containers/") + *identifier);
}

std::optional<QString> sandboxDocument()
{
    return platform::Folders::documents();
}

std::optional<QString> sysDocument()
{
    return platform::Folders::documents();
}

std::optional<QString> sandboxSupport(const platform::Bundle &bundle)
{
    const std::optional<QString> base = platform::Folders::applicationSupport();
    const std::optional<QString> identifier = bundleIdentifier(bundle);
    const std::optional<QString> name = bundleName(bundle);
    if (!base || !isPlainComponent(identifier) || !isPlainComponent(name))
        return std::nullopt;
    return createdFolder(*base + QLatin1Char('/') + *identifier + QLatin1Char('/') + *name, "create directory at:");
}

std::optional<QString> sandboxTmp(const platform::Bundle &bundle)
{
    const std::optional<QString> support = sandboxSupport(bundle);
    if (!support)
        return std::nullopt;
    return createdFolder(*support + QStringLiteral("/tmp"), "create directory at:");
}

std::optional<QString> sysDocumentApp(const platform::Bundle &bundle)
{
    const std::optional<QString> documents = sysDocument();
    const std::optional<QString> name = bundleName(bundle);
    if (!documents || !isPlainComponent(name))
        return std::nullopt;
    return createdFolder(*documents + QLatin1Char('/') + *name, "[RVDebug] create directory at:");
}

} // namespace mira
