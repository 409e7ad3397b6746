#pragma once

#include <mirakit/mirakit_export.h>

#include <platform/Bundle.h>

#include <QString>

#include <optional>

/**
 * @file
 * Facts from a bundle's information dictionary and the per-application
 * folders derived from them.
 *
 * Every lookup takes the bundle to read and defaults to the main bundle
 * (platform::Bundle::main()); lookups answer std::nullopt rather than fail.
 *
 * @code
 * if (const auto support = mira::sandboxSupport())
 *     cache.setPath(*support + QStringLiteral("/cache.plist"));
 * @endcode
 */
namespace mira {

/// @name Information dictionary
/// Each answers std::nullopt when the key is missing, its value is not
/// text, or the text is empty.
///@{
/// CFBundleIdentifier.
MIRAKIT_EXPORT std::optional<QString> bundleIdentifier(const platform::Bundle &bundle = platform::Bundle::main());
/// CFBundleName.
MIRAKIT_EXPORT std::optional<QString> bundleName(const platform::Bundle &bundle = platform::Bundle::main());
/// CFBundleDevelopmentRegion.
MIRAKIT_EXPORT std::optional<QString> bundleRegion(const platform::Bundle &bundle = platform::Bundle::main());
/// CFBundleShortVersionString.
MIRAKIT_EXPORT std::optional<QString> bundleVersion(const platform::Bundle &bundle = platform::Bundle::main());
/// CFBundleVersion.
MIRAKIT_EXPORT std::optional<QString> buildVersion(const platform::Bundle &bundle = platform::Bundle::main());
/// LSMinimumSystemVersion.
MIRAKIT_EXPORT std::optional<QString> bundleMinSysRequire(const platform::Bundle &bundle = platform::Bundle::main());
///@}

/// True when the home folder path contains "Containers/" followed by the
/// bundle's identifier, the mark of a sandboxed application's home. False
/// when the bundle has no identifier.
MIRAKIT_EXPORT bool isOpenedSandBox(const platform::Bundle &bundle = platform::Bundle::main());

/// The user's documents folder (platform::Folders::documents()); std::nullopt
/// when none can be named. The folder may not exist yet.
MIRAKIT_EXPORT std::optional<QString> sandboxDocument();
/// Same folder as sandboxDocument(): here the user domain is the only one.
MIRAKIT_EXPORT std::optional<QString> sysDocument();

/// @name Per-application folders
/// Each is created with its parents when missing and answered as a path.
/// std::nullopt when the base folder cannot be named, when the identifier
/// or name is missing or is not a single plain path component (empty, ".",
/// "..", or containing "/"), or when creating fails; a failed creation also
/// writes "create directory at:<path> failed" (sysDocumentApp:
/// "[RVDebug] create directory at:<path> failed") to standard output.
///@{
/// Application support / identifier / name.
MIRAKIT_EXPORT std::optional<QString> sandboxSupport(const platform::Bundle &bundle = platform::Bundle::main());
/// sandboxSupport() / "tmp".
MIRAKIT_EXPORT std::optional<QString> sandboxTmp(const platform::Bundle &bundle = platform::Bundle::main());
/// sysDocument() / name.
MIRAKIT_EXPORT std::optional<QString> sysDocumentApp(const platform::Bundle &bundle = platform::Bundle::main());
///@}

} // namespace mira
