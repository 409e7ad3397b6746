#pragma once

#include <QByteArray>

#include <functional>

struct stat;

/**
 * Walks a folder tree with nftw(3), calling a callable for each entry (nftw
 * itself takes a plain function without context). Links are not followed, and
 * at most openFolders folders are held open whatever the depth, so the walk's
 * memory does not grow with it.
 *
 * @code
 * TreeWalk::walk(root, TreeWalk::Order::FoldersFirst, [&](const char *path, const struct stat *info, int type, int) {
 *     return type == FTW_F ? countFile(path, *info) : FTW_CONTINUE;
 * });
 * @endcode
 */
class TreeWalk {
public:
    /// Called with an entry's path, its lstat (undefined for FTW_NS), nftw's
    /// type (FTW_F, FTW_D, FTW_DP, FTW_SL, FTW_DNR, FTW_NS) and its depth (0 for
    /// the root); returns FTW_CONTINUE, FTW_SKIP_SUBTREE or FTW_STOP.
    using Visit = std::function<int(const char *path, const struct stat *info, int type, int level)>;

    enum class Order {
        FoldersFirst, ///< a folder before what it holds
        FoldersLast, ///< a folder after what it holds
    };

    static constexpr int openFolders = 16;

    /// Walks the tree at @p root: 0 when every entry was visited, FTW_STOP when
    /// @p visit stopped the walk, -1 when the walk itself failed (errno says why).
    static int walk(const QByteArray &root, Order order, const Visit &visit);
};
