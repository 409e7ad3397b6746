// The desktop entry of a bundle whose folder name, CFBundleName,
// CFBundleIdentifier, CFBundleExecutable and CFBundleIconFile are fuzzed (the
// input's NUL-separated parts): when there is an entry, it holds exactly the
// expected keys, one per line; its values are valid UTF-8 without control
// characters or escapes other than "\\" and "\s"; and Exec is one quoted
// argument that unquotes back to exactly the executable's absolute path.
#include "FuzzInput.h"

#include <installer/install/DesktopEntry.h>
#include <platform/Bundle.h>
#include <platform/PropertyList.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

/// A string value with its escapes undone; nothing when it holds one a launcher would not read the same.
std::optional<QString> unescaped(const QString &value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i].category() == QChar::Other_Control)
            return std::nullopt;
        if (value[i] != QLatin1Char('\\')) {
            text += value[i];
        } else if (++i < value.size() && (value[i] == QLatin1Char('\\') || value[i] == QLatin1Char('s'))) {
            text += value[i] == QLatin1Char('s') ? QLatin1Char(' ') : QLatin1Char('\\');
        } else {
            return std::nullopt;
        }
    }
    return text;
}

/// The one quoted argument of an Exec value, unquoted; nothing when it is not exactly one.
std::optional<QString> unquoted(const QString &exec)
{
    if (exec.size() < 2 || !exec.startsWith(QLatin1Char('"')) || !exec.endsWith(QLatin1Char('"')))
        return std::nullopt;
    QString argument;
    for (qsizetype i = 1; i + 1 < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            return std::nullopt; // only escaped inside quotes
        if (c == QLatin1Char('\\') || c == QLatin1Char('%')) {
            const QChar next = i + 2 < exec.size() ? exec[++i] : QChar();
            if (c == QLatin1Char('%') ? next != QLatin1Char('%') : !QStringLiteral("\"`$\\").contains(next))
                return std::nullopt;
            argument += next;
        } else {
            argument += c;
        }
    }
    return argument;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QStringList parts = FuzzInput::parts(data, size);
    parts.resize(5);
    static QTemporaryDir work(QDir::tempPath() + QStringLiteral("/fuzz-desktop-XXXXXX"));
    QString folder = parts[0].left(100).replace(QLatin1Char('/'), QLatin1Char('_'));
    if (folder.isEmpty() || folder == QLatin1String(".") || folder == QLatin1String(".."))
        folder = QStringLiteral("Prismora.app");
    // Not filePath(): it answers an empty path, the working folder to QDir, for a name starting with ':'.
    const QString bundlePath = work.path() + QLatin1Char('/') + folder;
    if (!work.isValid())
        std::abort();
    const QString resources = bundlePath + QStringLiteral("/Contents/Resources/");
    QDir().mkpath(resources);
    QFile(resources + parts[4].left(100).replace(QLatin1Char('/'), QLatin1Char('_'))).open(QIODevice::WriteOnly);
    platform::PropertyList::writeDictionary(
        { { QStringLiteral("CFBundleName"), parts[1] }, { QStringLiteral("CFBundleIdentifier"), parts[2] },
            { QStringLiteral("CFBundleExecutable"), parts[3] }, { QStringLiteral("CFBundleIconFile"), parts[4] } },
        bundlePath + QStringLiteral("/Contents/Info.plist"));
    const platform::Bundle bundle(bundlePath);
    const auto contents = DesktopEntry::contents(bundle);
    const QString name = DesktopEntry::fileName(bundle.bundleIdentifier());
    if (!name.isEmpty() && (name.contains(QLatin1Char('/')) || !unescaped(name)))
        std::abort();
    QDir(bundlePath).removeRecursively();
    if (!contents)
        return 0;

    const QString text = QString::fromUtf8(*contents);
    if (text.toUtf8() != *contents || !text.endsWith(QLatin1Char('\n')))
        std::abort();
    QStringList lines = text.split(QLatin1Char('\n'));
    lines.removeLast();
    QStringList keys;
    for (const QString &line : lines.sliced(1)) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const auto value = unescaped(line.sliced(equals + 1));
        if (equals <= 0 || !value || value->isEmpty())
            std::abort();
        keys << line.first(equals);
        if (keys.last() == QLatin1String("Exec")
            && unquoted(*value) != bundlePath + QStringLiteral("/Contents/MacOS/") + parts[3])
            std::abort();
    }
    QStringList expected { QStringLiteral("Type"), QStringLiteral("Name"), QStringLiteral("Exec"),
        QStringLiteral("Terminal") };
    if (text.contains(QLatin1String("\nIcon=")))
        expected.insert(3, QStringLiteral("Icon"));
    if (lines.first() != QLatin1String("[Desktop Entry]") || keys != expected)
        std::abort();
    return 0;
}
