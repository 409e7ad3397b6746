#include "MiraKit.h"

namespace mira {

namespace {
LocalizedStringProvider &provider()
{
    static LocalizedStringProvider installed;
    return installed;
}
} // namespace

const char *version()
{
    return MIRAKIT_VERSION;
}

void setLocalizedStringProvider(LocalizedStringProvider lookup)
{
    provider() = std::move(lookup);
}

QString localizedString(const QString &key)
{
    return provider() ? provider()(key) : key;
}

} // namespace mira
