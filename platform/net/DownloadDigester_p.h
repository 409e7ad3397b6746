#pragma once

// Internal to DownloadSession: the digests of a body, fed as it arrives.

#include <platform/net/DownloadDigests.h>

#include <QByteArray>

#include <openssl/evp.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::net {

/**
 * Computes MD5, SHA-256 and BLAKE2b-512 together over bytes fed in order.
 *
 * The hashing runs on a thread of its own, so that a transfer is not slowed
 * by it: update() only copies the bytes into 1 MiB pieces and queues them (at
 * most a few pieces wait; a feeder that gets ahead waits for the hasher).
 * reset() and result() wait until everything fed has been hashed.
 */
class DownloadDigester {
public:
    DownloadDigester();
    ~DownloadDigester();
    DownloadDigester(const DownloadDigester &) = delete;
    DownloadDigester &operator=(const DownloadDigester &) = delete;

    /// Starts again as if nothing had been fed.
    void reset();
    void update(const void *data, std::size_t length);
    /// The digests of everything fed since the last reset(); feeding may go on.
    DownloadDigests result();

private:
    struct ContextDeleter {
        void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
    };
    using Context = std::unique_ptr<EVP_MD_CTX, ContextDeleter>;

    void submit();
    void drain();
    void run();

    // Touched by the hashing thread while it works, by the feeder only once drained.
    Context m_md5 { EVP_MD_CTX_new() };
    Context m_sha256 { EVP_MD_CTX_new() };
    Context m_blake2b512 { EVP_MD_CTX_new() };
    QByteArray m_filling; // the feeder's piece in progress
    std::mutex m_mutex; // guards the fields below
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queue;
    bool m_hashing = false;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace platform::net
