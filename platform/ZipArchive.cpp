#include "ZipArchive.h"

#include "FileSync.h"
#include "Folders.h"
#include "ZipDirectoryEnd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <variant>
#include <vector>

namespace platform {

namespace {

using Code = ZipError::Code;
namespace fs = std::filesystem;

constexpr std::size_t readBufferSize = 256 * 1024;
constexpr zip_uint64_t longestLinkTarget = 4096;
// Below this many bytes of files one thread writes them all.
constexpr std::uint64_t parallelWriteFloor = 64ull * 1024 * 1024;
// The second thread reads through its own handle, which holds a second copy
// of the archive's directory (a few hundred bytes an entry): past this many
// entries one thread writes them all.
constexpr zip_int64_t parallelWriteEntryCeiling = 20'000;

ZipError failure(Code code, const QString &message, FileError fileError = FileError::None)
{
    return ZipError { code, fileError, message };
}

ZipError openFailure(const QString &path, int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString message = QStringLiteral("%1: %2").arg(path, QString::fromUtf8(zip_error_strerror(&error)));
    zip_error_fini(&error);
    return failure(Code::CannotOpen, message);
}

ZipError tooManyEntries(std::int64_t count, const ZipLimits &limits)
{
    return failure(
        Code::TooManyEntries, QStringLiteral("%1 entries, at most %2 accepted").arg(count).arg(limits.maxEntries));
}

/// Refuses an archive that declares too many entries before libzip loads its
/// directory, whose size grows with the entries. An archive that cannot be
/// read is left to libzip, which names why.
std::optional<ZipError> checkDeclaredEntries(const QString &path, const ZipLimits &limits)
{
    if (::access(QFile::encodeName(path).constData(), R_OK) != 0)
        return std::nullopt;
    const auto end = ZipDirectoryEnd::read(path);
    if (!end)
        return openFailure(path, ZIP_ER_NOZIP);
    if (end->entryCount > limits.maxEntries)
        return tooManyEntries(
            std::int64_t(std::min<std::uint64_t>(end->entryCount, std::numeric_limits<std::int64_t>::max())), limits);
    return std::nullopt;
}

ZipError writeFailure(int errorNumber, const std::string &path)
{
    return failure(Code::WriteFailed,
        QStringLiteral("%1: %2").arg(QString::fromStdString(path), QString::fromLocal8Bit(std::strerror(errorNumber))),
        fileErrorFromErrno(errorNumber, true));
}

/// The components of a safe entry name; nullopt for a name that must not be unpacked.
std::optional<std::vector<std::string>> components(const std::string &name)
{
    if (name.empty() || name.front() == '/')
        return std::nullopt;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string part = name.substr(start, end - start);
        if (part == "..")
            return std::nullopt;
        if (!part.empty() && part != ".")
            parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

std::string joined(const std::string &root, const std::vector<std::string> &parts, std::size_t count)
{
    std::string path = root;
    for (std::size_t i = 0; i < count; ++i)
        path += '/' + parts[i];
    return path;
}

/// Where the entry @p index of @p archive lands below @p root; its name was checked when it was prepared.
std::string targetOf(zip_t *archive, const std::string &root, zip_uint64_t index)
{
    const char *name = zip_get_name(archive, index, 0);
    const auto parts = components(name ? name : "");
    return parts ? joined(root, *parts, parts->size()) : root;
}

/// Whether entry @p index of @p archive, named @p name, is a folder: by its trailing slash or its Unix mode.
bool isFolder(zip_t *archive, zip_uint64_t index, const std::string &name)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    zip_file_get_external_attributes(archive, index, 0, &system, &attributes);
    return (!name.empty() && name.back() == '/') || (system == ZIP_OPSYS_UNIX && S_ISDIR(mode_t(attributes >> 16)));
}

/// Opens the archive at @p path. Some zip tools list a folder twice, which
/// libzip's consistency checks refuse like any repeated name; such an archive
/// is opened without them, and only folder names may repeat in it.
std::variant<zip_t *, ZipError> openArchive(const QString &path)
{
    const QByteArray file = QFile::encodeName(path);
    int code = 0;
    if (zip_t *archive = zip_open(file.constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code))
        return archive;
    if (code != ZIP_ER_EXISTS)
        return openFailure(path, code);
    zip_t *archive = zip_open(file.constData(), ZIP_RDONLY, &code);
    if (!archive)
        return openFailure(path, code);
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        const char *name = zip_get_name(archive, zip_uint64_t(index), 0);
        if (!name || zip_name_locate(archive, name, 0) == index || isFolder(archive, zip_uint64_t(index), name))
            continue;
        ZipError error = failure(Code::CorruptEntry, QStringLiteral("%1 appears twice in the archive").arg(name));
        zip_discard(archive);
        return error;
    }
    return archive;
}

/// Creates the first @p count components below @p root; each must be (or become) a real folder.
std::optional<ZipError> makeFolders(const std::string &root, const std::vector<std::string> &parts, std::size_t count)
{
    for (std::size_t i = 1; i <= count; ++i) {
        const std::string path = joined(root, parts, i);
        struct stat info { };
        if (::lstat(path.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode))
                continue;
            if (S_ISLNK(info.st_mode))
                return failure(Code::UnsafeEntry,
                    QStringLiteral("%1 passes through a symbolic link").arg(QString::fromStdString(path)));
            return failure(
                Code::CorruptEntry, QStringLiteral("%1 is both a file and a folder").arg(QString::fromStdString(path)));
        }
        // The umask does not decide who may read the installed bundle.
        if (::mkdir(path.c_str(), 0755) != 0) {
            if (errno != EEXIST)
                return writeFailure(errno, path);
        } else if (::chmod(path.c_str(), 0755) != 0) {
            return writeFailure(errno, path);
        }
    }
    return std::nullopt;
}

/// Clears @p path for a new entry; an existing folder is kept for folder entries.
std::optional<ZipError> clearTarget(const std::string &path, bool overwrite, bool forFolder)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    if (forFolder && S_ISDIR(info.st_mode))
        return std::nullopt;
    if (!overwrite)
        return writeFailure(EEXIST, path);
    std::error_code error;
    fs::remove_all(path, error);
    if (error)
        return writeFailure(error.value(), path);
    return std::nullopt;
}

bool writeAll(int fd, const char *data, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        length -= std::size_t(written);
    }
    return true;
}

class Reader {
public:
    Reader(zip_t *archive, const std::string &root, bool overwrite)
        : m_archive(archive)
        , m_root(root)
        , m_overwrite(overwrite)
        , m_buffer(readBufferSize)
    {
    }

    std::optional<ZipError> checkSizes(const QString &path, const ZipArchive::Limits &limits)
    {
        const zip_int64_t count = zip_get_num_entries(m_archive, 0);
        if (count < 0 || zip_uint64_t(count) > limits.maxEntries)
            return tooManyEntries(count, limits);
        std::uint64_t total = 0;
        for (zip_int64_t index = 0; index < count; ++index) {
            zip_stat_t stat;
            if (zip_stat_index(m_archive, zip_uint64_t(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
                return failure(Code::CorruptEntry, QStringLiteral("entry %1 has no size").arg(index));
            if (stat.size > std::numeric_limits<std::uint64_t>::max() - total) {
                return failure(Code::ZipBomb,
                    QStringLiteral("declared sizes add up past 2^64 at entry %1 (%2 bytes)").arg(index).arg(stat.size));
            }
            total += stat.size;
        }
        return ZipArchive::checkDeclaredSize(
            total, std::uint64_t(std::max<qint64>(0, QFileInfo(path).size())), QString::fromStdString(m_root), limits);
    }

    /// Unpacks every entry of the archive at @p path: folders first, then the
    /// files (on two threads when there is much to write), links last, so
    /// that no file is ever written through a link the archive made.
    std::optional<ZipError> unpackAll(const std::string &path)
    {
        const zip_int64_t count = zip_get_num_entries(m_archive, 0);
        std::vector<FileEntry> files;
        files.reserve(std::size_t(count));
        std::vector<LinkEntry> links;
        for (zip_int64_t index = 0; index < count; ++index) {
            if (auto error = prepare(zip_uint64_t(index), files, links))
                return error;
        }
        if (auto error = writeFiles(path, count, files))
            return error;
        for (const LinkEntry &entry : links) {
            const std::string target = targetOf(m_archive, m_root, entry.index);
            struct stat info { };
            if (::lstat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                return failure(Code::UnsafeEntry,
                    QStringLiteral("%1 would put other entries behind a link").arg(nameOf(entry.index)));
            if (auto error = clearTarget(target, m_overwrite, false))
                return error;
            if (auto error = link(entry, target))
                return error;
        }
        return checkLinks(links);
    }

private:
    // Entries are kept by index alone: paths are made again from the
    // archive's directory when they are needed, so that memory does not grow
    // with the length of the names.
    struct FileEntry {
        zip_uint64_t index;
        zip_uint64_t declared;
        mode_t mode;
    };
    struct LinkEntry {
        zip_uint64_t index;
        zip_uint64_t size;
    };

    QString nameOf(zip_uint64_t index) const { return QString::fromUtf8(zip_get_name(m_archive, index, 0)); }

    /// Records that entry @p index writes @p target; false when an earlier entry writes there too.
    bool claim(const std::string &target, zip_uint64_t index)
    {
        const std::size_t key = std::hash<std::string>()(target);
        const auto [first, last] = m_claimed.equal_range(key);
        for (auto it = first; it != last; ++it) {
            if (targetOf(m_archive, m_root, it->second) == target)
                return false;
        }
        m_claimed.emplace(key, index);
        return true;
    }

    /// Checks entry @p index, creates the folders it needs and queues its file or link.
    std::optional<ZipError> prepare(zip_uint64_t index, std::vector<FileEntry> &files, std::vector<LinkEntry> &links)
    {
        zip_stat_t stat;
        if (zip_stat_index(m_archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            return failure(Code::CorruptEntry, QStringLiteral("entry %1 cannot be read").arg(index));
        const std::string name = stat.name;
        const auto parts = components(name);
        if (!parts)
            return failure(Code::UnsafeEntry,
                QStringLiteral("%1 would be written outside the folder").arg(QString::fromStdString(name)));
        if (parts->empty())
            return std::nullopt;

        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        zip_file_get_external_attributes(m_archive, index, 0, &system, &attributes);
        const mode_t mode = system == ZIP_OPSYS_UNIX ? mode_t(attributes >> 16) : 0;
        const bool folder = isFolder(m_archive, index, name);

        const std::string target = joined(m_root, *parts, parts->size());
        if (!folder && !claim(target, index))
            return failure(Code::CorruptEntry,
                QStringLiteral("%1 appears twice in the archive").arg(QString::fromStdString(name)));
        if (auto error = makeFolders(m_root, *parts, parts->size() - 1))
            return error;
        if (S_ISLNK(mode) && !folder) {
            links.push_back({ index, stat.size });
            return std::nullopt;
        }
        if (auto error = clearTarget(target, m_overwrite, folder))
            return error;
        if (folder)
            return makeFolders(m_root, *parts, parts->size());
        // A later entry may not reuse the name: the file is claimed now, written later.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return writeFailure(errno, target);
        ::close(fd);
        files.push_back({ index, stat.size, mode });
        return std::nullopt;
    }

    /// Writes @p files of an archive of @p entries entries; large amounts of
    /// few entries go to two threads, each reading through its own handle.
    std::optional<ZipError> writeFiles(const std::string &path, zip_int64_t entries, std::vector<FileEntry> &files)
    {
        std::uint64_t total = 0;
        for (const FileEntry &entry : files)
            total += entry.declared;
        if (total < parallelWriteFloor || files.size() < 2 || entries > parallelWriteEntryCeiling) {
            for (const FileEntry &entry : files) {
                if (auto error = file(m_archive, m_buffer, entry))
                    return error;
            }
            return std::nullopt;
        }
        // Largest first, so the two threads finish close together.
        std::sort(files.begin(), files.end(), [](const auto &a, const auto &b) { return a.declared > b.declared; });
        std::atomic<std::size_t> next { 0 };
        std::optional<ZipError> errors[2];
        const auto work = [&](zip_t *archive, std::vector<char> &buffer, std::optional<ZipError> &error) {
            for (std::size_t i = next++; i < files.size(); i = next++) {
                if ((error = file(archive, buffer, files[i]))) {
                    next = files.size();
                    break;
                }
            }
        };
        std::thread helper([&] {
            int code = 0;
            zip_t *archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
            if (!archive) {
                errors[1] = failure(
                    Code::CannotOpen, QStringLiteral("%1 cannot be opened again").arg(QString::fromStdString(path)));
                next = files.size();
                return;
            }
            std::vector<char> buffer(readBufferSize);
            work(archive, buffer, errors[1]);
            zip_discard(archive);
        });
        work(m_archive, m_buffer, errors[0]);
        helper.join();
        return errors[0] ? errors[0] : errors[1];
    }

    std::optional<ZipError> file(zip_t *archive, std::vector<char> &buffer, const FileEntry &file) const
    {
        const auto &[index, declared, mode] = file;
        const std::string target = targetOf(archive, m_root, index);
        zip_file_t *entry = zip_fopen_index(archive, index, 0);
        if (!entry)
            return failure(Code::CorruptEntry, QString::fromUtf8(zip_strerror(archive)));
        // The file was made empty by prepare(); truncating it again would make
        // ext4 write it out at close, as it does for files replaced in place.
        const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            zip_fclose(entry);
            return writeFailure(error, target);
        }
        std::optional<ZipError> error;
        zip_uint64_t total = 0;
        for (;;) {
            const zip_int64_t read = zip_fread(entry, buffer.data(), buffer.size());
            if (read < 0) {
                error = failure(Code::CorruptEntry,
                    QStringLiteral("%1: %2").arg(
                        QString::fromStdString(target), QString::fromUtf8(zip_file_strerror(entry))));
                break;
            }
            if (read == 0)
                break;
            total += zip_uint64_t(read);
            if (total > declared) {
                error = failure(Code::ZipBomb,
                    QStringLiteral("%1 grows past its declared size").arg(QString::fromStdString(target)));
                break;
            }
            if (!writeAll(fd, buffer.data(), std::size_t(read))) {
                error = writeFailure(errno, target);
                break;
            }
        }
        if (zip_fclose(entry) != 0 && !error)
            error = failure(
                Code::CorruptEntry, QStringLiteral("%1 fails its checksum").arg(QString::fromStdString(target)));
        // Nobody but the owner may change an installed file, and set-id bits from an
        // archive are never honoured.
        const mode_t permissions = mode ? (mode & 0755) | S_IRUSR | S_IWUSR : 0644;
        if (!error && ::fchmod(fd, permissions) != 0)
            error = writeFailure(errno, target);
        // The disk starts on the file now; whoever syncs it later waits less.
        if (!error)
            FileSync::startWriteback(fd);
        if (::close(fd) != 0 && !error)
            error = writeFailure(errno, target);
        return error;
    }

    std::optional<ZipError> link(const LinkEntry &link, const std::string &target)
    {
        const auto &[index, size] = link;
        const QString name = nameOf(index);
        if (size == 0 || size > longestLinkTarget)
            return failure(Code::UnsafeEntry, QStringLiteral("%1 is not a plausible link").arg(name));
        zip_file_t *entry = zip_fopen_index(m_archive, index, 0);
        if (!entry)
            return failure(Code::CorruptEntry, QString::fromUtf8(zip_strerror(m_archive)));
        std::string destination(size, '\0');
        const zip_int64_t read = zip_fread(entry, destination.data(), size);
        zip_fclose(entry);
        if (read != zip_int64_t(size))
            return failure(Code::CorruptEntry, QStringLiteral("%1 cannot be read").arg(name));
        if (destination.front() == '/' || destination.find('\0') != std::string::npos)
            return failure(Code::UnsafeEntry, QStringLiteral("%1 points outside the folder").arg(name));
        if (::symlink(destination.c_str(), target.c_str()) != 0)
            return writeFailure(errno, target);
        return std::nullopt;
    }

    /// A link may point at anything inside the folder, however it gets there.
    std::optional<ZipError> checkLinks(const std::vector<LinkEntry> &links)
    {
        std::error_code error;
        const fs::path root = fs::canonical(m_root, error);
        if (error)
            return writeFailure(error.value(), m_root);
        for (const LinkEntry &entry : links) {
            const std::string link = targetOf(m_archive, m_root, entry.index);
            const fs::path resolved = fs::weakly_canonical(link, error);
            const auto relative = resolved.lexically_relative(root);
            if (error || relative.empty() || *relative.begin() == "..") {
                return failure(Code::UnsafeEntry,
                    QStringLiteral("%1 points outside the folder").arg(QString::fromStdString(link)));
            }
        }
        return std::nullopt;
    }

    zip_t *m_archive;
    std::string m_root;
    bool m_overwrite;
    std::vector<char> m_buffer;
    // Hashes of the paths files and links are written to, with the entry that claimed each.
    std::unordered_multimap<std::size_t, zip_uint64_t> m_claimed;
};

} // namespace

QString ZipError::localizedDescription() const
{
    switch (code) {
    case Code::CannotOpen:
        return QStringLiteral("The file is not a valid zip archive.");
    case Code::CorruptEntry:
        return QStringLiteral("The archive is damaged.");
    case Code::UnsafeEntry:
        return QStringLiteral("The archive contains an entry that points outside its folder.");
    case Code::ArchiveTooLarge:
        return QStringLiteral("There is not enough space to unpack the archive.");
    case Code::ZipBomb:
        return QStringLiteral("The archive expands to an implausible size.");
    case Code::TooManyEntries:
        return QStringLiteral("The archive holds too many files.");
    case Code::WriteFailed:
        if (fileError == FileError::WriteOutOfSpace)
            return QStringLiteral("There is not enough space to unpack the archive.");
        return QStringLiteral("The unpacked files could not be written.");
    }
    return QString();
}

std::optional<ZipError> ZipArchive::checkDeclaredSize(
    std::uint64_t declared, std::uint64_t archiveSize, const QString &destination, const Limits &limits)
{
    const std::uint64_t compressed = std::max<std::uint64_t>(1, archiveSize);
    if (declared > limits.expansionCheckFloor && declared / compressed > limits.maxExpansionRatio) {
        return failure(
            Code::ZipBomb, QStringLiteral("%1 bytes declared in a %2-byte archive").arg(declared).arg(compressed));
    }
    // The destination may not exist yet: its nearest existing folder tells the volume.
    QString volume = destination;
    while (!QFileInfo::exists(volume)) {
        const QString parent = QFileInfo(volume).absolutePath();
        if (parent == volume)
            break;
        volume = parent;
    }
    if (const auto free = Folders::freeSpace(volume); free && declared > std::uint64_t(std::max<qint64>(0, *free))) {
        return failure(Code::ArchiveTooLarge, QStringLiteral("%1 bytes declared, %2 free").arg(declared).arg(*free),
            FileError::WriteOutOfSpace);
    }
    return std::nullopt;
}

bool ZipArchive::isSafeEntryName(const QString &name)
{
    const auto parts = components(name.toStdString());
    return parts && !parts->empty();
}

std::optional<ZipError> ZipArchive::unzip(
    const QString &path, const QString &destination, bool overwrite, const Limits &limits)
{
    if (auto refused = checkDeclaredEntries(path, limits))
        return refused;
    auto opened = openArchive(path);
    if (auto *refused = std::get_if<ZipError>(&opened))
        return *refused;
    zip_t *archive = std::get<zip_t *>(opened);
    const std::string root = QFile::encodeName(QDir::cleanPath(QDir(destination).absolutePath())).toStdString();
    Reader reader(archive, root, overwrite);
    std::optional<ZipError> error = reader.checkSizes(path, limits);
    if (!error) {
        if (!QDir().mkpath(destination))
            error = writeFailure(errno ? errno : EIO, root);
        else
            error = reader.unpackAll(QFile::encodeName(path).toStdString());
    }
    zip_discard(archive);
    // An archive that tried to reach outside is not left half-unpacked.
    if (error && error->code == Code::UnsafeEntry) {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    return error;
}

void ZipArchive::unzipFileAtPath(
    const QString &path, const QString &destination, bool overwrite, const Completion &completion, const Limits &limits)
{
    const auto error = unzip(path, destination, overwrite, limits);
    if (completion)
        completion(path, !error, error);
}

} // namespace platform
