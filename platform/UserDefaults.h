#pragma once

#include <platform/platform_export.h>

#include <QString>
#include <QVariant>

#include <memory>

namespace platform {

/**
 * A persistent key-value store, one file per suite.
 *
 * The standard store is the application's own suite (named after the main
 * bundle's identifier, else the application name); named suites share
 * settings between programs. Files live in a folder of the XDG
 * configuration folder named after the application's organisation (else the
 * application): ~/.config/<organisation>/<suite>.conf.
 *
 * A suite name is a plain file name. Names the store refuses (see
 * isValidSuiteName()) open the standard store instead, so no name can
 * reach a file outside the folder.
 *
 * A settings file is read whole, so one larger than maxFileBytes is never
 * read: when the store is opened or synchronised it is renamed to
 * "<suite>.conf.too-large" (with a line in the log) and the store starts from
 * its defaults. Where it cannot be renamed the store keeps its values in
 * memory only.
 *
 * @code
 * auto &defaults = platform::UserDefaults::standard();
 * defaults.setValue("AppleTextDirection", true);
 * defaults.synchronize();
 * @endcode
 */
class PLATFORM_EXPORT UserDefaults {
public:
    /// Opens the store of @p suiteName; an empty or refused name opens the
    /// standard suite's file.
    explicit UserDefaults(const QString &suiteName);
    ~UserDefaults();
    UserDefaults(const UserDefaults &) = delete;
    UserDefaults &operator=(const UserDefaults &) = delete;

    /// Largest settings file that is read: 1 MiB.
    static constexpr qint64 maxFileBytes = 1024 * 1024;

    static UserDefaults &standard();

    /// Names the folder of every store opened afterwards, for a program whose
    /// settings already live in a folder of another name. An empty or refused
    /// name (see isValidSuiteName()) brings back the organisation's.
    static void setFolderName(const QString &name);

    /// True for a name usable as a suite: not empty, not "." or "..", no
    /// "/" or "\\", no control characters, at most 200 characters.
    static bool isValidSuiteName(const QString &name);

    QString suiteName() const;
    QString filePath() const;

    bool contains(const QString &key) const;
    /// The stored value; invalid when absent.
    QVariant value(const QString &key) const;
    /// The stored value as a Boolean; false when absent.
    bool boolValue(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);
    void removeObject(const QString &key);
    /// Writes pending changes to disk (the file replaced in one rename, file and
    /// folder synced) and reads changes made by others; false on failure.
    /// Lines of the file that cannot be read are dropped, which is no failure.
    bool synchronize();

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
