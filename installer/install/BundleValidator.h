#pragma once

#include <QString>

#include <cstdint>
#include <optional>

/// What BundleValidator accepts at most.
struct BundleLimits {
    /// Largest accepted Info.plist. Default 1 MiB.
    std::int64_t maxInfoPlistBytes = 1024 * 1024;
    /// Deepest accepted nesting of arrays and dictionaries. Default 64.
    int maxDepth = 64;
    /// Most files, folders and links the bundle may hold. Default 100,000.
    std::uint64_t maxItems = 100'000;
};

/**
 * Decides whether an unpacked application bundle may be installed.
 *
 * Runs on the staged copy, before anything installed is touched. A bundle
 * passes when it is a real folder (not a link), its Contents/Info.plist is a
 * regular file of at most Limits::maxInfoPlistBytes whose nesting stays
 * within Limits::maxDepth (checked before any tree is built), its
 * CFBundleExecutable is a plain file name of a regular, executable file in
 * Contents/MacOS, and every symbolic link inside it resolves to a place
 * inside the bundle, wherever the bundle is moved to.
 *
 * Links are resolved relative to the bundle root, following links inside the
 * bundle (at most 40 in a row): a link with an absolute target, or one that
 * climbs above the root, is refused even when it would land back inside; a
 * dangling link that stays inside is fine. The tree is walked without
 * following links, and a bundle of more than Limits::maxItems files, folders
 * and links is refused.
 *
 * @code
 * if (const auto failure = BundleValidator::validate(staged + "/Prismora.app"))
 *     log(failure->description);
 * @endcode
 */
class BundleValidator {
public:
    using Limits = BundleLimits;

    struct Failure {
        /// The sentence reported as event label.
        QString localizedDescription;
        /// Everything known, for the log.
        QString description;
    };

    /// Nothing when the bundle at @p bundlePath may be installed, else why not.
    static std::optional<Failure> validate(const QString &bundlePath, const Limits &limits = Limits());
};
