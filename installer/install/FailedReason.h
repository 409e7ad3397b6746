#pragma once

#include <QString>

#include <cstdint>
#include <optional>

/// How the current download run was started.
enum class DownloadType : std::uint8_t {
    first, ///< the first attempt, from the welcome page
    retry, ///< started again by the user from the failure page
};

/// Why a run ended without success. The numeric values are stored and must not change.
enum class FailedReason : std::uint8_t {
    unknow = 0, ///< no failure recorded
    withoutNetwork = 1, ///< the network is unavailable or the host cannot be reached
    canceld = 2, ///< the transfer was cancelled
    write = 3, ///< a disk is full: the archive or the application could not be written
    server = 4, ///< the server side failed, or every mirror's file failed its check
    install = 5, ///< unpacking, checking or placing the application failed
    launch = 6, ///< the installed application did not start
};

/// The case name as written in logs ("withoutNetwork", "unknow", ...).
QString failedReasonName(FailedReason reason);

/// The failure page's own sentence for @p reason, in the interface
/// language: no network, or not enough space in @p fullFolder; nothing for
/// the other reasons, for which the page keeps its general sentence.
std::optional<QString> failedReasonDescription(FailedReason reason, const QString &fullFolder);
