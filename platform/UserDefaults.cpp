#include "UserDefaults.h"

#include "Bundle.h"
#include "FileSync.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>

namespace platform {

namespace {

QString standardSuiteName()
{
    const QString identifier = Bundle::main().bundleIdentifier();
    if (UserDefaults::isValidSuiteName(identifier))
        return identifier;
    const QString application = QCoreApplication::applicationName();
    return UserDefaults::isValidSuiteName(application) ? application : QStringLiteral("standard");
}

QString &chosenFolderName()
{
    static QString name;
    return name;
}

// Settings of different programs that use this store must not share one
// folder by accident, so the folder follows the program, not this library.
QString folderName()
{
    for (const QString &name :
        { chosenFolderName(), QCoreApplication::organizationName(), QCoreApplication::applicationName() }) {
        if (UserDefaults::isValidSuiteName(name))
            return name;
    }
    return QStringLiteral("UserDefaults");
}

} // namespace

class UserDefaults::Private {
public:
    explicit Private(const QString &suite)
        : suiteName(suite)
        , settings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + folderName() + u'/'
                  + suite + QStringLiteral(".conf"),
              QSettings::IniFormat)
    {
    }
    QString suiteName;
    QSettings settings;
};

UserDefaults::UserDefaults(const QString &suiteName)
    : d(std::make_unique<Private>(isValidSuiteName(suiteName) ? suiteName : standardSuiteName()))
{
}

UserDefaults::~UserDefaults() = default;

UserDefaults &UserDefaults::standard()
{
    static UserDefaults defaults(standardSuiteName());
    return defaults;
}

void UserDefaults::setFolderName(const QString &name)
{
    chosenFolderName() = name;
}

bool UserDefaults::isValidSuiteName(const QString &name)
{
    if (name.isEmpty() || name.size() > 200 || name == u"." || name == u"..")
        return false;
    return std::none_of(name.begin(), name.end(),
        [](QChar c) { return c == u'/' || c == u'\\' || c.category() == QChar::Other_Control; });
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
    // QSettings replaces the file in one rename after syncing it; the rename
    // itself is on disk once the folder is synced (a store never written has no folder).
    d->settings.sync();
    if (d->settings.status() != QSettings::NoError)
        return false;
    const int error = FileSync::syncFolder(QFileInfo(d->settings.fileName()).absolutePath());
    return error == 0 || error == ENOENT;
}

} // namespace platform
