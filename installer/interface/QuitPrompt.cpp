#include "QuitPrompt.h"

#include "LocalizedFormat.h"
#include "LocalizedString.h"

#include <installer/analytics/GA.h>
#include <installer/session/AppDelegate.h>
#include <installer/session/DownLoader.h>
#include <installer/session/Product.h>

namespace QuitPrompt {

NoticePageConfiger configer()
{
    const QString message = localizedFormat(QStringLiteral("ExitTip"), {Product::localizedName()});
    return NoticePageConfiger::installerNotice(message, [] {
        GA::installStep(QStringLiteral("Cancel_Close"));
        DownLoader::shared().resume();
    });
}

QList<ChooseAlertAction> options()
{
    return {ChooseAlertAction::choice(localizedString(QStringLiteral("Dialog_Button_OK")), ButtonStorage::ButtonStyle::border,
                [] {
                    GA::installStep(QStringLiteral("Close"));
                    AppDelegate::terminate();
                }),
        ChooseAlertAction::choice(localizedString(QStringLiteral("Dialog_Button_Cancel")), ButtonStorage::ButtonStyle::theme,
            [] { GA::installStep(QStringLiteral("Cancel_Close")); })};
}

} // namespace QuitPrompt
