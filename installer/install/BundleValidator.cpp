#include "BundleValidator.h"

#include "TreeWalk.h"

#include <platform/PropertyList.h>

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <filesystem>
#include <ftw.h>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Failure = BundleValidator::Failure;

/// As many links in a row as the kernel follows in one path.
constexpr int maxLinkHops = 40;

Failure damaged(const QString &description)
{
    return { QStringLiteral("The downloaded application is damaged."), description };
}

QString shown(const fs::path &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

/// lstat(2) of @p path; nullopt, with errno set, when there is nothing there.
std::optional<struct stat> linkStatus(const fs::path &path)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    return info;
}

/// Whether @p name names a file directly inside a folder: not empty, "." or "..", no "/" and no control characters.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && std::none_of(name.cbegin(), name.cend(),
            [](QChar c) { return c == QLatin1Char('/') || c.category() == QChar::Other_Control; });
}

/**
 * Follows the link at @p link (relative to @p root) one component at a time,
 * replacing each link met inside the bundle by its target, without ever
 * leaving the root: nothing when the link stays inside, else why not.
 */
std::optional<QString> linkEscape(const fs::path &root, const fs::path &link)
{
    const fs::path parent = link.parent_path();
    std::vector<fs::path> folder(parent.begin(), parent.end());
    std::deque<fs::path> pending;
    int hops = 0;
    const auto follow = [&](const fs::path &path) -> std::optional<QString> {
        if (++hops > maxLinkHops)
            return QStringLiteral("more than %1 links in a row").arg(maxLinkHops);
        std::error_code error;
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            return QString::fromStdString(error.message());
        if (target.empty() || target.is_absolute())
            return QStringLiteral("%1 has an absolute target %2").arg(shown(path), shown(target));
        pending.insert(pending.begin(), target.begin(), target.end());
        return std::nullopt;
    };
    if (auto problem = follow(root / link))
        return problem;
    while (!pending.empty()) {
        const fs::path part = pending.front();
        pending.pop_front();
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (folder.empty())
                return QStringLiteral("leads out of the bundle");
            folder.pop_back();
            continue;
        }
        fs::path here = root;
        for (const fs::path &name : folder)
            here /= name;
        here /= part;
        const auto info = linkStatus(here);
        if (info && S_ISLNK(info->st_mode)) {
            if (auto problem = follow(here))
                return problem;
        } else {
            folder.push_back(part);
        }
    }
    return std::nullopt;
}

/// Every link in the tree below @p root stays inside it; the tree is not too large.
/// The walk keeps a bounded number of folders open, so memory does not grow with the depth.
std::optional<Failure> checkTree(const fs::path &root, const BundleValidator::Limits &limits)
{
    std::uint64_t items = 0;
    std::optional<Failure> failure;
    const auto visit = [&](const char *entry, const struct stat *, int type, int level) {
        const fs::path path = entry;
        if (type == FTW_DNR || type == FTW_NS) {
            failure = damaged(QStringLiteral("%1 cannot be read").arg(shown(path)));
            return FTW_STOP;
        }
        if (level == 0)
            return FTW_CONTINUE;
        if (++items > limits.maxItems) {
            failure = damaged(QStringLiteral("%1 holds more than %2 items").arg(shown(root)).arg(limits.maxItems));
            return FTW_STOP;
        }
        if (type != FTW_SL)
            return FTW_CONTINUE;
        if (auto problem = linkEscape(root, path.lexically_relative(root))) {
            failure = damaged(QStringLiteral("the link %1 is refused: %2").arg(shown(path), *problem));
            return FTW_STOP;
        }
        return FTW_CONTINUE;
    };
    const int result = TreeWalk::walk(QByteArray::fromStdString(root.native()), TreeWalk::Order::FoldersFirst, visit);
    if (failure)
        return failure;
    if (result != 0)
        return damaged(
            QStringLiteral("%1 cannot be read: %2").arg(shown(root), QString::fromLocal8Bit(std::strerror(errno))));
    return std::nullopt;
}

/// The information dictionary, read only when its size and nesting are acceptable.
std::optional<Failure> readInfo(const fs::path &root, const BundleValidator::Limits &limits, QVariantMap &info)
{
    const fs::path path = root / "Contents" / "Info.plist";
    const auto status = linkStatus(path);
    if (!status)
        return damaged(QStringLiteral("%1: %2").arg(shown(path), QString::fromLocal8Bit(std::strerror(errno))));
    if (!S_ISREG(status->st_mode))
        return damaged(QStringLiteral("%1 is not a regular file").arg(shown(path)));
    const auto tooLarge
        = damaged(QStringLiteral("%1 is larger than %2 bytes").arg(shown(path)).arg(limits.maxInfoPlistBytes));
    if (status->st_size > limits.maxInfoPlistBytes)
        return tooLarge;
    QFile file(shown(path));
    if (!file.open(QIODevice::ReadOnly))
        return damaged(QStringLiteral("%1: %2").arg(shown(path), file.errorString()));
    const QByteArray data = file.read(limits.maxInfoPlistBytes + 1);
    if (data.size() > limits.maxInfoPlistBytes)
        return tooLarge;
    QString error;
    if (!platform::PropertyList::isNestingWithin(data, limits.maxDepth, &error))
        return damaged(QStringLiteral("%1: %2").arg(shown(path), error));
    const auto value = platform::PropertyList::fromData(data, &error);
    if (!value)
        return damaged(QStringLiteral("%1: %2").arg(shown(path), error));
    if (value->metaType().id() != QMetaType::QVariantMap)
        return damaged(QStringLiteral("%1 is not a dictionary").arg(shown(path)));
    info = value->toMap();
    return std::nullopt;
}

std::optional<Failure> checkExecutable(const fs::path &root, const QVariantMap &info)
{
    const QVariant value = info.value(QStringLiteral("CFBundleExecutable"));
    if (value.metaType().id() != QMetaType::QString)
        return damaged(QStringLiteral("%1 names no CFBundleExecutable").arg(shown(root)));
    const QString name = value.toString();
    if (!isPlainFileName(name))
        return damaged(QStringLiteral("CFBundleExecutable \"%1\" is not a plain file name").arg(name));
    const fs::path path = root / "Contents" / "MacOS" / QFile::encodeName(name).toStdString();
    const auto status = linkStatus(path);
    if (!status)
        return damaged(QStringLiteral("%1: %2").arg(shown(path), QString::fromLocal8Bit(std::strerror(errno))));
    if (!S_ISREG(status->st_mode))
        return damaged(QStringLiteral("%1 is not a regular file").arg(shown(path)));
    if (!(status->st_mode & S_IXUSR))
        return damaged(QStringLiteral("%1 is not executable").arg(shown(path)));
    return std::nullopt;
}

} // namespace

std::optional<BundleValidator::Failure> BundleValidator::validate(const QString &bundlePath, const Limits &limits)
{
    const fs::path root = QFile::encodeName(bundlePath).toStdString();
    const auto status = linkStatus(root);
    if (!status || !S_ISDIR(status->st_mode))
        return damaged(QStringLiteral("%1 is not a folder").arg(bundlePath));
    // Links first: nothing below is read through a link that leads outside.
    if (auto failure = checkTree(root, limits))
        return failure;
    QVariantMap info;
    if (auto failure = readInfo(root, limits, info))
        return failure;
    return checkExecutable(root, info);
}
