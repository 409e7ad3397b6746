#include "UrlSession.h"

#include "CurlEasySetup_p.h"
#include "CurlLibrary.h"

#include <platform/Scheduler.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::net {

void UrlRequest::setHeader(const QByteArray &name, const QByteArray &value)
{
    for (auto &field : headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0) {
            field.second = value;
            return;
        }
    }
    headers.append({ name, value });
}

QByteArray UrlRequest::header(const QByteArray &name) const
{
    for (const auto &field : headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return {};
}

namespace {

struct Task {
    TaskId id = 0;
    UrlRequest request;
    UrlSession::Completion completion;
    CURL *easy = nullptr;
    curl_slist *headerList = nullptr;
    QByteArray url;
    UrlResponse response;
    bool tooLong = false;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    // Both handles exist only once libcurl is loaded.
    ~Task()
    {
        if (easy)
            CurlLibrary::instance().easyCleanup(easy);
        if (headerList)
            CurlLibrary::instance().slistFreeAll(headerList);
    }
};

size_t collectBody(char *data, size_t size, size_t count, void *user)
{
    auto *task = static_cast<Task *>(user);
    const size_t bytes = size * count;
    if (const qsizetype limit = task->request.maximumSize; limit > 0) {
        if (bytes > size_t(limit - task->response.data.size())) {
            task->tooLong = true;
            return 0; // ends the transfer
        }
        task->response.data.append(data, qsizetype(bytes));
        return bytes;
    }
    const qsizetype room = UrlSession::maximumResponseSize - task->response.data.size();
    if (room > 0)
        task->response.data.append(data, qsizetype(std::min<size_t>(bytes, size_t(room))));
    return bytes;
}

} // namespace

class UrlSession::Private {
public:
    Private();
    ~Private();

    void run();
    void failUntilStopped(const QString &reason);
    void wake();
    bool setUp(Task &task);
    void finish(std::unique_ptr<Task> task, UrlResponse response);
    void deliver(std::unique_ptr<Task> task);

    CurlLibrary &curl = CurlLibrary::instance();
    // Published by the worker once libcurl is loaded; null until then and
    // for good when it cannot be loaded.
    std::atomic<CURLM *> multi { nullptr };
    std::thread worker;

    std::mutex mutex; // guards incoming, cancelled and stopping
    std::condition_variable arrived; // wakes the worker while multi is null
    std::vector<std::unique_ptr<Task>> incoming;
    std::vector<TaskId> cancelled;
    bool stopping = false;

    std::map<TaskId, std::unique_ptr<Task>> active; // worker thread only
    std::atomic<TaskId> lastId { 0 };
    std::atomic<int> running { 0 };
};

UrlSession::Private::Private()
{
    worker = std::thread([this] { run(); });
}

UrlSession::Private::~Private()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    wake();
    worker.join();
    CURLM *handle = multi.load();
    for (auto &[id, task] : active)
        curl.multiRemoveHandle(handle, task->easy);
    active.clear();
    if (handle)
        curl.multiCleanup(handle);
}

void UrlSession::Private::wake()
{
    if (CURLM *handle = multi.load())
        curl.multiWakeup(handle);
    else
        arrived.notify_one();
}

bool UrlSession::Private::setUp(Task &task)
{
    const QString scheme = task.request.url.scheme();
    if (!task.request.url.isValid() || task.request.url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        task.response.error = task.request.url.isValid() ? UrlError::UnsupportedURL : UrlError::BadURL;
        return false;
    }
    task.easy = curl.easyInit();
    if (!task.easy) {
        task.response.error = UrlError::Unknown;
        return false;
    }
    CURL *easy = task.easy;
    task.url = task.request.url.toEncoded();
    curl.easySetopt(easy, CURLOPT_URL, task.url.constData());
    setUpEasyHandle(easy, task.request.followsRedirects ? Redirects::HttpsOnly : Redirects::Refused, task.errorBuffer);
    curl.easySetopt(easy, CURLOPT_TIMEOUT_MS, long(task.request.timeout.count()));
    curl.easySetopt(easy, CURLOPT_WRITEFUNCTION, &collectBody);
    curl.easySetopt(easy, CURLOPT_WRITEDATA, &task);
    curl.easySetopt(easy, CURLOPT_PRIVATE, &task);

    const QByteArray method = task.request.method.toUpper();
    if (method == "POST" || !task.request.body.isEmpty()) {
        curl.easySetopt(easy, CURLOPT_POST, 1L);
        curl.easySetopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(task.request.body.size()));
        curl.easySetopt(easy, CURLOPT_POSTFIELDS, task.request.body.constData());
    }
    if (method != "GET" && method != "POST")
        curl.easySetopt(easy, CURLOPT_CUSTOMREQUEST, method.constData());

    // No "Expect: 100-continue" round trip: the bodies are small and some
    // servers never answer it, which costs a second per request.
    task.request.setHeader("Expect", QByteArray());
    for (const auto &[name, value] : std::as_const(task.request.headers)) {
        const QByteArray line = value.isEmpty() ? name + ':' : name + ": " + value;
        task.headerList = curl.slistAppend(task.headerList, line.constData());
    }
    curl.easySetopt(easy, CURLOPT_HTTPHEADER, task.headerList);
    return true;
}

void UrlSession::Private::run()
{
    // Loaded here rather than by the constructor, which runs on the thread
    // that first wants a session, usually while the first window is built.
    CURLM *const handle = curl.load() ? curl.multiInit() : nullptr;
    if (!handle) {
        failUntilStopped(curl.load() ? QStringLiteral("libcurl cannot create a multi handle") : curl.errorString());
        return;
    }
    multi.store(handle);

    for (;;) {
        std::vector<std::unique_ptr<Task>> started;
        std::vector<TaskId> stop;
        {
            std::lock_guard lock(mutex);
            if (stopping)
                return;
            started.swap(incoming);
            stop.swap(cancelled);
        }
        for (auto &task : started) {
            if (!setUp(*task)) {
                deliver(std::move(task));
                continue;
            }
            curl.multiAddHandle(handle, task->easy);
            const TaskId id = task->id;
            active.emplace(id, std::move(task));
        }
        for (TaskId id : stop) {
            auto found = active.find(id);
            if (found == active.end())
                continue;
            std::unique_ptr<Task> task = std::move(found->second);
            active.erase(found);
            curl.multiRemoveHandle(handle, task->easy);
            finish(std::move(task), UrlResponse { UrlError::Cancelled, 0, {}, QStringLiteral("cancelled") });
        }

        int stillRunning = 0;
        curl.multiPerform(handle, &stillRunning);
        int queued = 0;
        while (CURLMsg *message = curl.multiInfoRead(handle, &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            Task *finished = nullptr;
            curl.easyGetinfo(message->easy_handle, CURLINFO_PRIVATE, &finished);
            const CURLcode result = message->data.result;
            auto found = active.find(finished->id);
            std::unique_ptr<Task> task = std::move(found->second);
            active.erase(found);
            curl.multiRemoveHandle(handle, task->easy);

            UrlResponse response;
            response.data = std::move(task->response.data);
            response.error = task->tooLong ? UrlError::DataLengthExceedsMaximum : urlErrorFromCurl(result);
            if (task->tooLong) {
                response.errorText = QStringLiteral("the body is longer than %1 bytes").arg(task->request.maximumSize);
            } else if (result == CURLE_OK) {
                long status = 0;
                curl.easyGetinfo(task->easy, CURLINFO_RESPONSE_CODE, &status);
                response.statusCode = int(status);
            } else {
                response.errorText
                    = QString::fromUtf8(task->errorBuffer[0] ? task->errorBuffer : curl.easyStrerror(result));
            }
            finish(std::move(task), std::move(response));
        }
        // Sleeps until a socket is ready, a task arrives (wake-up) or a
        // second passes, whichever is first.
        curl.multiPoll(handle, nullptr, 0, 1000, nullptr);
    }
}

void UrlSession::Private::failUntilStopped(const QString &reason)
{
    for (;;) {
        std::vector<std::unique_ptr<Task>> started;
        {
            std::unique_lock lock(mutex);
            arrived.wait(lock, [this] { return stopping || !incoming.empty(); });
            if (stopping)
                return;
            started.swap(incoming);
            cancelled.clear();
        }
        for (auto &task : started)
            finish(std::move(task), UrlResponse { UrlError::Unknown, 0, {}, reason });
    }
}

void UrlSession::Private::finish(std::unique_ptr<Task> task, UrlResponse response)
{
    task->response = std::move(response);
    deliver(std::move(task));
}

void UrlSession::Private::deliver(std::unique_ptr<Task> task)
{
    running.fetch_sub(1);
    Completion completion = std::move(task->completion);
    UrlResponse response = std::move(task->response);
    task.reset();
    if (completion)
        Scheduler::shared().post(
            [completion = std::move(completion), response = std::move(response)] { completion(response); });
}

UrlSession::UrlSession()
    : d(std::make_unique<Private>())
{
}

UrlSession::~UrlSession() = default;

UrlSession &UrlSession::shared()
{
    static UrlSession session;
    return session;
}

TaskId UrlSession::dataTask(UrlRequest request, Completion completion)
{
    auto task = std::make_unique<Task>();
    task->id = ++d->lastId;
    task->request = std::move(request);
    task->completion = std::move(completion);
    const TaskId id = task->id;
    d->running.fetch_add(1);
    {
        std::lock_guard lock(d->mutex);
        d->incoming.push_back(std::move(task));
    }
    d->wake();
    return id;
}

void UrlSession::cancel(TaskId id)
{
    if (id == 0)
        return;
    {
        std::lock_guard lock(d->mutex);
        d->cancelled.push_back(id);
    }
    d->wake();
}

int UrlSession::runningTaskCount() const
{
    return d->running.load();
}

QString UrlSession::extraCaFile()
{
    return extraAuthoritiesFile();
}

} // namespace platform::net
