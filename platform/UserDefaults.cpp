#include "UserDefaults.h"

#include "Bundle.h"
#include "FileSync.h"
#include "KSTLogManager.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

QString settingsPath(const QString &suite)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + folderName() + u'/' + suite
        + QStringLiteral(".conf");
}

/// Renames the settings file at @p path to "<path>.too-large" when it is
/// larger than UserDefaults::maxFileBytes; false when such a file stays.
bool moveAsideWhenTooLarge(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() <= UserDefaults::maxFileBytes)
        return true;
    const QString aside = path + QStringLiteral(".too-large");
    const bool moved = std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) == 0;
    const int error = moved ? 0 : errno;
    const QString found = QStringLiteral("UserDefaults %1 holds %2 bytes, more than %3")
                              .arg(path)
                              .arg(info.size())
                              .arg(UserDefaults::maxFileBytes);
    KSTLogManager::writeInfoLog(moved ? found + QStringLiteral(": moved aside to %1, defaults used").arg(aside)
                                      : found
                + QStringLiteral(" and cannot be moved aside (%1): defaults used, nothing saved")
                      .arg(QString::fromLocal8Bit(std::strerror(error))));
    return moved;
}

/// A settings format that reads nothing and writes nothing, for a file too
/// large to read that cannot be moved aside.
QSettings::Format unreadFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("too-large"), [](QIODevice &, QSettings::SettingsMap &) { return true; },
        [](QIODevice &, const QSettings::SettingsMap &) { return false; });
    return format;
}

} // namespace

class UserDefaults::Private {
public:
    explicit Private(const QString &suite, const QString &path)
        : suiteName(suite)
        , settings(path, moveAsideWhenTooLarge(path) ? QSettings::IniFormat : unreadFormat())
    {
    }
    QString suiteName;
    QSettings settings;
};

UserDefaults::UserDefaults(const QString &suiteName)
{
    const QString suite = isValidSuiteName(suiteName) ? suiteName : standardSuiteName();
    d = std::make_unique<Private>(suite, settingsPath(suite));
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
    // Another program may have written a file too large to read since.
    if (!moveAsideWhenTooLarge(d->settings.fileName()))
        return false;
    // QSettings replaces the file in one rename after syncing it; the rename
    // itself is on disk once the folder is synced (a store never written has no folder).
    // A file holding lines the reader could not make sense of (FormatError,
    // which stays set) is still saved, without those lines: not a failure.
    d->settings.sync();
    if (d->settings.status() == QSettings::AccessError)
        return false;
    const int error = FileSync::syncFolder(QFileInfo(d->settings.fileName()).absolutePath());
    return error == 0 || error == ENOENT;
}

} // namespace platform
