// The settings reader on an arbitrary settings file: whatever it reads, a
// change is saved (synchronize() succeeds) and reads back, and a saved file
// keeps every key and value through the next save.
#include "FuzzInput.h"

#include <platform/UserDefaults.h>

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

using Values = QMap<QString, QByteArray>;

/// Every key of the store, with its value serialized (so that NaN equals itself). A list
/// of strings counts as a list: QSettings reads some as one type, some as the other.
Values valuesOf(const platform::UserDefaults &defaults)
{
    Values values;
    for (QString key : QSettings(defaults.filePath(), QSettings::IniFormat).allKeys()) {
        key = key.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/')); // as value() looks it up
        const QVariant value = defaults.value(key);
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream << (value.metaType().id() == QMetaType::QStringList ? QVariant(value.toList()) : value);
        values.insert(key, bytes);
    }
    return values;
}

/// A store of a suite never opened before, holding @p bytes, so that no cached copy of an earlier file is read.
QString freshSuite(const QString &folder, const QByteArray &bytes)
{
    static int count = 0;
    const QString suite = QStringLiteral("suite-%1").arg(++count);
    QFile file(folder + QLatin1Char('/') + suite + QStringLiteral(".conf"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    return suite;
}

/// Sets @p key in the store holding @p bytes and saves it: the file written.
QByteArray savedWith(const QString &folder, const QByteArray &bytes, const QString &key, Values *values = nullptr)
{
    platform::UserDefaults defaults(freshSuite(folder, bytes));
    if (values)
        *values = valuesOf(defaults);
    defaults.setValue(key, QStringLiteral("a value\n; [not a group]"));
    if (!defaults.synchronize())
        std::abort();
    QFile file(defaults.filePath());
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray saved = file.readAll();
    file.remove();
    return saved;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir config(QDir::tempPath() + QStringLiteral("/fuzz-settings-XXXXXX"));
    static const QString folder = [] {
        if (!config.isValid())
            std::abort();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        platform::UserDefaults::setFolderName(QStringLiteral("fuzz"));
        QDir().mkpath(config.path() + QStringLiteral("/fuzz"));
        return config.path() + QStringLiteral("/fuzz");
    }();
    const QByteArray first = savedWith(folder, FuzzInput::bytes(data, size), QStringLiteral("Added/First"));
    Values values;
    const QByteArray second = savedWith(folder, first, QStringLiteral("Added/Second"), &values);
    Values again;
    savedWith(folder, second, QStringLiteral("Added/Third"), &again);
    again.remove(QStringLiteral("Added/Second"));
    if (!values.contains(QStringLiteral("Added/First")) || again != values)
        std::abort();
    return 0;
}
