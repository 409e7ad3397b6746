#include "MiraKit.h"

namespace mira {

const char *version()
{
    return MIRAKIT_VERSION;
}

} // namespace mira
