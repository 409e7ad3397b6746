#pragma once

// Internal to DownloadSession: the digests of a body, fed as it arrives.

#include <platform/net/DownloadTask.h>

#include <openssl/evp.h>

#include <memory>

namespace platform::net {

/// Computes MD5 and SHA-256 together over bytes fed in order.
class DownloadDigester {
public:
    DownloadDigester();
    DownloadDigester(const DownloadDigester &) = delete;
    DownloadDigester &operator=(const DownloadDigester &) = delete;

    /// Starts again as if nothing had been fed.
    void reset();
    void update(const void *data, std::size_t length);
    /// The digests of everything fed since the last reset(); feeding may go on.
    DownloadDigests result() const;

private:
    struct ContextDeleter {
        void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
    };
    using Context = std::unique_ptr<EVP_MD_CTX, ContextDeleter>;

    Context m_md5 { EVP_MD_CTX_new() };
    Context m_sha256 { EVP_MD_CTX_new() };
};

} // namespace platform::net
