#include "NoticePageConfiger.h"

#include "PoppinsFont.h"

NoticePageConfiger NoticePageConfiger::installerNotice(const QString &desc, std::function<void()> willClose)
{
    NoticePageConfiger configer;
    configer.desc = desc;
    configer.alertStyle = AlertStyle::nature;
    configer.willClose = std::move(willClose);
    configer.buttonHeight = 24;
    configer.buttonMinWidth = 20;
    configer.buttonFont = poppinsFont(14, PoppinsWeight::regular);
    return configer;
}
