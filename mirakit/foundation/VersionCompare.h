#pragma once

#include <mirakit/mirakit_export.h>

#include <QString>

/**
 * @file
 * Comparison of dotted version texts such as "2.10.1".
 *
 * @code
 * if (mira::versionCompare(installed, QStringLiteral("2.10")) == mira::ComparisonResult::orderedAscending)
 *     offerUpdate();
 * @endcode
 */
namespace mira {

/// Order of a receiver relative to another value.
enum class ComparisonResult {
    orderedAscending = -1, ///< the receiver is smaller
    orderedSame = 0,
    orderedDescending = 1, ///< the receiver is larger
};

/**
 * Compares the version @p version with @p other.
 *
 * Both texts are split at "." (empty pieces are dropped, so "1..2" reads as
 * "1.2" and "" has no components). The first n = min(count, count)
 * components are compared pairwise as decimal numbers, left to right; the
 * first difference decides. When all n are equal, or n is 0, the answer is
 * orderedSame: extra trailing components are ignored, so "1.2" and
 * "1.2.0.5" compare as the same.
 *
 * A component's number is its leading run of ASCII digits, of any length
 * (numbers are compared by value without overflowing); a component with no
 * leading digit reads as 0, so "3rc1" reads as 3 and "beta" as 0.
 */
MIRAKIT_EXPORT ComparisonResult versionCompare(const QString &version, const QString &other);

} // namespace mira
