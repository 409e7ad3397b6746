#include "DownloadDigester_p.h"

namespace platform::net {

namespace {

constexpr qsizetype pieceSize = 1024 * 1024;
constexpr std::size_t queuedPieces = 4;

QString hexDigest(const EVP_MD_CTX *context)
{
    // Finishing a copy leaves the running context open for more bytes.
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX *)> copy(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!copy || !EVP_MD_CTX_copy_ex(copy.get(), context) || !EVP_DigestFinal_ex(copy.get(), digest, &length))
        return QString();
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}

} // namespace

DownloadDigester::DownloadDigester()
    : m_thread([this] { run(); })
{
    reset();
}

DownloadDigester::~DownloadDigester()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void DownloadDigester::reset()
{
    m_filling.clear();
    drain();
    EVP_DigestInit_ex(m_md5.get(), EVP_md5(), nullptr);
    EVP_DigestInit_ex(m_sha256.get(), EVP_sha256(), nullptr);
    EVP_DigestInit_ex(m_blake2b512.get(), EVP_blake2b512(), nullptr);
}

void DownloadDigester::update(const void *data, std::size_t length)
{
    m_filling.append(static_cast<const char *>(data), qsizetype(length));
    if (m_filling.size() >= pieceSize)
        submit();
}

DownloadDigests DownloadDigester::result()
{
    drain();
    return { hexDigest(m_md5.get()), hexDigest(m_sha256.get()), hexDigest(m_blake2b512.get()) };
}

void DownloadDigester::submit()
{
    if (m_filling.isEmpty())
        return;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < queuedPieces; });
    m_queue.push_back(std::move(m_filling));
    m_filling = QByteArray();
    m_filling.reserve(pieceSize);
    lock.unlock();
    m_changed.notify_all();
}

void DownloadDigester::drain()
{
    submit();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_hashing; });
}

void DownloadDigester::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        const QByteArray piece = std::move(m_queue.front());
        m_queue.pop_front();
        m_hashing = true;
        lock.unlock();
        EVP_DigestUpdate(m_md5.get(), piece.constData(), std::size_t(piece.size()));
        EVP_DigestUpdate(m_sha256.get(), piece.constData(), std::size_t(piece.size()));
        EVP_DigestUpdate(m_blake2b512.get(), piece.constData(), std::size_t(piece.size()));
        lock.lock();
        m_hashing = false;
        m_changed.notify_all();
    }
}

} // namespace platform::net
