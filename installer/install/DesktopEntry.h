#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {
class Bundle;
}

/**
 * Makes an installed bundle visible to menus and launchers: a desktop entry
 * named after the bundle identifier in the user's applications-entry folder.
 *
 * The entry's Name is the bundle's CFBundleName (else the bundle folder's
 * name), Exec starts the bundle's executable, and Icon points at the PNG or
 * SVG named by CFBundleIconFile in the bundle's resources, when there is one.
 * An existing entry is replaced in one rename and synced to disk, and the desktop database is
 * refreshed when update-desktop-database is installed.
 *
 * Call write() only for a bundle that passed BundleValidator and was placed.
 * Identifiers that are not reverse-domain names ("a.b", letters, digits, '-'
 * and '_', no element starting with a digit) get no entry, so no identifier
 * can name a file outside the folder; control characters in the name are
 * written as spaces so that no value can start a key of its own.
 *
 * @code
 * if (const auto error = DesktopEntry::write(applications + "/Prismora.app"))
 *     log(*error);
 * @endcode
 */
class DesktopEntry {
public:
    /// $XDG_DATA_HOME/applications; XDG_DATA_HOME defaults to ~/.local/share.
    static QString defaultFolder();

    /// "<identifier>.desktop", or an empty string when @p bundleIdentifier is
    /// not a valid reverse-domain name.
    static QString fileName(const QString &bundleIdentifier);

    /// The entry's text for @p bundle; nullopt when the bundle has no valid
    /// identifier or executable, or its executable path cannot be written.
    static std::optional<QByteArray> contents(const platform::Bundle &bundle);

    /// Writes the entry for the bundle at @p bundlePath into @p folder
    /// (created when missing), replacing an earlier one, then refreshes the
    /// desktop database. Nothing when written, else why not.
    static std::optional<QString> write(const QString &bundlePath, const QString &folder = defaultFolder());
};
