// An archive unpacked and validated as the installer does it (no overwriting,
// the default limits, then BundleValidator on Prismora.app): whatever the
// archive holds, nothing appears beside the unpack folder, a refusal says why,
// and a bundle that passes has every link resolve inside itself.
//
// An input starting with "PK" is taken as an archive. Any other input is a
// recipe, one entry a line, that ZipBuilder turns into an archive:
//   f <name>=<content>   file (x: executable file)   d <name>   folder
//   l <name>=<target>    symbolic link               bundle     a valid Info.plist and executable
#include "FuzzInput.h"
#include "ZipBuilder.h"

#include <installer/install/BundleValidator.h>
#include <installer/install/Product.h>
#include <platform/ZipArchive.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

void writeArchive(const QByteArray &input, const QString &path)
{
    if (input.startsWith("PK")) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input) != input.size())
            std::abort();
        return;
    }
    ZipBuilder zip(path, true);
    for (const QByteArray &line : input.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QString name = QString::fromUtf8(line.mid(2, equals < 0 ? -1 : equals - 2));
        const QByteArray value = equals < 0 ? QByteArray() : line.mid(equals + 1);
        if (line == "bundle") {
            zip.addFile(QStringLiteral("Prismora.app/Contents/Info.plist"),
                "<plist><dict><key>CFBundleExecutable</key><string>Prismora</string></dict></plist>");
            zip.addFile(QStringLiteral("Prismora.app/Contents/MacOS/Prismora"), "#!/bin/sh\n", 0755);
        } else if (line.startsWith("f ") || line.startsWith("x ")) {
            zip.addFile(name, value, line[0] == 'x' ? 0755 : 0644);
        } else if (line.startsWith("d ")) {
            zip.addFolder(name);
        } else if (line.startsWith("l ")) {
            zip.addLink(name, value);
        }
    }
    zip.close();
}

/// Where the link at @p link leads, resolving every link on the way that exists.
fs::path destination(const fs::path &link)
{
    return fs::weakly_canonical(link.parent_path() / fs::read_symlink(link));
}

bool isInside(const fs::path &path, const fs::path &folder)
{
    const fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir work(QDir::tempPath() + QStringLiteral("/fuzz-bundle-XXXXXX"));
    static QTemporaryDir parent(QDir::tempPath() + QStringLiteral("/fuzz-bundle-XXXXXX"));
    if (!work.isValid() || !parent.isValid())
        std::abort();
    const QString archive = work.filePath(QStringLiteral("in.zip"));
    writeArchive(FuzzInput::bytes(data, size), archive);

    const QString unpacked = parent.filePath(QStringLiteral("out"));
    const auto error = platform::ZipArchive::unzip(archive, unpacked, false);
    if (error && error->message.isEmpty())
        std::abort();
    const QString bundle = unpacked + QLatin1Char('/') + Product::bundleName();
    const auto invalid = error ? std::nullopt : BundleValidator::validate(bundle);
    if (invalid && invalid->description.isEmpty())
        std::abort();
    if (!error && !invalid) {
        const fs::path root = fs::canonical(QFile::encodeName(bundle).toStdString());
        for (const auto &entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_symlink() && !isInside(destination(entry.path()), root))
                std::abort();
        }
    }
    const QStringList beside
        = QDir(parent.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (!beside.isEmpty() && beside != QStringList { QStringLiteral("out") })
        std::abort();
    QDir(unpacked).removeRecursively();
    QFile::remove(archive);
    return 0;
}
