// The localised format expander: the first NUL-separated part is the format,
// the rest are the arguments. It must finish, never read past its arguments,
// and wrap each argument in isolates that are balanced whatever it holds.
#include "FuzzInput.h"

#include "LocalizedFormat.h"
#include "LocalizedString.h"

#include <cstdlib>

namespace {

/// Whether every isolate in @p text is closed, and none closed before it opened.
bool isolatesBalanced(const QString &text)
{
    qsizetype open = 0;
    for (const QChar c : text) {
        if (c.unicode() >= 0x2066 && c.unicode() <= 0x2068)
            ++open;
        else if (c.unicode() == 0x2069 && --open < 0)
            return false;
    }
    return open == 0;
}

} // namespace

// The translated text of a key is the key itself here: the format is the fuzzer's.
QString localizedString(const QString &key, const QString &, const platform::Bundle &, const QString &, const QString &)
{
    return key;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QStringList parts = FuzzInput::parts(data, size);
    const QString format = parts.takeFirst();
    formatLocalized(format, parts);
    localizedFormat(format, parts);
    for (const QString &argument : parts) {
        if (!isolatesBalanced(localizedFormat(QStringLiteral("%@"), { argument })))
            std::abort();
    }
    return 0;
}
