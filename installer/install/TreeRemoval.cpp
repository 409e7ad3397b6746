#include "TreeRemoval.h"

#include "TreeWalk.h"

#include <QFile>

#include <cerrno>
#include <ftw.h>
#include <unistd.h>

std::optional<TreeRemoval::Failure> TreeRemoval::remove(const QString &path)
{
    std::optional<Failure> firstFailure;
    const auto removeEntry = [&](const char *entry, const struct stat *, int type, int) {
        const bool folder = type == FTW_DP || type == FTW_DNR;
        if ((folder ? ::rmdir(entry) : ::unlink(entry)) != 0 && errno != ENOENT && !firstFailure)
            firstFailure = Failure { errno, QFile::decodeName(entry) };
        return FTW_CONTINUE;
    };
    if (TreeWalk::walk(QFile::encodeName(path), TreeWalk::Order::FoldersLast, removeEntry) != 0 && errno != ENOENT
        && !firstFailure)
        firstFailure = Failure { errno, path };
    return firstFailure;
}
