#include "UserDefaults.h"

#include "Bundle.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

class UserDefaults::Private
{
public:
    explicit Private(const QString &suite)
        : suiteName(suite)
        , settings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                       + QStringLiteral("/Prismora/") + suite + QStringLiteral(".conf"),
                   QSettings::IniFormat)
    {
    }
    QString suiteName;
    QSettings settings;
};

UserDefaults::UserDefaults(const QString &suiteName)
    : d(std::make_unique<Private>(suiteName.isEmpty() ? QStringLiteral("standard") : suiteName))
{
}

UserDefaults::~UserDefaults() = default;

UserDefaults &UserDefaults::standard()
{
    static UserDefaults defaults([] {
        const QString identifier = Bundle::main().bundleIdentifier();
        return identifier.isEmpty() ? QCoreApplication::applicationName() : identifier;
    }());
    return defaults;
}

QString UserDefaults::suiteName() const
{
    return d->suiteName;
}

QString UserDefaults::filePath() const
{
    return d->settings.fileName();
}

bool UserDefaults::contains(const QString &key) const
{
    return d->settings.contains(key);
}

QVariant UserDefaults::value(const QString &key) const
{
    return d->settings.value(key);
}

bool UserDefaults::boolValue(const QString &key) const
{
    return d->settings.value(key, false).toBool();
}

void UserDefaults::setValue(const QString &key, const QVariant &value)
{
    d->settings.setValue(key, value);
}

void UserDefaults::removeObject(const QString &key)
{
    d->settings.remove(key);
}

bool UserDefaults::synchronize()
{
    d->settings.sync();
    return d->settings.status() == QSettings::NoError;
}

} // namespace platform
