#include "DownloadSession.h"

#include "DownloadSession_p.h"

#include "CurlEasySetup_p.h"

#include <platform/Folders.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <mutex>

namespace platform::net {

namespace {

using Clock = std::chrono::steady_clock;

// Large enough that the body is read with few system calls.
constexpr long receiveBufferSize = 512 * 1024;
constexpr int idlePollMs = 1000;
// How often, in bytes written, a body without a usable length checks the free space.
constexpr std::int64_t spaceCheckInterval = 4 * 1024 * 1024;

long responseStatus(CURL *easy)
{
    long status = 0;
    CurlLibrary::instance().easyGetinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

} // namespace

DownloadSessionDelegate::~DownloadSessionDelegate() = default;

// --- DownloadSession ---------------------------------------------------------

DownloadSession::DownloadSession(DownloadSessionDelegate *delegate, std::chrono::milliseconds idleTimeout)
    : DownloadSession(delegate, Limits { idleTimeout })
{
}

DownloadSession::DownloadSession(DownloadSessionDelegate *delegate, const Limits &limits)
    : d(std::make_shared<DownloadSessionCore>(delegate, limits))
{
    d->startThread();
}

DownloadSession::~DownloadSession()
{
    d->shutdown();
}

std::shared_ptr<DownloadTask> DownloadSession::downloadTask(const DownloadRequest &request)
{
    std::shared_ptr<DownloadTask> task(new DownloadTask(request, d));
    d->add(task);
    return task;
}

void DownloadSession::invalidateAndCancel()
{
    d->invalidate();
}

std::chrono::milliseconds DownloadSession::idleTimeout() const
{
    return d->limits.idleTimeout;
}

const DownloadSession::Limits &DownloadSession::limits() const
{
    return d->limits;
}

// --- DownloadSessionCore -----------------------------------------------------

DownloadSessionCore::DownloadSessionCore(DownloadSessionDelegate *delegate, const DownloadSession::Limits &limits)
    : delegate(delegate)
    , limits(limits)
{
}

DownloadSessionCore::~DownloadSessionCore()
{
    if (m_thread.joinable()) {
        if (m_thread.get_id() == std::this_thread::get_id())
            m_thread.detach();
        else
            m_thread.join();
    }
    if (CURLM *multi = m_multi.load())
        m_curl.multiCleanup(multi);
}

void DownloadSessionCore::startThread()
{
    // The thread keeps the core alive until it has delivered its last callback.
    m_thread = std::thread([core = shared_from_this()] { core->run(); });
}

void DownloadSessionCore::add(const std::shared_ptr<DownloadTask> &task)
{
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(task);
    }
    if (m_invalidated)
        task->cancel();
    wake();
}

void DownloadSessionCore::invalidate()
{
    m_invalidated = true;
    for (const auto &task : snapshot())
        task->cancel();
    wake();
}

void DownloadSessionCore::shutdown()
{
    invalidate();
    m_stop = true;
    wake();
    if (!m_thread.joinable())
        return;
    if (m_thread.get_id() == std::this_thread::get_id())
        m_thread.detach();
    else
        m_thread.join();
}

void DownloadSessionCore::wake()
{
    if (CURLM *multi = m_multi.load()) {
        m_curl.multiWakeup(multi);
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_wakeUp.notify_one();
}

std::vector<std::shared_ptr<DownloadTask>> DownloadSessionCore::snapshot()
{
    std::lock_guard lock(m_mutex);
    return m_tasks;
}

void DownloadSessionCore::run()
{
    // Loaded here rather than by the constructor, which runs on the caller's
    // thread, usually the main one.
    CURLM *const multi = m_curl.load() ? m_curl.multiInit() : nullptr;
    if (!multi) {
        failUntilStopped(m_curl.load() ? QStringLiteral("libcurl cannot create a multi handle") : m_curl.errorString());
        return;
    }
    m_multi.store(multi);

    for (;;) {
        for (const auto &task : snapshot())
            reconcile(task);

        int running = 0;
        m_curl.multiPerform(multi, &running);

        auto tasks = snapshot();
        for (const auto &task : tasks) {
            if (task->m_transfer->started)
                reportProgress(*task);
        }

        int queued = 0;
        while (CURLMsg *message = m_curl.multiInfoRead(multi, &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            const auto found = std::find_if(tasks.begin(), tasks.end(),
                [message](const auto &task) { return task->m_transfer->easy == message->easy_handle; });
            if (found != tasks.end())
                complete(*found, message->data.result);
        }

        const auto now = Clock::now();
        for (const auto &task : tasks) {
            if (task->state() == DownloadTask::State::Running)
                enforceTimeLimits(task, now);
        }

        bool unfinished = false;
        {
            std::lock_guard lock(m_mutex);
            std::erase_if(m_tasks, [](const auto &task) { return task->state() == DownloadTask::State::Completed; });
            unfinished = !m_tasks.empty();
        }
        if (m_stop && !unfinished)
            return;
        m_curl.multiPoll(multi, nullptr, 0, pollTimeoutMs(snapshot()), nullptr);
    }
}

void DownloadSessionCore::failUntilStopped(const QString &reason)
{
    for (;;) {
        for (const auto &task : snapshot()) {
            if (task->state() == DownloadTask::State::Canceling)
                fail(task, { UrlError::Cancelled, FileError::None, QString() });
            else if (task->state() == DownloadTask::State::Running)
                fail(task, { UrlError::Unknown, FileError::None, reason });
        }
        std::unique_lock lock(m_mutex);
        std::erase_if(m_tasks, [](const auto &task) { return task->state() == DownloadTask::State::Completed; });
        if (m_stop && m_tasks.empty())
            return;
        m_wakeUp.wait(lock, [this] { return m_woken; });
        m_woken = false;
    }
}

void DownloadSessionCore::enforceTimeLimits(const std::shared_ptr<DownloadTask> &task, Clock::time_point now)
{
    auto &transfer = *task->m_transfer;
    if (!transfer.started || transfer.paused)
        return;
    if (now - transfer.lastActivity >= limits.idleTimeout) {
        fail(task,
            { UrlError::TimedOut, FileError::None,
                QStringLiteral("no data for %1 ms").arg(limits.idleTimeout.count()) });
        return;
    }
    if (now - transfer.speedWindowStart < limits.lowSpeedTime)
        return;
    const std::int64_t received = task->m_received - transfer.speedWindowBytes;
    if (received * 1000 < limits.lowSpeedLimit * limits.lowSpeedTime.count()) {
        fail(task,
            { UrlError::TimedOut, FileError::None,
                QStringLiteral("%1 bytes in %2 ms, less than %3 bytes a second")
                    .arg(received)
                    .arg(limits.lowSpeedTime.count())
                    .arg(limits.lowSpeedLimit),
                true });
        return;
    }
    restartSpeedWindow(*task, now);
}

void DownloadSessionCore::restartSpeedWindow(DownloadTask &task, Clock::time_point now)
{
    task.m_transfer->speedWindowStart = now;
    task.m_transfer->speedWindowBytes = task.m_received;
}

int DownloadSessionCore::pollTimeoutMs(const std::vector<std::shared_ptr<DownloadTask>> &tasks) const
{
    auto wait = std::chrono::milliseconds(idlePollMs);
    const auto now = Clock::now();
    for (const auto &task : tasks) {
        const auto &transfer = *task->m_transfer;
        if (!transfer.started || transfer.paused)
            continue;
        for (const auto deadline :
            { transfer.lastActivity + limits.idleTimeout, transfer.speedWindowStart + limits.lowSpeedTime }) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
            wait = std::clamp(left + std::chrono::milliseconds(1), std::chrono::milliseconds(0), wait);
        }
    }
    return int(wait.count());
}

void DownloadSessionCore::reconcile(const std::shared_ptr<DownloadTask> &task)
{
    auto &transfer = *task->m_transfer;
    switch (task->state()) {
    case DownloadTask::State::Completed:
        return;
    case DownloadTask::State::Canceling:
        fail(task, { UrlError::Cancelled, FileError::None, QString() });
        return;
    case DownloadTask::State::Running:
        if (!transfer.started) {
            if (!start(*task)) {
                fail(task,
                    { UrlError::CannotCreateFile, fileErrorFromErrno(transfer.writeErrno, true),
                        QStringLiteral("cannot create the temporary file") });
            }
        } else if (transfer.paused) {
            m_curl.easyPause(transfer.easy, CURLPAUSE_CONT);
            transfer.paused = false;
            transfer.lastActivity = Clock::now();
            restartSpeedWindow(*task, transfer.lastActivity);
        }
        return;
    case DownloadTask::State::Suspended:
        if (transfer.started && !transfer.paused) {
            m_curl.easyPause(transfer.easy, CURLPAUSE_ALL);
            transfer.paused = true;
        }
        return;
    }
}

bool DownloadSessionCore::start(DownloadTask &task)
{
    auto &transfer = *task.m_transfer;
    const DownloadRequest &request = task.m_request;
    transfer.started = true;
    transfer.lastActivity = Clock::now();
    restartSpeedWindow(task, transfer.lastActivity);

    const bool opened = request.destination.isEmpty()
        ? transfer.file.openTemporary()
        : transfer.file.openDestination(request.destination, request.resume.isValid() ? request.resume.offset : 0);
    if (!opened) {
        transfer.writeErrno = transfer.file.errorNumber();
        return false;
    }

    CURL *easy = m_curl.easyInit();
    transfer.easy = easy;
    const QByteArray url = request.url.toEncoded();
    m_curl.easySetopt(easy, CURLOPT_URL, url.constData());
    setUpEasyHandle(easy, Redirects::HttpsOnly, transfer.errorBuffer);
    m_curl.easySetopt(easy, CURLOPT_TCP_KEEPALIVE, 1L);
    m_curl.easySetopt(easy, CURLOPT_BUFFERSIZE, receiveBufferSize);
    m_curl.easySetopt(easy, CURLOPT_WRITEFUNCTION, &DownloadSessionCore::writeBody);
    m_curl.easySetopt(easy, CURLOPT_WRITEDATA, &task);
    m_curl.easySetopt(easy, CURLOPT_HEADERFUNCTION, &DownloadSessionCore::readHeader);
    m_curl.easySetopt(easy, CURLOPT_HEADERDATA, &task);
    for (const auto &[name, value] : request.headers)
        transfer.headers = m_curl.slistAppend(transfer.headers, (name + ": " + value).constData());
    if (const std::int64_t kept = transfer.file.size(); kept > 0) {
        // Only the rest, and only if the server's file is still the one the kept bytes came from.
        transfer.validator = request.resume.validator;
        transfer.headers
            = m_curl.slistAppend(transfer.headers, "Range: bytes=" + QByteArray::number(qint64(kept)) + '-');
        transfer.headers = m_curl.slistAppend(transfer.headers, "If-Range: " + transfer.validator);
    }
    m_curl.easySetopt(easy, CURLOPT_HTTPHEADER, transfer.headers);
    m_curl.multiAddHandle(m_multi.load(), easy);
    return true;
}

size_t DownloadSessionCore::readHeader(char *data, size_t size, size_t count, void *context)
{
    auto &task = *static_cast<DownloadTask *>(context);
    const size_t length = size * count;
    if (task.m_transfer->head.addLine(QByteArrayView(data, qsizetype(length))) && !acceptHead(task))
        return 0; // ends the transfer with CURLE_WRITE_ERROR; the refusal says why
    return length;
}

bool DownloadSessionCore::acceptHead(DownloadTask &task)
{
    auto &transfer = *task.m_transfer;
    const int status = transfer.head.status();
    // Interim answers and redirects are followed; error pages are refused at their body.
    if (status < 200 || status >= 300 || transfer.accepted)
        return true;
    transfer.accepted = true;

    auto &file = transfer.file;
    if (status == 206) {
        // A partial answer is usable only if it continues exactly where the file ends.
        if (transfer.head.rangeStart() != file.size()) {
            transfer.refusal = TransferError { UrlError::BadServerResponse, FileError::None,
                QStringLiteral("partial content does not start at byte %1").arg(file.size()) };
            return false;
        }
    } else if (file.size() > 0 && !file.restart()) {
        transfer.refusal = TransferError { UrlError::CannotWriteToFile, fileErrorFromErrno(file.errorNumber(), true),
            QString::fromLocal8Bit(std::strerror(file.errorNumber())) };
        return false;
    }
    transfer.validator = transfer.head.validator();

    curl_off_t length = -1;
    CurlLibrary::instance().easyGetinfo(transfer.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    // A length no file could have is treated as no length at all.
    const bool plausible = length >= 0 && length <= std::numeric_limits<std::int64_t>::max() - file.size();
    task.m_expected = plausible ? file.size() + length : -1;
    task.m_received = file.size();
    transfer.reported = file.size();

    if (const std::int64_t maximum = task.m_request.maximumSize; maximum >= 0 && task.m_expected > maximum) {
        transfer.refusal = TransferError { UrlError::BadServerResponse, FileError::None,
            QStringLiteral("%1 bytes announced, at most %2 expected").arg(task.m_expected).arg(maximum) };
        return false;
    }
    return leavesReserve(task, plausible ? length : 0);
}

bool DownloadSessionCore::leavesReserve(DownloadTask &task, std::int64_t toCome)
{
    auto &transfer = *task.m_transfer;
    transfer.nextSpaceCheck = transfer.file.size() + spaceCheckInterval;
    // A task's worker is always the core that made it.
    const auto session = std::static_pointer_cast<DownloadSessionCore>(task.m_session.lock());
    const QString folder = transfer.file.folder();
    const auto free = Folders::freeSpace(folder);
    if (!session || !free)
        return true;
    const auto &limits = session->limits;
    const std::int64_t reserve = std::max(
        limits.reserveBytes, std::int64_t(Folders::volumeSize(folder).value_or(0) / 100 * limits.reservePercent));
    if (*free - toCome >= reserve)
        return true;
    transfer.refusal = TransferError { UrlError::CannotWriteToFile, FileError::WriteOutOfSpace,
        QStringLiteral("%1 bytes to come, %2 free, %3 kept free").arg(toCome).arg(*free).arg(reserve) };
    return false;
}

size_t DownloadSessionCore::writeBody(char *data, size_t size, size_t count, void *context)
{
    auto &task = *static_cast<DownloadTask *>(context);
    auto &transfer = *task.m_transfer;
    const size_t length = size * count;
    if (responseStatus(transfer.easy) >= 400) {
        // An error page is not the file that was asked for.
        transfer.badStatus = true;
        return CURL_WRITEFUNC_ERROR;
    }
    if (const std::int64_t maximum = task.m_request.maximumSize;
        maximum >= 0 && std::uint64_t(transfer.file.size()) + length > std::uint64_t(maximum)) {
        transfer.refusal = TransferError { UrlError::BadServerResponse, FileError::None,
            QStringLiteral("the body is longer than %1 bytes").arg(maximum) };
        return CURL_WRITEFUNC_ERROR;
    }
    if (!transfer.file.write(data, length)) {
        transfer.writeErrno = transfer.file.errorNumber();
        return CURL_WRITEFUNC_ERROR;
    }
    if (transfer.file.size() >= transfer.nextSpaceCheck && !leavesReserve(task, 0))
        return CURL_WRITEFUNC_ERROR;
    task.m_received = transfer.file.size();
    transfer.lastActivity = Clock::now();
    return length;
}

void DownloadSessionCore::reportProgress(DownloadTask &task)
{
    auto &transfer = *task.m_transfer;
    const std::int64_t received = task.m_received;
    if (received <= transfer.reported)
        return;
    const std::int64_t written = received - transfer.reported;
    transfer.reported = received;
    delegate->didWriteData(task, written, received, task.m_expected);
}

void DownloadSessionCore::complete(const std::shared_ptr<DownloadTask> &task, CURLcode result)
{
    auto &transfer = *task->m_transfer;
    if (transfer.badStatus || (result == CURLE_OK && responseStatus(transfer.easy) >= 400)) {
        fail(task,
            { UrlError::BadServerResponse, FileError::None,
                QStringLiteral("HTTP status %1").arg(responseStatus(transfer.easy)) });
        return;
    }
    if (result == CURLE_WRITE_ERROR && transfer.refusal) {
        fail(task, *transfer.refusal);
        return;
    }
    if (result == CURLE_WRITE_ERROR && transfer.writeErrno) {
        fail(task,
            { UrlError::CannotWriteToFile, fileErrorFromErrno(transfer.writeErrno, true),
                QString::fromLocal8Bit(std::strerror(transfer.writeErrno)) });
        return;
    }
    if (result != CURLE_OK) {
        const QString detail = transfer.errorBuffer[0] ? QString::fromUtf8(transfer.errorBuffer)
                                                       : QString::fromUtf8(m_curl.easyStrerror(result));
        fail(task, { urlErrorFromCurl(result), FileError::None, detail });
        return;
    }
    // Buffered bytes may still fail to reach the disk.
    if (!transfer.file.flush()) {
        const int error = transfer.file.errorNumber();
        fail(task,
            { UrlError::CannotWriteToFile, fileErrorFromErrno(error, true),
                QString::fromLocal8Bit(std::strerror(error)) });
        return;
    }
    {
        std::lock_guard lock(task->m_resultMutex);
        task->m_digests = transfer.file.digests();
    }
    delegate->didFinishDownloadingTo(*task, transfer.file.path());
    release(*task);
    task->m_state = DownloadTask::State::Completed;
    delegate->didCompleteWithError(*task, std::nullopt);
}

void DownloadSessionCore::fail(const std::shared_ptr<DownloadTask> &task, TransferError error)
{
    keepResumeData(*task);
    release(*task);
    if (task->m_state.exchange(DownloadTask::State::Completed) == DownloadTask::State::Completed)
        return;
    delegate->didCompleteWithError(*task, error);
}

void DownloadSessionCore::release(DownloadTask &task)
{
    auto &transfer = *task.m_transfer;
    if (transfer.easy) {
        m_curl.multiRemoveHandle(m_multi.load(), transfer.easy);
        m_curl.easyCleanup(transfer.easy);
        transfer.easy = nullptr;
    }
    if (transfer.headers)
        m_curl.slistFreeAll(transfer.headers);
    transfer.headers = nullptr;
    transfer.file.close();
}

void DownloadSessionCore::keepResumeData(DownloadTask &task)
{
    auto &transfer = *task.m_transfer;
    if (task.m_request.destination.isEmpty() || !transfer.file.isOpen())
        return;
    const ResumeData resume { transfer.file.sizeOnDisk(), transfer.validator };
    std::lock_guard lock(task.m_resultMutex);
    task.m_resumeData = resume.isValid() ? resume : ResumeData();
}

} // namespace platform::net
