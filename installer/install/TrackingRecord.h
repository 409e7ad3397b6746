#pragma once

#include <QString>

#include <optional>

/// Path of the product's tracking record: <application support>/kestrumTrack/Prismora.plist;
/// nullopt when the application-support folder cannot be named.
std::optional<QString> trackingRecordPath();

/**
 * Replaces the tracking record with exactly { "VersionTrack", "LinkTrack" },
 * atomically and on disk (a crash leaves the old record or the new one).
 *
 * Creates the tracking folder and its parents when missing. Every
 * file-system failure is ignored: an install never fails because of its
 * tracking record.
 */
void writeTrackingRecord();
