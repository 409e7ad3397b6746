#pragma once

#include "FailedReason.h"
#include <platform/net/DownloadTask.h>

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>

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
