// MiraKit's version comparison on two arbitrary texts (split at the first
// NUL): it answers, is antisymmetric, and a version equals itself.
#include "FuzzInput.h"

#include <mirakit/foundation/VersionCompare.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList parts = FuzzInput::parts(data, size);
    const QString a = parts.value(0);
    const QString b = parts.value(1);
    const auto forward = mira::versionCompare(a, b);
    const auto backward = mira::versionCompare(b, a);
    if (int(forward) != -int(backward))
        std::abort();
    if (mira::versionCompare(a, a) != mira::ComparisonResult::orderedSame)
        std::abort();
    return 0;
}
