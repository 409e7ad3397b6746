#pragma once

#include <platform/platform_export.h>

#include <QString>

namespace platform {

/**
 * The installer's plain-text log.
 *
 * One line per writeInfoLog() call, in call order, from any thread. Lines go
 * to "installer.log" in $PRISMORA_LOG_DIR, else in the XDG state folder
 * (~/.local/state/Prismora_Installer). A line that cannot be written is
 * dropped; the caller never sees a failure.
 *
 * @code
 * platform::KSTLogManager::singleton();
 * platform::KSTLogManager::writeInfoLog(QStringLiteral("DownLoader download url: ") + url);
 * @endcode
 */
class PLATFORM_EXPORT KSTLogManager {
public:
    /// The shared logger, opened on first use.
    static KSTLogManager &singleton();
    /// Records one line.
    static void writeInfoLog(const QString &line);

    /// Path of the log file, or an empty string when the log could not be opened.
    QString logFilePath() const;

    KSTLogManager(const KSTLogManager &) = delete;
    KSTLogManager &operator=(const KSTLogManager &) = delete;

private:
    KSTLogManager();
    ~KSTLogManager();
    void write(const QString &line);

    class Private;
    Private *const d;
};

} // namespace platform
