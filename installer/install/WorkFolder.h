#pragma once

#include "FolderLock.h"

#include <QString>

#include <memory>

/**
 * The private folder of one installation run.
 *
 * It holds the partial download ("prismora.zip") and the unpack folder
 * ("Fetchwell"), so nothing of a run lies in a place that another local user
 * can name, pre-create or replace with a link. It is made with mkdtemp (mode
 * 0700) as "run-XXXXXX" inside $XDG_CACHE_HOME/Prismora_Installer (a folder
 * of the user's own that nobody else may write), or, when that cannot be
 * used, as "Prismora_Installer-XXXXXX" inside $TMPDIR when that names an
 * existing writable folder, else inside /tmp.
 *
 * The folder is locked (flock) for as long as the object lives, and removed
 * with everything in it when the object goes. A run that was killed leaves
 * its folder behind unlocked; sweepStale() removes such folders and never
 * one that a running installer holds.
 *
 * @code
 * auto work = WorkFolder::create();
 * if (!work)
 *     return fail(WorkFolder::lastError());
 * download(url, work->archivePath());
 * @endcode
 */
class WorkFolder {
public:
    ~WorkFolder();
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    /// A new, locked, empty folder; null when none can be made (see @p error).
    static std::unique_ptr<WorkFolder> create(QString *error = nullptr);

    /// Removes the folders of earlier runs that no process holds any more;
    /// answers how many were removed.
    static int sweepStale();

    /// The folder itself.
    QString path() const;
    /// Where the archive is downloaded to: path() + "/prismora.zip".
    QString archivePath() const;
    /// Where the archive is unpacked: path() + "/Fetchwell".
    QString unpackPath() const;

private:
    WorkFolder(QString path, FolderLock lock);

    const QString m_path;
    const FolderLock m_lock;
};
