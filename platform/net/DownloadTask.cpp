#include "DownloadTask.h"

#include "DownloadTask_p.h"
#include "DownloadWorker_p.h"

namespace platform::net {

namespace {
std::atomic<std::uint64_t> lastTaskIdentifier { 0 };
}

QString TransferError::localizedDescription() const
{
    if (code == UrlError::CannotWriteToFile && fileError == FileError::WriteOutOfSpace)
        return QStringLiteral("The file could not be written because there is not enough space.");
    return urlErrorDescription(code);
}

QString TransferError::description() const
{
    QString text = QStringLiteral("UrlError %1 \"%2\"").arg(int(code)).arg(localizedDescription());
    if (fileError != FileError::None)
        text += QStringLiteral(" file error %1").arg(int(fileError));
    if (!detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(detail);
    return text;
}

bool ResumeData::isValid() const
{
    return offset > 0 && isUsableValidator(validator);
}

DownloadTask::DownloadTask(DownloadRequest request, std::weak_ptr<DownloadWorker> session)
    : m_identifier(++lastTaskIdentifier)
    , m_request(std::move(request))
    , m_session(std::move(session))
    , m_transfer(std::make_unique<Transfer>())
{
}

DownloadTask::~DownloadTask() = default;

std::uint64_t DownloadTask::taskIdentifier() const
{
    return m_identifier;
}

const DownloadRequest &DownloadTask::request() const
{
    return m_request;
}

DownloadTask::State DownloadTask::state() const
{
    return m_state.load();
}

std::int64_t DownloadTask::countOfBytesReceived() const
{
    return m_received.load();
}

std::int64_t DownloadTask::countOfBytesExpectedToReceive() const
{
    return m_expected.load();
}

DownloadDigests DownloadTask::digests() const
{
    std::lock_guard lock(m_resultMutex);
    return m_digests;
}

ResumeData DownloadTask::resumeData() const
{
    std::lock_guard lock(m_resultMutex);
    return m_resumeData;
}

void DownloadTask::resume()
{
    State expected = State::Suspended;
    if (m_state.compare_exchange_strong(expected, State::Running))
        wakeSession();
}

void DownloadTask::suspend()
{
    State expected = State::Running;
    if (m_state.compare_exchange_strong(expected, State::Suspended))
        wakeSession();
}

void DownloadTask::cancel()
{
    for (State current = m_state.load(); current == State::Running || current == State::Suspended;) {
        if (m_state.compare_exchange_weak(current, State::Canceling)) {
            wakeSession();
            return;
        }
    }
}

void DownloadTask::wakeSession() const
{
    if (auto session = m_session.lock())
        session->wake();
}

} // namespace platform::net
