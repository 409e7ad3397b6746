// The unpacker's entry checks on arbitrary archives, held in memory (a memfd)
// and unpacked into a fresh folder: whatever the archive holds, nothing may
// appear beside that folder, and a refusal always says why.
#include "FuzzInput.h"

#include <platform/ZipArchive.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

/// Small limits keep each run short: a few entries, little expansion; slices
/// of three entries put the checks across entries across slices too.
platform::ZipLimits limits()
{
    platform::ZipLimits limits;
    limits.expansionCheckFloor = 1024 * 1024;
    limits.maxEntries = 1000;
    limits.directorySliceEntries = 3;
    return limits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    platform::ZipArchive::isSafeEntryName(FuzzInput::text(data, size));

    const int fd = memfd_create("fuzz.zip", 0);
    if (fd < 0 || ::write(fd, data, size) != ssize_t(size))
        std::abort();
    const QString archive = QStringLiteral("/proc/self/fd/%1").arg(fd);

    static QTemporaryDir parent(QDir::tempPath() + QStringLiteral("/fuzz-zip-XXXXXX"));
    const QString destination = parent.filePath(QStringLiteral("out"));
    const auto error = platform::ZipArchive::unzip(archive, destination, true, limits());
    ::close(fd);
    if (error && error->message.isEmpty())
        std::abort();
    const QStringList beside
        = QDir(parent.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (!beside.isEmpty() && beside != QStringList { QStringLiteral("out") })
        std::abort();
    QDir(destination).removeRecursively();
    return 0;
}
