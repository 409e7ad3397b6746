#include "UrlSession.h"

#include <platform/Scheduler.h>

#include <QFile>

#include <curl/curl.h>

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
    headers.append({name, value});
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

// Longest a PEM file of extra authorities may be; a larger file is not one.
constexpr qint64 maximumCaFileSize = 4 * 1024 * 1024;

struct Task {
    TaskId id = 0;
    UrlRequest request;
    UrlSession::Completion completion;
    CURL *easy = nullptr;
    curl_slist *headerList = nullptr;
    QByteArray url;
    QByteArray caBundle;
    UrlResponse response;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    ~Task()
    {
        if (easy)
            curl_easy_cleanup(easy);
        curl_slist_free_all(headerList);
    }
};

size_t collectBody(char *data, size_t size, size_t count, void *user)
{
    auto *task = static_cast<Task *>(user);
    const size_t bytes = size * count;
    const qsizetype room = UrlSession::maximumResponseSize - task->response.data.size();
    if (room > 0)
        task->response.data.append(data, qsizetype(std::min<size_t>(bytes, size_t(room))));
    return bytes;
}

QByteArray readExtraAuthorities()
{
    const QString path = UrlSession::extraCaFile();
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumCaFileSize)
        return {};
    return file.readAll();
}

} // namespace

class UrlSession::Private
{
public:
    Private();
    ~Private();

    void run();
    bool setUp(Task &task);
    void finish(std::unique_ptr<Task> task, UrlResponse response);
    void deliver(std::unique_ptr<Task> task);

    CURLM *multi = nullptr;
    std::thread worker;

    std::mutex mutex; // guards incoming, cancelled and stopping
    std::vector<std::unique_ptr<Task>> incoming;
    std::vector<TaskId> cancelled;
    bool stopping = false;

    std::map<TaskId, std::unique_ptr<Task>> active; // worker thread only
    std::atomic<TaskId> lastId{0};
    std::atomic<int> running{0};
};

UrlSession::Private::Private()
{
    static std::once_flag globalInit;
    std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    multi = curl_multi_init();
    worker = std::thread([this] { run(); });
}

UrlSession::Private::~Private()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    curl_multi_wakeup(multi);
    worker.join();
    for (auto &[id, task] : active)
        curl_multi_remove_handle(multi, task->easy);
    active.clear();
    curl_multi_cleanup(multi);
}

bool UrlSession::Private::setUp(Task &task)
{
    const QString scheme = task.request.url.scheme();
    if (!task.request.url.isValid() || task.request.url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        task.response.error = task.request.url.isValid() ? UrlError::UnsupportedURL : UrlError::BadURL;
        return false;
    }
    task.easy = curl_easy_init();
    if (!task.easy) {
        task.response.error = UrlError::Unknown;
        return false;
    }
    CURL *easy = task.easy;
    task.url = task.request.url.toEncoded();
    curl_easy_setopt(easy, CURLOPT_URL, task.url.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(task.request.timeout.count()));
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, task.errorBuffer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &collectBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &task);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &task);

    const QByteArray method = task.request.method.toUpper();
    if (method == "POST" || !task.request.body.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(task.request.body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, task.request.body.constData());
    }
    if (method != "GET" && method != "POST")
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.constData());

    // No "Expect: 100-continue" round trip: the bodies are small and some
    // servers never answer it, which costs a second per request.
    task.request.setHeader("Expect", QByteArray());
    for (const auto &[name, value] : std::as_const(task.request.headers)) {
        const QByteArray line = value.isEmpty() ? name + ':' : name + ": " + value;
        task.headerList = curl_slist_append(task.headerList, line.constData());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, task.headerList);

    // The extra authorities are added to the default store, which stays in use.
    task.caBundle = readExtraAuthorities();
    if (!task.caBundle.isEmpty()) {
        curl_blob blob{task.caBundle.data(), size_t(task.caBundle.size()), CURL_BLOB_NOCOPY};
        curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
    }
    return true;
}

void UrlSession::Private::run()
{
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
            curl_multi_add_handle(multi, task->easy);
            const TaskId id = task->id;
            active.emplace(id, std::move(task));
        }
        for (TaskId id : stop) {
            auto found = active.find(id);
            if (found == active.end())
                continue;
            std::unique_ptr<Task> task = std::move(found->second);
            active.erase(found);
            curl_multi_remove_handle(multi, task->easy);
            finish(std::move(task), UrlResponse{UrlError::Cancelled, 0, {}, QStringLiteral("cancelled")});
        }

        int stillRunning = 0;
        curl_multi_perform(multi, &stillRunning);
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(multi, &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            Task *finished = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &finished);
            const CURLcode result = message->data.result;
            auto found = active.find(finished->id);
            std::unique_ptr<Task> task = std::move(found->second);
            active.erase(found);
            curl_multi_remove_handle(multi, task->easy);

            UrlResponse response;
            response.data = std::move(task->response.data);
            response.error = urlErrorFromCurl(result);
            if (result == CURLE_OK) {
                long status = 0;
                curl_easy_getinfo(task->easy, CURLINFO_RESPONSE_CODE, &status);
                response.statusCode = int(status);
            } else {
                response.errorText = QString::fromUtf8(task->errorBuffer[0] ? task->errorBuffer
                                                                            : curl_easy_strerror(result));
            }
            finish(std::move(task), std::move(response));
        }
        // Sleeps until a socket is ready, a task arrives (wake-up) or a
        // second passes, whichever is first.
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
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
        Scheduler::shared().post([completion = std::move(completion), response = std::move(response)] {
            completion(response);
        });
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
    curl_multi_wakeup(d->multi);
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
    curl_multi_wakeup(d->multi);
}

int UrlSession::runningTaskCount() const
{
    return d->running.load();
}

QString UrlSession::extraCaFile()
{
    return qEnvironmentVariable("PRISMORA_CA_FILE");
}

} // namespace platform::net
