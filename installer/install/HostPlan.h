#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

/**
 * Which download host to try for each attempt of a run.
 *
 * Four download bases exist, in role order main, japan, german, resource
 * (each "host[:port][/path]"). They are compiled in and replaced as a whole
 * by PRISMORA_DOWNLOAD_HOSTS (four comma-separated bases). The order in which
 * they are tried depends on the user's preferred language:
 *
 * | language | order                           |
 * |----------|---------------------------------|
 * | en...    | main, resource, japan, german   |
 * | ja...    | japan, resource, main, german   |
 * | de...    | german, resource, main, japan   |
 * | other    | resource, main, japan, german   |
 *
 * Pure functions only: nothing here touches the network.
 */
namespace HostPlan {

/// How many attempts a run makes at most.
inline constexpr std::int64_t attemptCount = 4;

/// The archive's file name on every host, which its signature names.
inline constexpr char archiveFileName[] = "prismora.zip";

/// "https://<base>/prismora.zip" for attempt @p index with preferred
/// @p language and the four @p bases in role order; "" when out of range.
QString downloadURLString(const QString &language, std::int64_t index, const QStringList &bases);
/// The four bases in role order, from PRISMORA_DOWNLOAD_HOSTS or the build.
QStringList downloadBases();
/// The first of the installer's preferred localisations, lower-case ("en" when none).
QString preferredLanguage();

} // namespace HostPlan
