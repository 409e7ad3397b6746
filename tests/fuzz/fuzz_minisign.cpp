// Signature files as a hostile mirror may serve them: any input is read or
// refused with a reason, and none is ever accepted for the trusted key, whose
// secret half nobody has.
#include "FuzzInput.h"

#include <installer/install/ArchiveSignatureCheck.h>

#include <cstdlib>

namespace {

// "Ed", key id 0123456789ABCDEF (stored little-endian), then 32 bytes 00 01 ... 1f.
const char trustedKey[] = "RWTvzauJZ0UjAQABAgMEBQYHCAkKCwwNDg8QERITFBUWFxgZGhscHR4f";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const ArchiveSignatureCheck check(QString::fromLatin1(trustedKey));
    const QByteArray text = FuzzInput::bytes(data, size);
    QString error;
    if (check.accept(text, QStringLiteral("prismora.zip"), &error) || error.isEmpty())
        std::abort();
    if (const auto signature = MinisignSignature::parse(text, &error)) {
        if (signature->keyId().size() != MinisignKey::keyIdSize)
            std::abort();
        signature->printableTrustedComment();
        signature->fileNames();
    }
    return 0;
}
