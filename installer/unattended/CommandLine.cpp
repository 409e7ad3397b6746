#include "CommandLine.h"

#include "ExitCode.h"

#include <installer/interface/InAppLanguage.h>
#include <installer/interface/LocalizedString.h>

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

namespace Name {
const QString unattended = QStringLiteral("unattended");
const QString acceptTerms = QStringLiteral("accept-terms");
const QString archive = QStringLiteral("archive");
const QString applicationsDir = QStringLiteral("applications-dir");
const QString noLaunch = QStringLiteral("no-launch");
const QString language = QStringLiteral("language");
const QString json = QStringLiteral("json");
const QString force = QStringLiteral("force");
const QString help = QStringLiteral("help");
const QString version = QStringLiteral("version");
} // namespace Name

QStringList languageCodes()
{
    QStringList codes;
    for (const InAppLanguage language : InAppLanguage::allCases())
        codes << language.code();
    return codes;
}

/// The parser with every option; the same one serves parse() and helpText().
void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Downloads, checks and installs Prismora. Without options it opens its window."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        { { QStringLiteral("h"), Name::help }, QStringLiteral("Show this help and exit.") },
        { { QStringLiteral("v"), Name::version }, QStringLiteral("Show the version and exit.") },
        { Name::unattended, QStringLiteral("Install without a window or a display; needs --accept-terms.") },
        { Name::acceptTerms, QStringLiteral("Accept the terms of use (read them at the address below).") },
        { Name::archive, QStringLiteral("Install from this archive instead of downloading it."),
            QStringLiteral("file") },
        { Name::applicationsDir, QStringLiteral("Install into this folder (as PRISMORA_APPLICATIONS_DIR)."),
            QStringLiteral("folder") },
        { Name::noLaunch, QStringLiteral("Do not start Prismora once it is installed.") },
        { Name::language,
            QStringLiteral("Messages and download hosts for this language: %1.")
                .arg(languageCodes().join(QStringLiteral(", "))),
            QStringLiteral("code") },
        { Name::json, QStringLiteral("Write one JSON object per line on standard output for each step.") },
        { Name::force, QStringLiteral("Replace an installed copy even when it has the same version.") },
    });
}

} // namespace

bool CommandLine::wantsWindow(int argc, const char *const *argv)
{
    // Any of the installer's own options means no window: the window takes
    // none, and a misspelt option must be reported, not need a display.
    static const QStringList names { Name::unattended, Name::acceptTerms, Name::archive, Name::applicationsDir,
        Name::noLaunch, Name::language, Name::json, Name::force, Name::help, Name::version, QStringLiteral("h"),
        QStringLiteral("v"), QStringLiteral("?") };
    for (int i = 1; i < argc; ++i) {
        QString argument = QString::fromLocal8Bit(argv[i]);
        // Qt's own options take one dash; two are always the installer's, known or not
        // ("--" alone ends the options, and is one of them too).
        if (argument.startsWith(QLatin1String("--")))
            return false;
        if (!argument.startsWith(QLatin1Char('-')))
            continue;
        while (argument.startsWith(QLatin1Char('-')))
            argument.remove(0, 1);
        if (names.contains(argument.section(QLatin1Char('='), 0, 0)))
            return false;
    }
    return true;
}

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine result;
    QCommandLineParser parser;
    addOptions(parser);
    const auto invalid = [&result](const QString &error) {
        result.m_mode = Mode::invalid;
        result.m_error = error;
        return result;
    };
    if (!parser.parse(arguments))
        return invalid(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return invalid(QStringLiteral("Unexpected argument: ") + parser.positionalArguments().constFirst());
    if (parser.isSet(Name::help)) {
        result.m_mode = Mode::help;
        return result;
    }
    if (parser.isSet(Name::version)) {
        result.m_mode = Mode::version;
        return result;
    }
    if (!parser.isSet(Name::unattended)) {
        const QStringList used = parser.optionNames();
        if (!used.isEmpty())
            return invalid(QStringLiteral("--%1 can only be used with --unattended.").arg(used.constFirst()));
        if (arguments.contains(QStringLiteral("--")))
            return invalid(QStringLiteral("\"--\" without an option to end."));
        return result;
    }
    if (!parser.isSet(Name::acceptTerms))
        return invalid(QStringLiteral("--unattended needs --accept-terms: read the terms at %1").arg(termsUrl()));

    Options &options = result.m_options;
    options.json = parser.isSet(Name::json);
    options.launch = !parser.isSet(Name::noLaunch);
    options.force = parser.isSet(Name::force);
    options.archive = parser.value(Name::archive);
    options.applicationsFolder = parser.value(Name::applicationsDir);
    options.language = parser.value(Name::language);
    if (parser.isSet(Name::archive) && options.archive.isEmpty())
        return invalid(QStringLiteral("--archive needs a file."));
    if (parser.isSet(Name::applicationsDir) && options.applicationsFolder.isEmpty())
        return invalid(QStringLiteral("--applications-dir needs a folder."));
    if (parser.isSet(Name::language) && !languageCodes().contains(options.language))
        return invalid(QStringLiteral("--language must be one of %1, not \"%2\".")
                           .arg(languageCodes().join(QStringLiteral(", ")), options.language));
    result.m_mode = Mode::unattended;
    return result;
}

QString CommandLine::termsUrl()
{
    return localizedString(QStringLiteral("URL_User_License"));
}

QString CommandLine::versionText()
{
    return QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion();
}

QString CommandLine::helpText()
{
    QCommandLineParser parser;
    addOptions(parser);
    QString text = parser.helpText();
    text += QStringLiteral("\nTerms of use: %1\n").arg(termsUrl());
    text += QStringLiteral("\nExit status of --unattended:\n"
                           "  %1    installed, or the installed copy is already current\n"
                           "  %2    another failure\n"
                           "  %3    the command line cannot be used\n"
                           "  %4    no download host could be reached, or none served the archive\n"
                           "  %5    the archive failed its size, SHA-256, signature or zip check\n"
                           "  %6    not enough disk space (the message names the folder)\n"
                           "  %7    the applications folder or the installed copy may not be changed\n"
                           "  %8    the archive could not be unpacked or holds no valid application\n"
                           "  %9    installed, but Prismora did not start\n")
                .arg(int(ExitCode::installed))
                .arg(int(ExitCode::failed))
                .arg(int(ExitCode::usage))
                .arg(int(ExitCode::network))
                .arg(int(ExitCode::verification))
                .arg(int(ExitCode::space))
                .arg(int(ExitCode::permission))
                .arg(int(ExitCode::archive))
                .arg(int(ExitCode::launch));
    text += QStringLiteral("  %1  interrupted by SIGINT or SIGTERM; nothing is left half done\n")
                .arg(int(ExitCode::interrupted));
    return text;
}
