#pragma once

#include "ActionBlockOccasion.h"
#include "AlertStyle.h"
#include "NoticeImage.h"

#include <QFont>
#include <QString>

#include <functional>
#include <optional>

/**
 * What an InstallerAlertViewController shows: its texts, illustration,
 * layout and the size and font of its choice buttons.
 *
 * Absent texts and images are hidden. willClose runs when the user closes
 * the notice with its close badge (or Escape), not when a choice closes it.
 *
 * @code
 * auto configer = NoticePageConfiger::installerNotice(
 *     localizedFormat(QStringLiteral("ExitTip"), {productName}), [] { resumeDownload(); });
 * @endcode
 */
struct NoticePageConfiger {
    std::optional<QString> title;
    std::optional<QString> desc;
    std::optional<NoticeImage> image;
    AlertStyle alertStyle = AlertStyle::nature;
    std::function<void()> willClose;
    /// Height of every choice button, in pixels. Taller when the title's
    /// script needs more room.
    double buttonHeight = 24;
    /// Minimum width of every choice button, in pixels.
    double buttonMinWidth = 20;
    /// Font of the choice buttons; none keeps the buttons' own.
    std::optional<QFont> buttonFont;

    /// The installer's own notices: no title, no image, nature, 24 / 20, Poppins regular 14.
    static NoticePageConfiger installerNotice(const QString &desc, std::function<void()> willClose = {});
};
