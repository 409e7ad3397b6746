#include "SwapJournal.h"

#include <platform/FileSync.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <sys/stat.h>

namespace {
constexpr qint64 largestJournal = 4096;
}

QString SwapJournal::path(const QString &applicationsFolder)
{
    return applicationsFolder + QStringLiteral("/.prismora-install.journal");
}

int SwapJournal::write(const QString &applicationsFolder, const Entry &entry)
{
    const QJsonObject object {
        { QStringLiteral("staging"), entry.staging },
        { QStringLiteral("device"), QString::number(entry.staged.device) },
        { QStringLiteral("inode"), QString::number(entry.staged.inode) },
    };
    return platform::FileSync::writeAtomically(
        path(applicationsFolder), QJsonDocument(object).toJson(QJsonDocument::Compact));
}

std::optional<SwapJournal::Entry> SwapJournal::read(const QString &applicationsFolder)
{
    QFile file(path(applicationsFolder));
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestJournal)
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(file.read(largestJournal)).object();
    Entry entry;
    entry.staging = object.value(QStringLiteral("staging")).toString();
    bool deviceOk = false;
    bool inodeOk = false;
    entry.staged.device = object.value(QStringLiteral("device")).toString().toULongLong(&deviceOk);
    entry.staged.inode = object.value(QStringLiteral("inode")).toString().toULongLong(&inodeOk);
    if (!deviceOk || !inodeOk || !isStagingName(entry.staging))
        return std::nullopt;
    return entry;
}

void SwapJournal::remove(const QString &applicationsFolder)
{
    QFile::remove(path(applicationsFolder));
    // Files a killed write left beside the journal.
    QDir folder(applicationsFolder);
    const QString pattern = QFileInfo(path(applicationsFolder)).fileName() + QStringLiteral(".*");
    for (const QString &name : folder.entryList({ pattern }, QDir::Files | QDir::Hidden | QDir::System))
        folder.remove(name);
}

std::optional<SwapJournal::Identity> SwapJournal::identity(const QString &path)
{
    struct stat info { };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return Identity { std::uint64_t(info.st_dev), std::uint64_t(info.st_ino) };
}

bool SwapJournal::isStagingName(const QString &name)
{
    // Anchored at the very end: '$' alone would also match before a final newline.
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("\\.prismora-install-[A-Za-z0-9]{6}")));
    return pattern.match(name).hasMatch();
}
