#pragma once

// Internal to DownloadTask and DownloadSession: the per-transfer libcurl state.

#include "CurlLibrary.h"
#include "DownloadFile_p.h"
#include "ResponseHead_p.h"

#include <platform/net/DownloadTask.h>

#include <chrono>
#include <optional>

namespace platform::net {

/// What only the worker thread touches for one task.
struct DownloadTask::Transfer {
    CURL *easy = nullptr;
    curl_slist *headers = nullptr;
    DownloadFile file;
    ResponseHead head;
    QByteArray validator; // what the bytes in the file can be resumed with
    char errorBuffer[CURL_ERROR_SIZE] = {};
    bool started = false;
    bool paused = false;
    bool accepted = false; // a 2xx head was taken: the body that follows goes to the file
    int writeErrno = 0;
    bool badStatus = false;
    std::optional<TransferError> refusal; // why a head ended the transfer
    std::int64_t reported = 0; // bytes already announced through didWriteData
    std::chrono::steady_clock::time_point lastActivity;
    // The minimum speed is measured over windows that start here.
    std::chrono::steady_clock::time_point speedWindowStart;
    std::int64_t speedWindowBytes = 0;
    std::int64_t nextSpaceCheck = 0; // file size at which the free space is looked at again
};

} // namespace platform::net
