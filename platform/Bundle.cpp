#include "Bundle.h"

#include "PropertyList.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace platform {

class Bundle::Private {
public:
    QString path;
    QString contents;
    QVariantMap info;
    bool valid = false;
};

Bundle::Bundle(const QString &path)
    : d(std::make_unique<Private>())
{
    d->path = QDir::cleanPath(path);
    d->contents = d->path + QStringLiteral("/Contents");
    if (auto info = PropertyList::readDictionary(d->contents + QStringLiteral("/Info.plist"))) {
        d->info = *info;
        d->valid = true;
    }
}

Bundle::Bundle(const Bundle &other)
    : d(std::make_unique<Private>(*other.d))
{
}

Bundle &Bundle::operator=(const Bundle &other)
{
    *d = *other.d;
    return *this;
}

Bundle::~Bundle() = default;

const Bundle &Bundle::main()
{
    static const Bundle bundle(QStringLiteral(":/bundle"));
    return bundle;
}

QString Bundle::bundlePath() const
{
    return d->path;
}

QString Bundle::resourcePath() const
{
    return d->contents + QStringLiteral("/Resources");
}

bool Bundle::isValid() const
{
    return d->valid;
}

QVariantMap Bundle::infoDictionary() const
{
    return d->info;
}

QVariant Bundle::infoValue(const QString &key) const
{
    return d->info.value(key);
}

QString Bundle::bundleIdentifier() const
{
    return d->info.value(QStringLiteral("CFBundleIdentifier")).toString();
}

QString Bundle::executablePath() const
{
    const QString name = d->info.value(QStringLiteral("CFBundleExecutable")).toString();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String("..") || name == QLatin1String("."))
        return QString();
    return d->contents + QStringLiteral("/MacOS/") + name;
}

QString Bundle::pathForResource(const QString &name, const QString &type, const QString &subdirectory) const
{
    if (name.isEmpty())
        return QString();
    const QString file = type.isEmpty() ? name : name + QLatin1Char('.') + type;
    const QString folder = subdirectory.isEmpty() ? resourcePath() : resourcePath() + QLatin1Char('/') + subdirectory;
    const QString candidate = QDir::cleanPath(folder + QLatin1Char('/') + file);
    if (!candidate.startsWith(resourcePath() + QLatin1Char('/')))
        return QString();
    return QFileInfo::exists(candidate) ? candidate : QString();
}

QStringList Bundle::localizations() const
{
    QStringList codes;
    const QStringList folders = QDir(resourcePath()).entryList({ QStringLiteral("*.lproj") }, QDir::Dirs, QDir::Name);
    for (const QString &folder : folders)
        codes.append(folder.chopped(6));
    return codes;
}

QStringList Bundle::preferredLocalizations() const
{
    return preferredLocalizations(localizations(), QLocale().uiLanguages());
}

QStringList Bundle::preferredLocalizations(const QStringList &available, const QStringList &preferred)
{
    for (const QString &language : preferred) {
        QString code = language;
        code.replace(QLatin1Char('_'), QLatin1Char('-'));
        if (available.contains(code))
            return { code };
        const QString base = code.section(QLatin1Char('-'), 0, 0);
        if (available.contains(base))
            return { base };
    }
    return { QStringLiteral("en") };
}

} // namespace platform
