#include "QuitPrompt.h"

#include <installer/interface/LocalizedFormat.h>
#include <installer/interface/LocalizedString.h>

#include <installer/analytics/GA.h>
#include <installer/app/AppDelegate.h>
#include <installer/install/DownLoader.h>
#include <installer/install/Product.h>

namespace QuitPrompt {

NoticePageConfiger configer()
{
    const QString message = localizedFormat(QStringLiteral("ExitTip"), { Product::localizedName() });
    return NoticePageConfiger::installerNotice(message, [] {
        GA::installStep(QStringLiteral("Cancel_Close"));
        DownLoader::shared().resume();
    });
}

QList<ChooseAlertAction> options()
{
    return { ChooseAlertAction::choice(localizedString(QStringLiteral("Dialog_Button_OK")),
                 ButtonStorage::ButtonStyle::border,
                 [] {
                     GA::installStep(QStringLiteral("Close"));
                     AppDelegate::terminate();
                 }),
        ChooseAlertAction::choice(localizedString(QStringLiteral("Dialog_Button_Cancel")),
            ButtonStorage::ButtonStyle::theme, [] { GA::installStep(QStringLiteral("Cancel_Close")); }) };
}

} // namespace QuitPrompt
