#pragma once

/**
 * How an unattended run ends: the process's exit status. Scripts and
 * deployment tools test these values; they are documented in --help, the
 * manual page and docs/unattended.md, and must never change.
 */
enum class ExitCode : int {
    installed = 0, ///< the product was installed, or the installed copy is already current
    failed = 1, ///< a failure not listed below
    usage = 2, ///< the command line cannot be used (unknown option, missing --accept-terms, bad value)
    network = 3, ///< no download host could be reached, or none served the archive
    verification = 4, ///< an archive was received but failed its size, SHA-256, signature or zip check
    space = 5, ///< a disk is full or would be: the message names the folder
    permission = 6, ///< the applications folder or the installed copy may not be changed
    archive = 7, ///< the archive could not be unpacked, or what it holds is not a valid application
    launch = 8, ///< the product was installed but did not start
    interrupted = 130, ///< SIGINT or SIGTERM: the install was rolled back or completed, the work folder removed
};
