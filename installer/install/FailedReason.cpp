#include "FailedReason.h"

QString failedReasonName(FailedReason reason)
{
    switch (reason) {
    case FailedReason::unknow:
        return QStringLiteral("unknow");
    case FailedReason::withoutNetwork:
        return QStringLiteral("withoutNetwork");
    case FailedReason::canceld:
        return QStringLiteral("canceld");
    case FailedReason::write:
        return QStringLiteral("write");
    case FailedReason::server:
        return QStringLiteral("server");
    case FailedReason::install:
        return QStringLiteral("install");
    case FailedReason::launch:
        return QStringLiteral("launch");
    }
    return QStringLiteral("unknow");
}
