#pragma once

#include <platform/net/DownloadTask.h>

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>

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
    write = 3, ///< the disk is full: the archive or the application could not be written
    server = 4, ///< the server side failed
    install = 5, ///< unpacking or placing the application failed
    launch = 6, ///< the installed application did not start
};

/// The case name as written in logs ("withoutNetwork", "unknow", ...).
QString failedReasonName(FailedReason reason);

/**
 * The record of one download attempt; DownLoader makes a new one per attempt.
 *
 * The worker thread of the attempt writes these fields while the main thread
 * reads them for the progress and failure pages, so every field is atomic.
 */
class ZipModel {
public:
    /// Bytes the server announced; 0 until the first progress report, -1 when none was announced.
    std::atomic<std::int64_t> totalSize { 0 };
    /// Bytes received as shown to the user; never smaller than a value shown before in the run.
    std::atomic<std::int64_t> currentSize { 0 };
    /// The running transfer; empty once the attempt has ended.
    std::atomic<std::shared_ptr<platform::net::DownloadTask>> task;
    /// Default unknow.
    std::atomic<FailedReason> failed { FailedReason::unknow };
};
