#include "DownloadDigester_p.h"

namespace platform::net {

namespace {

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
{
    reset();
}

void DownloadDigester::reset()
{
    EVP_DigestInit_ex(m_md5.get(), EVP_md5(), nullptr);
    EVP_DigestInit_ex(m_sha256.get(), EVP_sha256(), nullptr);
}

void DownloadDigester::update(const void *data, std::size_t length)
{
    EVP_DigestUpdate(m_md5.get(), data, length);
    EVP_DigestUpdate(m_sha256.get(), data, length);
}

DownloadDigests DownloadDigester::result() const
{
    return { hexDigest(m_md5.get()), hexDigest(m_sha256.get()) };
}

} // namespace platform::net
