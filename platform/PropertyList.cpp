#include "PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

#include <plist/plist.h>

#include <memory>

namespace platform {

namespace {

// Property-list dates count seconds from 2001-01-01T00:00:00Z.
constexpr qint64 referenceDateOffset = 978307200;
constexpr int maximumDepth = 64;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

std::optional<QVariant> toVariant(plist_t node, int depth)
{
    if (!node || depth > maximumDepth)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return QVariant(value != 0);
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return QVariant(qint64(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return QVariant(value);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        char *value = nullptr;
        plist_get_string_val(node, &value);
        const QString text = value ? QString::fromUtf8(value) : QString();
        free(value);
        return QVariant(text);
    }
    case PLIST_DATA: {
        char *value = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &value, &length);
        const QByteArray bytes(value, qsizetype(length));
        free(value);
        return QVariant(bytes);
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t micros = 0;
        plist_get_date_val(node, &seconds, &micros);
        const qint64 ms = (qint64(seconds) + referenceDateOffset) * 1000 + micros / 1000;
        return QVariant(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC));
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t size = plist_array_get_size(node);
        for (uint32_t i = 0; i < size; ++i) {
            auto item = toVariant(plist_array_get_item(node, i), depth + 1);
            if (!item)
                return std::nullopt;
            list.append(*item);
        }
        return QVariant(list);
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iter, &key, &value);
            if (!value) {
                free(key);
                break;
            }
            auto item = toVariant(value, depth + 1);
            const QString name = QString::fromUtf8(key);
            free(key);
            if (!item) {
                free(iter);
                return std::nullopt;
            }
            map.insert(name, *item);
        }
        free(iter);
        return QVariant(map);
    }
    default:
        return std::nullopt;
    }
}

plist_t fromVariant(const QVariant &value, int depth)
{
    if (depth > maximumDepth)
        return nullptr;
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 ms = value.toDateTime().toMSecsSinceEpoch() - referenceDateOffset * 1000;
        const qint64 seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
        return plist_new_date(int32_t(seconds), int32_t((ms - seconds * 1000) * 1000));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        PlistPtr array(plist_new_array());
        for (const QVariant &item : value.toList()) {
            plist_t node = fromVariant(item, depth + 1);
            if (!node)
                return nullptr;
            plist_array_append_item(array.get(), node);
        }
        return array.release();
    }
    case QMetaType::QVariantMap: {
        PlistPtr dict(plist_new_dict());
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            plist_t node = fromVariant(it.value(), depth + 1);
            if (!node)
                return nullptr;
            plist_dict_set_item(dict.get(), it.key().toUtf8().constData(), node);
        }
        return dict.release();
    }
    default:
        return nullptr;
    }
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

std::optional<QVariant> PropertyList::fromData(const QByteArray &data, QString *error)
{
    if (data.isEmpty() || data.size() > std::numeric_limits<uint32_t>::max()) {
        setError(error, QStringLiteral("not a property list: empty or too large"));
        return std::nullopt;
    }
    plist_t root = nullptr;
    plist_from_memory(data.constData(), uint32_t(data.size()), &root);
    const PlistPtr owner(root);
    if (!root) {
        setError(error, QStringLiteral("not a property list: malformed data"));
        return std::nullopt;
    }
    auto value = toVariant(root, 0);
    if (!value)
        setError(error, QStringLiteral("not a property list: unsupported or too deeply nested value"));
    return value;
}

std::optional<QVariantMap> PropertyList::readDictionary(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return std::nullopt;
    }
    auto value = fromData(file.readAll(), error);
    if (!value)
        return std::nullopt;
    if (value->metaType().id() != QMetaType::QVariantMap) {
        setError(error, QStringLiteral("property list is not a dictionary"));
        return std::nullopt;
    }
    return value->toMap();
}

QByteArray PropertyList::toXml(const QVariant &value)
{
    const PlistPtr root(fromVariant(value, 0));
    if (!root)
        return QByteArray();
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    const QByteArray bytes(xml, qsizetype(length));
    plist_to_xml_free(xml);
    return bytes;
}

bool PropertyList::writeDictionary(const QVariantMap &dictionary, const QString &path, QString *error)
{
    const QByteArray xml = toXml(dictionary);
    if (xml.isEmpty()) {
        setError(error, QStringLiteral("dictionary holds a value a property list cannot store"));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace platform
