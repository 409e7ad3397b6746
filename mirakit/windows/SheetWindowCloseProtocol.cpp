#include "SheetWindowCloseProtocol.h"

namespace mira {

SheetWindowCloseProtocol::~SheetWindowCloseProtocol() = default;

bool SheetWindowCloseProtocol::closeEnable() const
{
    return true;
}

QPointF SheetWindowCloseProtocol::closeOffset() const
{
    return QPointF(0, 0);
}

} // namespace mira
