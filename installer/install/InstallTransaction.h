#pragma once

#include "FailedReason.h"

#include <QString>
#include <QStringList>

#include <functional>

/**
 * Installs a downloaded archive as one transaction.
 *
 * The installed copy of the product is touched only once the new one has
 * been unpacked, staged beside it and checked:
 *
 * 1. the archive is unpacked into the run's private unpack folder;
 * 2. only the bundle (Prismora.app) is moved into a hidden staging folder
 *    (".prismora-install-XXXXXX") of the applications folder, so that the
 *    swap is a rename on one volume; other top-level entries are left out;
 * 3. the staged bundle must pass BundleValidator;
 * 4. the staged bundle and the installed copy are exchanged in one atomic
 *    rename (or, where the file system cannot exchange, the old copy is moved
 *    aside and the new one moved in), with a SwapJournal in place so that a
 *    run killed midway is finished or rolled back by recover();
 * 5. the old copy, now in the staging folder, is deleted; what cannot be
 *    deleted is logged and left for recover() on a later run.
 *
 * The steps survive a power cut, not only a kill: the staged bundle (every
 * file and folder) and then the journal are synced before the swap, and the
 * applications folder after it, before the old copy is deleted. A sync that
 * fails before the swap fails the run with the installed copy untouched; one
 * that fails after it undoes the swap.
 *
 * When the user may not move the installed copy, it is removed with
 * administrator rights (platform::PrivilegedRemoval) after step 3, never
 * before; a refusal ends in Outcome::Blocked with the installed copy intact.
 *
 * While a transaction runs it holds a lock on the applications folder, so
 * two installers never interleave and recover() never touches a transaction
 * in progress.
 *
 * run() blocks: call it off the main thread.
 */
class InstallTransaction {
public:
    /// Points a run passes; tests stop the process there.
    enum class Phase {
        Unpacked,
        Staged,
        Validated,
        Swapping,
        MovedAside, ///< only where the file system cannot exchange
        Swapped,
    };

    enum class Outcome {
        Installed,
        Failed, ///< nothing installed was changed
        Blocked, ///< the installed copy could not be moved and administrator rights were refused
    };

    /// Where a failure happened: unpacking the archive or placing the bundle.
    enum class Step { Unpack, Place };

    struct Result {
        Outcome outcome = Outcome::Installed;
        Step step = Step::Place;
        /// install, or write when a disk was full.
        FailedReason reason = FailedReason::unknow;
        /// For write: the folder whose volume is full.
        QString fullFolder;
        /// The errno of the file operation that failed while placing, if one did.
        int errorNumber = 0;
        /// The sentence reported as event label.
        QString localizedDescription;
        /// Everything known, for the log.
        QString description;
        /// Top-level entries of the archive that were not installed, by name
        /// (at most 100, in alphabetical order, case ignored)...
        QStringList ignoredEntries;
        /// ...and how many more there were.
        qsizetype unnamedIgnoredEntries = 0;
    };

    struct Options {
        /// Exchange in one rename where the file system can; false forces moving aside (tests).
        bool exchange = true;
        /// Called at each Phase (tests).
        std::function<void(Phase)> phaseReached;
        /// Removes the archive once it is unpacked, for a downloaded archive
        /// nobody needs afterwards: its bytes then never have to be written
        /// to disk when the new copy is synced.
        bool removeArchiveWhenUnpacked = false;
    };

    InstallTransaction(QString archive, QString unpackFolder, QString applicationsFolder);
    InstallTransaction(QString archive, QString unpackFolder, QString applicationsFolder, Options options);

    Result run();

    /// Finishes or rolls back a transaction that was killed in
    /// @p applicationsFolder, and removes leftover staging folders. Does
    /// nothing while another installer's transaction holds the folder.
    static void recover(const QString &applicationsFolder);

private:
    Result unpack();
    Result stage(const QString &staging);
    Result swap(const QString &staging);
    /// Syncs the applications folder after a swap; when that fails, runs @p undo and fails.
    Result settle(const std::function<void()> &undo);
    void reach(Phase phase) const;

    const QString m_archive;
    const QString m_unpackFolder;
    const QString m_applications;
    const Options m_options;
};
