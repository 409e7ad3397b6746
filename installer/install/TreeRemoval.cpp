#include "TreeRemoval.h"

#include <QFile>

#include <cerrno>
#include <ftw.h>
#include <unistd.h>
#include <utility>

namespace {

// nftw(3) gives its callback no context; each thread removes one tree at a time.
thread_local std::optional<TreeRemoval::Failure> firstFailure;

// At most this many folders are held open while walking; deeper ones are reopened.
constexpr int openFolders = 16;

int removeEntry(const char *path, const struct stat *, int type, struct FTW *)
{
    const bool folder = type == FTW_DP || type == FTW_DNR;
    if ((folder ? ::rmdir(path) : ::unlink(path)) == 0)
        return 0;
    const int error = errno;
    if (error != ENOENT && !firstFailure)
        firstFailure = TreeRemoval::Failure { error, QFile::decodeName(path) };
    return 0;
}

} // namespace

std::optional<TreeRemoval::Failure> TreeRemoval::remove(const QString &path)
{
    firstFailure.reset();
    const QByteArray encoded = QFile::encodeName(path);
    if (::nftw(encoded.constData(), removeEntry, openFolders, FTW_DEPTH | FTW_PHYS) != 0 && errno != ENOENT
        && !firstFailure)
        firstFailure = Failure { errno, path };
    return std::exchange(firstFailure, std::nullopt);
}
