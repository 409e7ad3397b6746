#include "BundleValidator.h"

std::optional<BundleValidator::Failure> BundleValidator::validate(const QString &, const Limits &)
{
    return std::nullopt;
}

std::optional<BundleValidator::Failure> BundleValidator::validate(const QString &bundlePath)
{
    return validate(bundlePath, Limits());
}
