#pragma once

#include <QString>

#include <cstdint>
#include <optional>

/**
 * The note an install leaves in the applications folder while it swaps the
 * new copy of the product in, so that a run killed in the middle can be
 * finished or rolled back by the next one.
 *
 * The file is ".prismora-install.journal"; it names the staging folder (a
 * hidden folder of the applications folder) and the identity (device and
 * inode) of the staged bundle, which tells afterwards whether the bundle in
 * place is the new one. It is written atomically and synced with its folder,
 * so that it is on disk before the swap it describes, and read as untrusted
 * input: a staging name that is not a plain ".prismora-install-" folder name
 * is rejected.
 */
class SwapJournal {
public:
    /// Device and inode of a file or folder.
    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool operator==(const Identity &) const = default;
    };

    struct Entry {
        /// Name of the staging folder inside the applications folder.
        QString staging;
        /// The staged bundle's identity before it was moved into place.
        Identity staged;
    };

    /// The journal's path in @p applicationsFolder.
    static QString path(const QString &applicationsFolder);
    /// Writes @p entry for @p applicationsFolder (replacing any earlier one)
    /// and puts it on disk; 0, or the errno of the failure.
    static int write(const QString &applicationsFolder, const Entry &entry);
    /// The journal of @p applicationsFolder; nothing when absent or not valid.
    static std::optional<Entry> read(const QString &applicationsFolder);
    /// Removes the journal of @p applicationsFolder and any half-written one beside it.
    static void remove(const QString &applicationsFolder);

    /// The identity of @p path itself (a link is not followed); nothing when absent.
    static std::optional<Identity> identity(const QString &path);
    /// Whether @p name may be a staging folder: ".prismora-install-" plus six safe characters.
    static bool isStagingName(const QString &name);
};
