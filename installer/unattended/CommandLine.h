#pragma once

#include <QString>
#include <QStringList>

/**
 * The installer's command line.
 *
 * Without options the installer opens its window. `--unattended` runs the
 * same download, checks, install and launch without a window or a display;
 * every other option belongs to it:
 *
 * @code
 * Prismora_Installer --unattended --accept-terms --json --no-launch
 * Prismora_Installer --unattended --accept-terms --archive /media/usb/prismora.zip
 * @endcode
 *
 * parse() never exits the process and never prints: the caller prints
 * helpText(), versionText() or error() and picks the exit status.
 */
class CommandLine {
public:
    enum class Mode {
        window, ///< no option: the window's flow
        unattended, ///< --unattended with --accept-terms
        help, ///< --help
        version, ///< --version
        invalid, ///< see error()
    };

    /// What an unattended run is asked to do.
    struct Options {
        bool json = false; ///< events as JSON lines on standard output
        bool launch = true; ///< start the product once installed (--no-launch clears it)
        bool force = false; ///< replace an installed copy of the same version
        QString archive; ///< a local archive to install instead of downloading
        QString applicationsFolder; ///< instead of the default applications folder
        QString language; ///< one of the eight language codes; empty for the user's own
    };

    /// Parses @p arguments, the program's name first (QCoreApplication::arguments()).
    static CommandLine parse(const QStringList &arguments);

    /// True unless @p argv holds one of the installer's options or anything
    /// with two dashes (the window takes no option; Qt's own, such as
    /// -platform, take one dash and do not count): decided before any
    /// application object exists, so that a mistyped option is reported
    /// without a display.
    static bool wantsWindow(int argc, const char *const *argv);

    Mode mode() const { return m_mode; }
    const Options &options() const { return m_options; }
    /// Why the command line cannot be used, in one line; empty unless invalid.
    QString error() const { return m_error; }

    /// The --help text: options, where to read the terms, and the exit codes.
    static QString helpText();
    /// The --version text: "Prismora_Installer <version>".
    static QString versionText();
    /// The address of the terms --accept-terms accepts.
    static QString termsUrl();

private:
    Mode m_mode = Mode::window;
    Options m_options;
    QString m_error;
};
