#include "DesktopEntry.h"

#include <platform/Bundle.h>
#include <platform/FileSync.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>

namespace {

/// File names longer than this cannot be created on the usual file systems.
constexpr int maxFileNameBytes = 255;
/// Long enough for update-desktop-database on a full folder, short enough not to hold up an install.
constexpr int refreshTimeoutMs = 10000;

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

/// A string value: a backslash is the escape character.
QString escapedString(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
}

/// Control characters (a newline would start a key of its own) become spaces.
QString displayName(const platform::Bundle &bundle)
{
    QString name = bundle.infoValue(QStringLiteral("CFBundleName")).toString();
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    name = name.simplified();
    if (name.isEmpty()) {
        name = QFileInfo(bundle.bundlePath()).fileName();
        if (name.endsWith(QLatin1String(".app")))
            name.chop(4);
    }
    return name;
}

/// One quoted Exec argument: the quoting rule's escapes first, then the
/// string value's, and a literal '%' doubled so it is no field code.
QString execArgument(const QString &path)
{
    QString quoted;
    for (QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return QLatin1Char('"') + escapedString(quoted).replace(QLatin1Char('%'), QLatin1String("%%")) + QLatin1Char('"');
}

/// The bundle's icon as an absolute path, when it names a PNG or SVG resource.
QString iconPath(const platform::Bundle &bundle)
{
    const QString name = bundle.infoValue(QStringLiteral("CFBundleIconFile")).toString();
    if (name.isEmpty())
        return QString();
    const QString suffix = QFileInfo(name).suffix().toLower();
    QString path;
    if (suffix == QLatin1String("png") || suffix == QLatin1String("svg"))
        path = bundle.pathForResource(name, QString());
    for (const QString &type : { QStringLiteral("png"), QStringLiteral("svg") }) {
        if (path.isEmpty())
            path = bundle.pathForResource(name, type);
    }
    if (path.isEmpty() || hasControlCharacter(path) || !QFileInfo(path).isFile())
        return QString();
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

QString DesktopEntry::defaultFolder()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QLatin1String("/.local/share");
    return dataHome + QLatin1String("/applications");
}

QString DesktopEntry::fileName(const QString &bundleIdentifier)
{
    // Anchored at the very end: '$' alone would also match before a final newline.
    static const QRegularExpression reverseDomain(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z_][A-Za-z0-9_-]*(\\.[A-Za-z_][A-Za-z0-9_-]*)+")));
    const QString name = bundleIdentifier + QLatin1String(".desktop");
    if (name.size() > maxFileNameBytes || !reverseDomain.match(bundleIdentifier).hasMatch())
        return QString();
    return name;
}

std::optional<QByteArray> DesktopEntry::contents(const platform::Bundle &bundle)
{
    const QString executable = bundle.executablePath();
    if (fileName(bundle.bundleIdentifier()).isEmpty() || executable.isEmpty() || hasControlCharacter(executable))
        return std::nullopt;
    const QString absoluteExecutable = QFileInfo(executable).absoluteFilePath();

    QString text = QStringLiteral("[Desktop Entry]\nType=Application\n");
    text += QLatin1String("Name=") + escapedString(displayName(bundle)) + QLatin1Char('\n');
    text += QLatin1String("Exec=") + execArgument(absoluteExecutable) + QLatin1Char('\n');
    if (const QString icon = iconPath(bundle); !icon.isEmpty())
        text += QLatin1String("Icon=") + escapedString(icon) + QLatin1Char('\n');
    text += QLatin1String("Terminal=false\n");
    return text.toUtf8();
}

std::optional<QString> DesktopEntry::write(const QString &bundlePath, const QString &folder)
{
    const platform::Bundle bundle(bundlePath);
    const QString name = fileName(bundle.bundleIdentifier());
    if (name.isEmpty())
        return QStringLiteral("no desktop entry: the bundle identifier \"%1\" is not a reverse-domain name")
            .arg(bundle.bundleIdentifier());
    const auto text = contents(bundle);
    if (!text)
        return QStringLiteral("no desktop entry: the bundle names no executable that can be started");
    if (!QDir().mkpath(folder))
        return QStringLiteral("no desktop entry: cannot create ") + folder;

    if (const int error = platform::FileSync::writeAtomically(folder + QLatin1Char('/') + name, *text))
        return QStringLiteral("no desktop entry: ") + QString::fromLocal8Bit(std::strerror(error));

    const QString refresh = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!refresh.isEmpty()) {
        QProcess process;
        process.start(refresh, { QStringLiteral("--quiet"), folder });
        if (!process.waitForFinished(refreshTimeoutMs))
            process.kill();
        process.waitForFinished();
    }
    return std::nullopt;
}
