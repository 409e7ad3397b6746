// The swap journal read from arbitrary bytes, as at every start: it is refused,
// or names a staging folder directly inside the applications folder (a plain
// ".prismora-install-" name plus six letters or digits), and writing the entry
// read gives a journal that reads back the same.
#include "FuzzInput.h"

#include <installer/install/SwapJournal.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

bool isPlainStagingName(const QString &name)
{
    static const QString prefix = QStringLiteral(".prismora-install-");
    return name.size() == prefix.size() + 6 && name.startsWith(prefix)
        && std::ranges::all_of(name.sliced(prefix.size()),
            [](QChar c) { return c.isDigit() || ((c.toLatin1() | 0x20) >= 'a' && (c.toLatin1() | 0x20) <= 'z'); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir applications(QDir::tempPath() + QStringLiteral("/fuzz-journal-XXXXXX"));
    QFile file(SwapJournal::path(applications.path()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(FuzzInput::bytes(data, size)) != qint64(size))
        std::abort();
    file.close();
    const auto entry = SwapJournal::read(applications.path());
    if (!entry)
        return 0;
    const QFileInfo staging(applications.path() + QLatin1Char('/') + entry->staging);
    if (!isPlainStagingName(entry->staging) || staging.absolutePath() != applications.path())
        std::abort();
    if (SwapJournal::write(applications.path(), *entry) != 0)
        std::abort();
    const auto again = SwapJournal::read(applications.path());
    if (!again || again->staging != entry->staging || again->staged != entry->staged)
        std::abort();
    return 0;
}
