#pragma once

#include <QString>

#include <optional>

/**
 * The version the application in a product archive declares, read before
 * the archive is unpacked: the CFBundleShortVersionString of
 * "Prismora.app/Contents/Info.plist" inside it.
 *
 * Only that one entry is read, within the limits the install applies (the
 * archive's entry count, the property list's size); an archive without it,
 * or with an unreadable one, has no version.
 */
class ArchiveVersion {
public:
    static std::optional<QString> read(const QString &archive);
};
