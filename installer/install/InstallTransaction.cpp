#include "InstallTransaction.h"

#include "BundleValidator.h"
#include "FolderLock.h"
#include "Product.h"
#include "SwapJournal.h"
#include "TreeCopy.h"
#include "TreeRemoval.h"

#include <platform/FileError.h>
#include <platform/FileManager.h>
#include <platform/FileSync.h>
#include <platform/Folders.h>
#include <platform/KSTLogManager.h>
#include <platform/PrivilegedRemoval.h>
#include <platform/ZipArchive.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Result = InstallTransaction::Result;
using Outcome = InstallTransaction::Outcome;
using Step = InstallTransaction::Step;

const char stagingPrefix[] = ".prismora-install-";
const char previousName[] = "previous.app";
// Ignored top-level entries named in a result; an archive may hold thousands.
constexpr qsizetype namedIgnoredEntries = 100;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool exists(const QString &path)
{
    struct stat info { };
    return ::lstat(encoded(path).constData(), &info) == 0;
}

bool isOutOfSpace(int errorNumber)
{
    return errorNumber == ENOSPC || errorNumber == EDQUOT;
}

Result failure(Step step, FailedReason reason, const QString &localized, const QString &description)
{
    Result result;
    result.outcome = Outcome::Failed;
    result.step = step;
    result.reason = reason;
    result.localizedDescription = localized;
    result.description = description;
    return result;
}

/// A failed file operation on @p path while placing; a full disk names @p folder.
Result placeFailure(int errorNumber, const QString &what, const QString &path, const QString &folder)
{
    const auto error = platform::fileErrorFromErrno(errorNumber, true);
    const QString name = QFileInfo(path).fileName();
    QString localized = QStringLiteral("“%1” couldn’t be %2.").arg(name, what);
    if (isOutOfSpace(errorNumber))
        localized = QStringLiteral("There isn’t enough space in “%1”.").arg(folder);
    else if (errorNumber == EROFS)
        localized = QStringLiteral("“%1” is on a read-only volume.").arg(name);
    else if (errorNumber == EACCES || errorNumber == EPERM)
        localized = QStringLiteral("You don’t have permission to change “%1”.").arg(name);
    Result result
        = failure(Step::Place, isOutOfSpace(errorNumber) ? FailedReason::write : FailedReason::install, localized,
            QStringLiteral("FileError %1 \"%2\" path: %3 (%4)")
                .arg(int(error))
                .arg(localized, path, QString::fromLocal8Bit(std::strerror(errorNumber))));
    if (isOutOfSpace(errorNumber))
        result.fullFolder = folder;
    result.errorNumber = errorNumber;
    return result;
}

void logLeftover(const TreeRemoval::Failure &left)
{
    platform::KSTLogManager::writeInfoLog(QStringLiteral("InstallTransaction could not remove %1: %2")
                                              .arg(left.path, QString::fromLocal8Bit(std::strerror(left.errorNumber))));
}

/// Removes @p path; what is left is logged, for recover() to remove on a later run.
void removeTree(const QString &path)
{
    if (const auto left = TreeRemoval::remove(path))
        logLeftover(*left);
}

/// Moves @p from to @p to through the file manager; false with errno set when it cannot.
bool move(const QString &from, const QString &to, platform::FileManager::MoveMode mode)
{
    const int error = platform::FileManager::shared().moveItem(from, to, mode);
    errno = error;
    return error == 0;
}

bool moveNoReplace(const QString &from, const QString &to)
{
    return move(from, to, platform::FileManager::MoveMode::NoReplace);
}

bool needsAdministrator(int errorNumber)
{
    return errorNumber == EACCES || errorNumber == EPERM;
}

} // namespace

InstallTransaction::InstallTransaction(QString archive, QString unpackFolder, QString applicationsFolder)
    : InstallTransaction(std::move(archive), std::move(unpackFolder), std::move(applicationsFolder), Options())
{
}

InstallTransaction::InstallTransaction(
    QString archive, QString unpackFolder, QString applicationsFolder, Options options)
    : m_archive(std::move(archive))
    , m_unpackFolder(std::move(unpackFolder))
    , m_applications(std::move(applicationsFolder))
    , m_options(std::move(options))
{
}

void InstallTransaction::reach(Phase phase) const
{
    if (m_options.phaseReached)
        m_options.phaseReached(phase);
}

InstallTransaction::Result InstallTransaction::run()
{
    Result result = unpack();
    if (result.outcome != Outcome::Installed)
        return result;
    reach(Phase::Unpacked);

    const FolderLock lock(m_applications);
    QByteArray pattern = encoded(m_applications) + '/' + stagingPrefix + "XXXXXX";
    if (lock.error() != 0 || !::mkdtemp(pattern.data())) {
        // Taken before removing the unpack folder, which sets errno again.
        const int error = lock.error() ? lock.error() : errno;
        removeTree(m_unpackFolder);
        if (error == EWOULDBLOCK) {
            return failure(Step::Place, FailedReason::install, QStringLiteral("Another installation is in progress."),
                QStringLiteral("the applications folder %1 is locked by another installer").arg(m_applications));
        }
        return placeFailure(error, QStringLiteral("staged"), m_applications, m_applications);
    }
    const QString staging = QFile::decodeName(pattern);

    const QStringList ignored = result.ignoredEntries;
    const qsizetype unnamed = result.unnamedIgnoredEntries;
    result = stage(staging);
    if (result.outcome == Outcome::Installed) {
        reach(Phase::Staged);
        if (const auto invalid = BundleValidator::validate(staging + QLatin1Char('/') + Product::bundleName())) {
            result = failure(Step::Place, FailedReason::install, invalid->localizedDescription, invalid->description);
        } else {
            reach(Phase::Validated);
            result = swap(staging);
        }
    }
    // Whatever the outcome, the staging folder now holds nothing anyone needs:
    // the rejected new copy, or the old copy after a swap.
    if (const auto left = TreeRemoval::remove(staging)) {
        // The old copy may hold files only the administrator may delete.
        if (result.outcome != Outcome::Installed || platform::PrivilegedRemoval::shared().remove(staging))
            logLeftover(*left);
    }
    SwapJournal::remove(m_applications);
    removeTree(m_unpackFolder);
    result.ignoredEntries = ignored;
    result.unnamedIgnoredEntries = unnamed;
    return result;
}

InstallTransaction::Result InstallTransaction::unpack()
{
    if (const auto error = platform::ZipArchive::unzip(m_archive, m_unpackFolder, false)) {
        Result result = failure(Step::Unpack,
            error->fileError == platform::FileError::WriteOutOfSpace ? FailedReason::write : FailedReason::install,
            error->localizedDescription(), error->message);
        if (result.reason == FailedReason::write)
            result.fullFolder = QFileInfo(m_unpackFolder).absolutePath();
        removeTree(m_unpackFolder);
        return result;
    }
    if (m_options.removeArchiveWhenUnpacked)
        QFile::remove(m_archive);
    Result result;
    QDirIterator entries(m_unpackFolder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QString entry = QFileInfo(entries.next()).fileName();
        if (entry == Product::bundleName())
            continue;
        if (result.ignoredEntries.size() < namedIgnoredEntries)
            result.ignoredEntries << entry;
        else
            ++result.unnamedIgnoredEntries;
    }
    std::sort(result.ignoredEntries.begin(), result.ignoredEntries.end(),
        [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    struct stat info { };
    const QString bundle = m_unpackFolder + QLatin1Char('/') + Product::bundleName();
    if (::lstat(encoded(bundle).constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        removeTree(m_unpackFolder);
        return failure(Step::Unpack, FailedReason::install,
            QStringLiteral("The archive does not contain %1.").arg(Product::bundleName()),
            QStringLiteral("%1 is missing from the archive %2").arg(Product::bundleName(), m_archive));
    }
    return result;
}

InstallTransaction::Result InstallTransaction::stage(const QString &staging)
{
    const QString source = m_unpackFolder + QLatin1Char('/') + Product::bundleName();
    const QString staged = staging + QLatin1Char('/') + Product::bundleName();
    // On one volume staging is a rename; only across volumes are the bytes copied.
    if (::rename(encoded(source).constData(), encoded(staged).constData()) == 0)
        return {};
    if (errno != EXDEV)
        return placeFailure(errno, QStringLiteral("staged"), source, m_applications);

    const std::uint64_t needed = TreeCopy::size(source);
    const auto free = platform::Folders::freeSpace(m_applications);
    if (free && needed > std::uint64_t(*free))
        return placeFailure(ENOSPC, QStringLiteral("staged"), staged, m_applications);
    if (const auto failed = TreeCopy::copy(source, staged))
        return placeFailure(failed->errorNumber, QStringLiteral("copied"), failed->path, m_applications);
    return {};
}

InstallTransaction::Result InstallTransaction::swap(const QString &staging)
{
    const QString staged = staging + QLatin1Char('/') + Product::bundleName();
    const QString target = m_applications + QLatin1Char('/') + Product::bundleName();
    // Every file and folder of the new copy is on disk before the journal
    // names it, and the journal before anything installed is touched. One
    // syncfs costs one cache flush where a sync per file costs one each.
    if (const int error = platform::FileSync::syncFileSystem(staging))
        return placeFailure(error, QStringLiteral("written to disk"), staged, m_applications);
    const auto identity = SwapJournal::identity(staged);
    const int journalError = identity ? SwapJournal::write(m_applications, { QFileInfo(staging).fileName(), *identity })
                                      : (errno ? errno : EIO);
    if (journalError != 0)
        return placeFailure(
            journalError, QStringLiteral("journaled"), SwapJournal::path(m_applications), m_applications);
    reach(Phase::Swapping);

    if (!exists(target)) {
        if (!moveNoReplace(staged, target))
            return placeFailure(errno, QStringLiteral("moved into place"), target, m_applications);
        return settle([&] { moveNoReplace(target, staged); });
    }
    if (m_options.exchange && move(staged, target, platform::FileManager::MoveMode::Exchange))
        return settle([&] { move(staged, target, platform::FileManager::MoveMode::Exchange); });
    int error = m_options.exchange ? errno : EINVAL;
    if (error == EINVAL || error == ENOSYS) {
        // The file system cannot exchange: move the old copy aside first.
        const QString previous = staging + QLatin1Char('/') + QLatin1String(previousName);
        if (moveNoReplace(target, previous)) {
            reach(Phase::MovedAside);
            if (moveNoReplace(staged, target)) {
                return settle([&] {
                    moveNoReplace(target, staged);
                    moveNoReplace(previous, target);
                });
            }
            error = errno;
            moveNoReplace(previous, target);
            platform::FileSync::syncFolder(m_applications);
            return placeFailure(error, QStringLiteral("moved into place"), target, m_applications);
        }
        error = errno;
    }
    if (!needsAdministrator(error))
        return placeFailure(error, QStringLiteral("replaced"), target, m_applications);

    // Only the administrator may move the old copy: remove it with those rights, then move in.
    if (const auto refused = platform::PrivilegedRemoval::shared().remove(target)) {
        Result blocked = failure(Step::Place, FailedReason::install,
            QStringLiteral("“%1” couldn’t be replaced.").arg(Product::bundleName()),
            QStringLiteral("administrator removal of %1 failed: %2").arg(target, *refused));
        blocked.outcome = Outcome::Blocked;
        return blocked;
    }
    if (!moveNoReplace(staged, target))
        return placeFailure(errno, QStringLiteral("moved into place"), target, m_applications);
    return settle([&] { moveNoReplace(target, staged); });
}

InstallTransaction::Result InstallTransaction::settle(const std::function<void()> &undo)
{
    // The swap must be on disk before run() deletes the old copy: were the
    // deletion to reach the disk and the swap not, neither copy would be left.
    if (const int error = platform::FileSync::syncFolder(m_applications)) {
        undo();
        platform::FileSync::syncFolder(m_applications);
        return placeFailure(error, QStringLiteral("written to disk"), m_applications, m_applications);
    }
    reach(Phase::Swapped);
    return {};
}

void InstallTransaction::recover(const QString &applicationsFolder)
{
    const FolderLock lock(applicationsFolder);
    if (lock.error() != 0)
        return;
    const QString target = applicationsFolder + QLatin1Char('/') + Product::bundleName();
    if (const auto entry = SwapJournal::read(applicationsFolder)) {
        const QString staging = applicationsFolder + QLatin1Char('/') + entry->staging;
        if (!exists(target)) {
            // Killed between moving the old copy out and the new one in.
            const QString previous = staging + QLatin1Char('/') + QLatin1String(previousName);
            const QString staged = staging + QLatin1Char('/') + Product::bundleName();
            if (exists(previous))
                moveNoReplace(previous, target);
            else if (SwapJournal::identity(staged) == entry->staged)
                moveNoReplace(staged, target);
            // On disk before the staging folders go.
            platform::FileSync::syncFolder(applicationsFolder);
        }
    }
    SwapJournal::remove(applicationsFolder);

    const QStringList leftovers = QDir(applicationsFolder)
                                      .entryList({ QString::fromLatin1(stagingPrefix) + QLatin1Char('*') },
                                          QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString &name : leftovers)
        removeTree(applicationsFolder + QLatin1Char('/') + name);
}
