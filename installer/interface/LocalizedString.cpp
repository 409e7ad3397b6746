#include "LocalizedString.h"

#include "InAppLanguage.h"

#include <platform/StringsTable.h>

#include <optional>

namespace {

std::optional<platform::StringsTable::Table> tableFor(
    const platform::Bundle &bundle, const QString &language, const QString &table)
{
    // pathForResource refuses names that would leave the resource folder,
    // so neither a table name nor a language code can reach outside it.
    if (bundle.pathForResource(language, QStringLiteral("lproj")).isEmpty())
        return std::nullopt;
    const QString path = bundle.pathForResource(table, QStringLiteral("strings"), language + QStringLiteral(".lproj"));
    if (path.isEmpty())
        return std::nullopt;
    return platform::StringsTable::load(path);
}

} // namespace

QString localizedString(const QString &key, const QString &table, const platform::Bundle &bundle, const QString &value,
    const QString &comment)
{
    Q_UNUSED(comment);
    const InAppLanguage language = InAppLanguage::resolve();
    const QString tableName = table.isEmpty() ? QStringLiteral("Localizable") : table;
    const QString missing = value.isEmpty() ? key : value;

    auto strings = tableFor(bundle, language.code(), tableName);
    if (!strings) {
        const QStringList preferred = bundle.preferredLocalizations();
        if (!preferred.isEmpty())
            strings = tableFor(bundle, preferred.first(), tableName);
    }
    if (!strings)
        return missing;
    const auto it = strings->constFind(key);
    return it == strings->constEnd() ? missing : *it;
}
