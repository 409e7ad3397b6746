#include "ProgressGenerateProtocol.h"

namespace mira {

ProgressGenerateProtocol::~ProgressGenerateProtocol() = default;

} // namespace mira
