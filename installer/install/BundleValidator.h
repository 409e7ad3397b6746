#pragma once

#include <QString>

#include <cstdint>
#include <optional>

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
 * @code
 * if (const auto failure = BundleValidator::validate(staged + "/Prismora.app"))
 *     log(failure->description);
 * @endcode
 */
class BundleValidator {
public:
    struct Limits {
        /// Largest accepted Info.plist. Default 1 MiB.
        std::int64_t maxInfoPlistBytes = 1024 * 1024;
        /// Deepest accepted nesting of arrays and dictionaries. Default 64.
        int maxDepth = 64;
    };

    struct Failure {
        /// The sentence reported as event label.
        QString localizedDescription;
        /// Everything known, for the log.
        QString description;
    };

    /// Nothing when the bundle at @p bundlePath may be installed, else why not.
    static std::optional<Failure> validate(const QString &bundlePath);
    static std::optional<Failure> validate(const QString &bundlePath, const Limits &limits);
};
