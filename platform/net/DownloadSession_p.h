#pragma once

// Internal to DownloadSession: the worker thread.

#include "CurlLibrary.h"
#include "DownloadTask_p.h"
#include "DownloadWorker_p.h"

#include <platform/net/DownloadSession.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace platform::net {

class DownloadSessionCore final : public DownloadWorker, public std::enable_shared_from_this<DownloadSessionCore> {
public:
    DownloadSessionCore(DownloadSessionDelegate *delegate, const DownloadSession::Limits &limits);
    ~DownloadSessionCore();

    void startThread();
    void add(const std::shared_ptr<DownloadTask> &task);
    void invalidate();
    /// Stops the thread; joins it unless called on that very thread.
    void shutdown();
    void wake() override;

    DownloadSessionDelegate *const delegate;
    const DownloadSession::Limits limits;

private:
    void run();
    void failUntilStopped(const QString &reason);
    void reconcile(const std::shared_ptr<DownloadTask> &task);
    bool start(DownloadTask &task);
    void reportProgress(DownloadTask &task);
    void complete(const std::shared_ptr<DownloadTask> &task, CURLcode result);
    void fail(const std::shared_ptr<DownloadTask> &task, TransferError error);
    void release(DownloadTask &task);
    std::vector<std::shared_ptr<DownloadTask>> snapshot();
    int pollTimeoutMs(const std::vector<std::shared_ptr<DownloadTask>> &tasks) const;
    /// Ends @p task when it has been idle or too slow for too long.
    void enforceTimeLimits(const std::shared_ptr<DownloadTask> &task, std::chrono::steady_clock::time_point now);
    static void restartSpeedWindow(DownloadTask &task, std::chrono::steady_clock::time_point now);
    /// Whether @p toCome more bytes leave the reserve free on the file's volume; sets the refusal when not.
    static bool leavesReserve(DownloadTask &task, std::int64_t toCome);

    static size_t writeBody(char *data, size_t size, size_t count, void *task);
    static size_t readHeader(char *data, size_t size, size_t count, void *task);
    static bool acceptHead(DownloadTask &task);
    void keepResumeData(DownloadTask &task);

    CurlLibrary &m_curl = CurlLibrary::instance();
    // Published by the worker once libcurl is loaded; null until then and
    // for good when it cannot be loaded.
    std::atomic<CURLM *> m_multi { nullptr };
    std::thread m_thread;
    std::mutex m_mutex; // guards m_tasks and m_woken between the callers' threads and the worker
    std::vector<std::shared_ptr<DownloadTask>> m_tasks;
    std::condition_variable m_wakeUp; // wakes the worker while m_multi is null
    bool m_woken = false;
    std::atomic<bool> m_invalidated { false };
    std::atomic<bool> m_stop { false };
};

} // namespace platform::net
