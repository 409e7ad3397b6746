#pragma once

#include <platform/platform_export.h>

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <memory>

namespace platform {

/**
 * An application bundle: an information dictionary plus named resources.
 *
 * Two layouts are recognised: a folder holding @c Contents/Info.plist and
 * @c Contents/Resources/ (an installed application such as
 * @c Prismora.app), and the installer's own bundle, which is embedded with
 * the Qt resource system under @c :/bundle in the same layout.
 *
 * @code
 * const auto &bundle = platform::Bundle::main();
 * const QString version = bundle.infoValue("CFBundleShortVersionString").toString();
 * const QString table = bundle.pathForResource("de", "lproj");
 * @endcode
 */
class PLATFORM_EXPORT Bundle {
public:
    /// Opens the bundle rooted at @p path. A path without an information
    /// dictionary gives a bundle with an empty dictionary and no resources.
    explicit Bundle(const QString &path);
    Bundle(const Bundle &other);
    Bundle &operator=(const Bundle &other);
    ~Bundle();

    /// The installer's own bundle (root @c :/bundle).
    static const Bundle &main();

    /// Root folder of the bundle.
    QString bundlePath() const;
    /// Folder that holds the resources (@c Contents/Resources).
    QString resourcePath() const;
    /// True when the bundle has a readable information dictionary.
    bool isValid() const;

    /// The whole information dictionary; empty when missing or unreadable.
    QVariantMap infoDictionary() const;
    /// One entry of the information dictionary; invalid when absent.
    QVariant infoValue(const QString &key) const;
    /// CFBundleIdentifier, or an empty string.
    QString bundleIdentifier() const;
    /// Full path of the executable named by CFBundleExecutable
    /// (@c Contents/MacOS/<name>), or an empty string when not named.
    QString executablePath() const;

    /// Path of the resource @p name with extension @p type, looked up in the
    /// resource folder (or its @p subdirectory). Empty when there is none.
    /// Names that would leave the resource folder are never resolved.
    QString pathForResource(const QString &name, const QString &type, const QString &subdirectory = QString()) const;

    /// Language codes for which the bundle has a @c <code>.lproj folder.
    QStringList localizations() const;

    /// The bundle's localisations in the user's order of preference: the
    /// first of the user's interface languages the bundle has, else "en".
    QStringList preferredLocalizations() const;

    /// Picks from @p available the best match for @p preferred (full code
    /// first, then the language part), falling back to "en".
    static QStringList preferredLocalizations(const QStringList &available, const QStringList &preferred);

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
