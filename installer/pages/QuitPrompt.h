#pragma once

#include <installer/interface/ChooseAlertAction.h>
#include <installer/interface/NoticePageConfiger.h>

#include <QList>

/**
 * The quit confirmation of the welcome and failure pages.
 *
 * "OK" reports "Close" and ends the installer; "Cancel" reports
 * "Cancel_Close"; closing the notice with its badge reports "Cancel_Close"
 * and resumes a paused download.
 *
 * @code
 * presentNotice(QuitPrompt::configer(), QuitPrompt::options(), window());
 * @endcode
 */
namespace QuitPrompt {

/// "ExitTip" with the product name, in the installer's notice style.
NoticePageConfiger configer();
/// "OK" (border) and "Cancel" (theme), in this order.
QList<ChooseAlertAction> options();

} // namespace QuitPrompt
