#include "ZipArchive.h"

#include "FileSync.h"
#include "Folders.h"
#include "ZipSlicedDirectory_p.h"

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
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_set>
#include <variant>
#include <vector>

namespace platform {

namespace {

using Code = ZipError::Code;
using Slice = ZipSlicedDirectory::Slice;
namespace fs = std::filesystem;

constexpr std::size_t readBufferSize = 256 * 1024;
constexpr zip_uint64_t longestLinkTarget = 4096;
// Below this many bytes of files one thread writes them all.
constexpr std::uint64_t parallelWriteFloor = 64ull * 1024 * 1024;
ZipError failure(Code code, const QString &message, FileError fileError = FileError::None)
{
    return ZipError { code, fileError, message };
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

using ZipHandle = std::unique_ptr<zip_t, void (*)(zip_t *)>;

ZipHandle handle(zip_t *archive)
{
    return ZipHandle(archive, zip_discard);
}

/// Opens @p slice with libzip's consistency checks. Some zip tools list a
/// folder twice, which those checks refuse like any repeated name; such a
/// slice is opened without them, and only folder names may repeat in it (a
/// file named twice in two slices is found when its path is claimed).
std::variant<ZipHandle, ZipError> openChecked(
    const ZipSlicedDirectory &directory, const Slice &slice, const QString &path)
{
    int code = 0;
    if (zip_t *archive = directory.openSlice(slice, ZIP_CHECKCONS, &code))
        return handle(archive);
    if (code != ZIP_ER_EXISTS)
        return ZipSlicedDirectory::openFailure(path, code);
    ZipHandle archive = handle(directory.openSlice(slice, 0, &code));
    if (!archive)
        return ZipSlicedDirectory::openFailure(path, code);
    for (zip_uint64_t index = 0; index < slice.entryCount; ++index) {
        const char *name = zip_get_name(archive.get(), index, 0);
        if (!name || zip_name_locate(archive.get(), name, 0) == zip_int64_t(index)
            || isFolder(archive.get(), index, name))
            continue;
        return failure(Code::CorruptEntry, QStringLiteral("%1 appears twice in the archive").arg(name));
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
    Reader(const ZipSlicedDirectory &directory, const QString &path, const std::string &root, bool overwrite)
        : m_directory(directory)
        , m_path(path)
        , m_root(root)
        , m_overwrite(overwrite)
        , m_buffer(readBufferSize)
    {
    }

    /// Checks every slice with libzip's consistency checks and the declared
    /// sizes of all entries, before anything is written.
    std::optional<ZipError> checkSizes(const ZipArchive::Limits &limits)
    {
        std::uint64_t total = 0;
        for (const Slice &slice : m_directory.slices()) {
            auto opened = openChecked(m_directory, slice, m_path);
            if (auto *refused = std::get_if<ZipError>(&opened))
                return *refused;
            zip_t *archive = std::get<ZipHandle>(opened).get();
            for (zip_uint64_t index = 0; index < slice.entryCount; ++index) {
                const std::uint64_t entry = slice.firstEntry + index;
                zip_stat_t stat;
                if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
                    return failure(Code::CorruptEntry, QStringLiteral("entry %1 has no size").arg(entry));
                if (stat.size > std::numeric_limits<std::uint64_t>::max() - total) {
                    return failure(Code::ZipBomb,
                        QStringLiteral("declared sizes add up past 2^64 at entry %1 (%2 bytes)")
                            .arg(entry)
                            .arg(stat.size));
                }
                total += stat.size;
            }
        }
        return ZipArchive::checkDeclaredSize(total, m_directory.fileSize(), QString::fromStdString(m_root), limits);
    }

    /// Unpacks every entry, slice by slice: in each the folders first, then
    /// the files (on two threads when there is much to write); the links of
    /// all slices last, so that no file is ever written through a link the
    /// archive made.
    std::optional<ZipError> unpackAll()
    {
        std::vector<LinkEntry> links;
        for (const Slice &slice : m_directory.slices()) {
            ZipHandle archive = open(slice);
            if (!archive)
                return ZipSlicedDirectory::openFailure(m_path, ZIP_ER_INCONS);
            std::vector<FileEntry> files;
            for (zip_uint64_t index = 0; index < slice.entryCount; ++index) {
                if (auto error = prepare(archive.get(), slice.firstEntry, index, files, links))
                    return error;
            }
            if (auto error = writeFiles(slice, archive.get(), files))
                return error;
        }
        const auto makeLink = [this](zip_t *archive, zip_uint64_t index, const LinkEntry &entry) {
            return link(archive, index, entry.size);
        };
        if (auto error = forEachLink(links, makeLink))
            return error;
        std::error_code error;
        const fs::path root = fs::canonical(m_root, error);
        if (error)
            return writeFailure(error.value(), m_root);
        return forEachLink(links, [this, &root](zip_t *archive, zip_uint64_t index, const LinkEntry &) {
            return checkLink(root, targetOf(archive, m_root, index));
        });
    }

private:
    // Entries are kept by index alone: paths are made again from the
    // archive's directory when they are needed, so that memory does not grow
    // with the length of the names. Files by their index in their slice,
    // links by their index in the archive.
    struct FileEntry {
        zip_uint64_t index;
        zip_uint64_t declared;
        mode_t mode;
    };
    struct LinkEntry {
        std::uint64_t entry;
        zip_uint64_t size;
    };

    /// A slice that checkSizes() accepted, opened again.
    ZipHandle open(const Slice &slice) const
    {
        int code = 0;
        return handle(m_directory.openSlice(slice, 0, &code));
    }

    static QString nameOf(zip_t *archive, zip_uint64_t index)
    {
        return QString::fromUtf8(zip_get_name(archive, index, 0));
    }

    /// Records that a file or link is written to @p target; false when an
    /// earlier entry writes there too. Only hashes are kept: two different
    /// paths of one hash (about 3 in 10^10 for 100,000 entries) refuse the
    /// archive, while a path named twice is always found.
    bool claim(const std::string &target) { return m_claimed.insert(std::hash<std::string>()(target)).second; }

    /// Checks entry @p index of a slice whose first entry is @p first,
    /// creates the folders it needs and queues its file or link.
    std::optional<ZipError> prepare(zip_t *archive, std::uint64_t first, zip_uint64_t index,
        std::vector<FileEntry> &files, std::vector<LinkEntry> &links)
    {
        zip_stat_t stat;
        if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            return failure(Code::CorruptEntry, QStringLiteral("entry %1 cannot be read").arg(first + index));
        const std::string name = stat.name;
        const auto parts = components(name);
        if (!parts)
            return failure(Code::UnsafeEntry,
                QStringLiteral("%1 would be written outside the folder").arg(QString::fromStdString(name)));
        if (parts->empty())
            return std::nullopt;

        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        zip_file_get_external_attributes(archive, index, 0, &system, &attributes);
        const mode_t mode = system == ZIP_OPSYS_UNIX ? mode_t(attributes >> 16) : 0;
        const bool folder = isFolder(archive, index, name);

        const std::string target = joined(m_root, *parts, parts->size());
        if (!folder && !claim(target))
            return failure(Code::CorruptEntry,
                QStringLiteral("%1 appears twice in the archive").arg(QString::fromStdString(name)));
        if (auto error = makeFolders(m_root, *parts, parts->size() - 1))
            return error;
        if (S_ISLNK(mode) && !folder) {
            links.push_back({ first + index, stat.size });
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

    /// Writes the @p files of @p slice, read through @p archive; large
    /// amounts go to two threads, the second reading through its own handle.
    std::optional<ZipError> writeFiles(const Slice &slice, zip_t *archive, std::vector<FileEntry> &files)
    {
        std::uint64_t total = 0;
        for (const FileEntry &entry : files)
            total += entry.declared;
        if (total < parallelWriteFloor || files.size() < 2) {
            for (const FileEntry &entry : files) {
                if (auto error = file(archive, m_buffer, entry))
                    return error;
            }
            return std::nullopt;
        }
        // Largest first, so the two threads finish close together.
        std::sort(files.begin(), files.end(), [](const auto &a, const auto &b) { return a.declared > b.declared; });
        std::atomic<std::size_t> next { 0 };
        std::optional<ZipError> errors[2];
        const auto work = [&](zip_t *reader, std::vector<char> &buffer, std::optional<ZipError> &error) {
            for (std::size_t i = next++; i < files.size(); i = next++) {
                if ((error = file(reader, buffer, files[i]))) {
                    next = files.size();
                    break;
                }
            }
        };
        std::thread helper([&] {
            const ZipHandle second = open(slice);
            if (!second) {
                errors[1] = failure(Code::CannotOpen, QStringLiteral("%1 cannot be opened again").arg(m_path));
                next = files.size();
                return;
            }
            std::vector<char> buffer(readBufferSize);
            work(second.get(), buffer, errors[1]);
        });
        work(archive, m_buffer, errors[0]);
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

    /// Calls @p action for each of @p links (in archive order) with the slice
    /// that holds it, opened again, and its index there; stops at the first error.
    template <typename Action>
    std::optional<ZipError> forEachLink(const std::vector<LinkEntry> &links, const Action &action) const
    {
        auto next = links.begin();
        for (const Slice &slice : m_directory.slices()) {
            if (next == links.end())
                break;
            if (next->entry >= slice.firstEntry + slice.entryCount)
                continue;
            const ZipHandle archive = open(slice);
            if (!archive)
                return ZipSlicedDirectory::openFailure(m_path, ZIP_ER_INCONS);
            for (; next != links.end() && next->entry < slice.firstEntry + slice.entryCount; ++next) {
                if (auto error = action(archive.get(), next->entry - slice.firstEntry, *next))
                    return error;
            }
        }
        return std::nullopt;
    }

    /// Makes entry @p index of @p archive, a link whose target is @p size bytes.
    std::optional<ZipError> link(zip_t *archive, zip_uint64_t index, zip_uint64_t size) const
    {
        const std::string target = targetOf(archive, m_root, index);
        const QString name = nameOf(archive, index);
        struct stat info { };
        if (::lstat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            return failure(Code::UnsafeEntry, QStringLiteral("%1 would put other entries behind a link").arg(name));
        if (auto error = clearTarget(target, m_overwrite, false))
            return error;
        if (size == 0 || size > longestLinkTarget)
            return failure(Code::UnsafeEntry, QStringLiteral("%1 is not a plausible link").arg(name));
        zip_file_t *entry = zip_fopen_index(archive, index, 0);
        if (!entry)
            return failure(Code::CorruptEntry, QString::fromUtf8(zip_strerror(archive)));
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

    /// A link may point at anything inside the folder @p root, however it gets there.
    static std::optional<ZipError> checkLink(const fs::path &root, const std::string &link)
    {
        std::error_code error;
        const fs::path resolved = fs::weakly_canonical(link, error);
        const auto relative = resolved.lexically_relative(root);
        if (error || relative.empty() || *relative.begin() == "..") {
            return failure(
                Code::UnsafeEntry, QStringLiteral("%1 points outside the folder").arg(QString::fromStdString(link)));
        }
        return std::nullopt;
    }

    const ZipSlicedDirectory &m_directory;
    QString m_path;
    std::string m_root;
    bool m_overwrite;
    std::vector<char> m_buffer;
    // Hashes of the paths files and links are written to.
    std::unordered_set<std::size_t> m_claimed;
};

} // namespace

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

std::optional<QByteArray> ZipArchive::readEntry(
    const QString &path, const QString &name, qint64 maxBytes, const Limits &limits)
{
    const auto read = ZipSlicedDirectory::read(path, limits);
    const auto *directory = std::get_if<ZipSlicedDirectory>(&read);
    if (!directory)
        return std::nullopt;
    const QByteArray wanted = name.toUtf8();
    for (const Slice &slice : directory->slices()) {
        int code = 0;
        const ZipHandle archive = handle(directory->openSlice(slice, 0, &code));
        zip_stat_t stat;
        if (!archive || zip_stat(archive.get(), wanted.constData(), 0, &stat) != 0)
            continue;
        if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > zip_uint64_t(std::max<qint64>(0, maxBytes)))
            return std::nullopt;
        zip_file_t *entry = zip_fopen_index(archive.get(), stat.index, 0);
        if (!entry)
            return std::nullopt;
        QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
        const bool complete = zip_fread(entry, data.data(), stat.size) == zip_int64_t(stat.size);
        zip_fclose(entry);
        return complete ? std::optional(data) : std::nullopt;
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
    auto read = ZipSlicedDirectory::read(path, limits);
    if (auto *refused = std::get_if<ZipError>(&read))
        return *refused;
    const std::string root = QFile::encodeName(QDir::cleanPath(QDir(destination).absolutePath())).toStdString();
    Reader reader(std::get<ZipSlicedDirectory>(read), path, root, overwrite);
    std::optional<ZipError> error = reader.checkSizes(limits);
    if (!error) {
        if (!QDir().mkpath(destination))
            error = writeFailure(errno ? errno : EIO, root);
        else
            error = reader.unpackAll();
    }
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
