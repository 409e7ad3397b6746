#include "TreeWalk.h"

#include <ftw.h>
#include <utility>

namespace {

// The walk under way on this thread; a walk started inside a visit restores the outer one.
thread_local const TreeWalk::Visit *currentVisit = nullptr;

int visitEntry(const char *path, const struct stat *info, int type, struct FTW *position)
{
    return (*currentVisit)(path, info, type, position->level);
}

} // namespace

int TreeWalk::walk(const QByteArray &root, Order order, const Visit &visit)
{
    const TreeWalk::Visit *outer = std::exchange(currentVisit, &visit);
    const int flags = FTW_PHYS | FTW_ACTIONRETVAL | (order == Order::FoldersLast ? FTW_DEPTH : 0);
    const int result = ::nftw(root.constData(), visitEntry, openFolders, flags);
    currentVisit = outer;
    return result;
}
