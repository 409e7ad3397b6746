#include "SwapJournal.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cstdio>
#include <sys/stat.h>

namespace {
constexpr qint64 largestJournal = 4096;
}

QString SwapJournal::path(const QString &applicationsFolder)
{
    return applicationsFolder + QStringLiteral("/.prismora-install.journal");
}

bool SwapJournal::write(const QString &applicationsFolder, const Entry &entry)
{
    const QJsonObject object {
        { QStringLiteral("staging"), entry.staging },
        { QStringLiteral("device"), QString::number(entry.staged.device) },
        { QStringLiteral("inode"), QString::number(entry.staged.inode) },
    };
    // Written beside and renamed over: a reader never sees half a journal. It
    // needs to outlive a killed process, not a power cut (the bundles it
    // describes are not synced either), so it is not synced: a sync here would
    // wait for every byte just unpacked to reach the disk.
    const QString target = path(applicationsFolder);
    QFile file(target + QStringLiteral(".new"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
    const bool written = file.write(text) == text.size() && file.flush();
    file.close();
    return written
        && ::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) == 0;
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
    QFile::remove(path(applicationsFolder) + QStringLiteral(".new"));
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
    static const QRegularExpression pattern(QStringLiteral("^\\.prismora-install-[A-Za-z0-9]{6}$"));
    return pattern.match(name).hasMatch();
}
