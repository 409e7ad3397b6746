#pragma once

#include <mirakit/mirakit_export.h>

namespace mira {

/**
 * The start and stop operations of a value that moves from one number to
 * another over a time (ProgressGenerate, and owners that forward to one
 * through ProgressGenerateHelper). Durations are in seconds.
 */
class MIRAKIT_EXPORT ProgressGenerateProtocol {
public:
    virtual ~ProgressGenerateProtocol();

    /// Moves from @p from to @p to in @p duration seconds.
    virtual void progressForm(double from, double to, double duration) = 0;
    /// Moves from the current value to @p to in @p duration seconds.
    virtual void progress(double to, double duration) = 0;
    /// Stops where the value is and reports it once more.
    virtual void stopProgress() = 0;
};

} // namespace mira
