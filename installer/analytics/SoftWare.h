#pragma once

#include <QString>
#include <QVariantMap>

/**
 * Facts about this installer build: its name and version from the bundle,
 * and the tracking values derived from the regional site it was built for.
 * Each fact is computed on first use and kept for the life of the process.
 */
class SoftWare {
public:
    /// The regional site index of this build (0-11).
    static int site();
    /// CFBundleName of the installer bundle; empty when missing or not text.
    static QString appName();
    /// CFBundleShortVersionString of the installer bundle; empty when missing or not text.
    static QString appVersion();
    /// "Official" + the site suffix, e.g. "Official-de".
    static QString versionTrack();
    /// Computed exactly like versionTrack().
    static QString linkTrack();

    /// The suffix of a site index ("-com" for 0 ... "-tr" for 11); the
    /// suffix of site 0 for an index out of range.
    static QString siteSuffix(int site);
    /// "Official" joined with the suffix of @p site.
    static QString trackValue(int site);
    /// A text entry of an information dictionary; empty when missing or not text.
    static QString textEntry(const QVariantMap &info, const QString &key);
};
