#pragma once

#include <QString>

namespace platform::net {

/// Digests of a downloaded body as lower-case hex; empty until known.
struct DownloadDigests {
    QString md5;
    QString sha256;
    /// What a prehashed minisign signature signs.
    QString blake2b512;
};

} // namespace platform::net
