#include "FailedReason.h"

#include <installer/interface/LocalizedFormat.h>
#include <installer/interface/LocalizedString.h>

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

std::optional<QString> failedReasonDescription(FailedReason reason, const QString &fullFolder)
{
    switch (reason) {
    case FailedReason::withoutNetwork:
        return localizedString(QStringLiteral("Install_Error_No_NetWork"));
    case FailedReason::write:
        return localizedFormat(QStringLiteral("Install_Error_No_Enough_Space"), { fullFolder });
    default:
        return std::nullopt;
    }
}
