// The installer's command line from arbitrary arguments (split at NUL bytes):
// parse() answers one mode, gives a reason exactly when it refuses, accepts
// only the supported languages, and every mode but the window's is one that
// main() sends to the windowless path.
#include "FuzzInput.h"

#include <installer/unattended/CommandLine.h>

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QStringList arguments = FuzzInput::parts(data, size);
    arguments.prepend(QStringLiteral("Prismora_Installer"));
    const CommandLine commandLine = CommandLine::parse(arguments);

    std::vector<QByteArray> encoded;
    for (const QString &argument : arguments)
        encoded.push_back(argument.toLocal8Bit());
    std::vector<const char *> argv;
    for (const QByteArray &argument : encoded)
        argv.push_back(argument.constData());
    const bool window = CommandLine::wantsWindow(int(argv.size()), argv.data());

    const auto mode = commandLine.mode();
    if ((mode == CommandLine::Mode::invalid) == commandLine.error().isEmpty())
        std::abort();
    if (window && mode != CommandLine::Mode::window && mode != CommandLine::Mode::invalid)
        std::abort();
    if (!window && mode == CommandLine::Mode::window)
        std::abort();
    if (mode == CommandLine::Mode::unattended) {
        static const QStringList languages { QString(), QStringLiteral("en"), QStringLiteral("fr"),
            QStringLiteral("de"), QStringLiteral("ja"), QStringLiteral("es"), QStringLiteral("ar"),
            QStringLiteral("it"), QStringLiteral("pt") };
        const CommandLine::Options &options = commandLine.options();
        const auto given = [&arguments](const char *name) {
            return arguments.contains(QLatin1String("--") + QLatin1String(name))
                || arguments.contains(QLatin1Char('-') + QLatin1String(name));
        };
        if (!languages.contains(options.language) || !given("accept-terms") || !given("unattended"))
            std::abort();
    }
    return 0;
}
