#include "PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

namespace {

// Property-list dates count seconds from 2001-01-01T00:00:00Z.
constexpr qint64 referenceDateOffset = 978307200;
constexpr int maximumDepth = PropertyList::defaultMaxDepth;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// libplist 2.2 keeps a date as a double but hands it out only as 32-bit
// seconds (wrapping outside 1901...2038 plus the 2001 epoch), and does not say
// whether an integer above 2^63 is unsigned. A binary list of one object
// carries both exactly: "bplist00", the object's marker, its big-endian bytes.
constexpr qsizetype binaryHeaderSize = 8;
constexpr char binaryDateMarker = char(0x33);
constexpr char binaryLongIntegerMarker = char(0x14); // 16 bytes: above 2^63

QByteArray binaryForm(plist_t node)
{
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    const QByteArray form(bytes, qsizetype(length));
    plist_to_bin_free(bytes);
    return form;
}

/// Whether a date @p seconds from the reference date is held: from year 1 to
/// 9999, the years the XML form can write.
bool isHeldDate(double seconds)
{
    const auto since = [](const QDate &date) {
        return double(QDateTime(date, QTime(0, 0), Qt::UTC).toSecsSinceEpoch() - referenceDateOffset);
    };
    static const double first = since(QDate(1, 1, 1));
    static const double end = since(QDate(10000, 1, 1));
    return seconds >= first && seconds < end;
}

std::optional<QDateTime> dateValue(plist_t node)
{
    const QByteArray form = binaryForm(node);
    if (form.size() < binaryHeaderSize + 9 || form[binaryHeaderSize] != binaryDateMarker)
        return std::nullopt;
    std::uint64_t bits = 0;
    for (int i = 1; i <= 8; ++i)
        bits = bits << 8 | static_cast<unsigned char>(form[binaryHeaderSize + i]);
    double seconds = 0;
    std::memcpy(&seconds, &bits, sizeof seconds);
    if (!isHeldDate(seconds))
        return std::nullopt;
    const auto ms = qint64(std::llround(seconds * 1000)) + referenceDateOffset * 1000;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

/// A date node holding @p dateTime, built from its binary form; nothing for a
/// date with a fraction of a second, which the XML form would drop.
plist_t dateNode(const QDateTime &dateTime)
{
    const qint64 ms = dateTime.toMSecsSinceEpoch();
    const double seconds = double(ms / 1000 - referenceDateOffset);
    if (!dateTime.isValid() || ms % 1000 != 0 || !isHeldDate(seconds))
        return nullptr;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &seconds, sizeof bits);
    QByteArray form = QByteArrayLiteral("bplist00") + binaryDateMarker;
    for (int shift = 56; shift >= 0; shift -= 8)
        form += char(bits >> shift);
    form += char(binaryHeaderSize); // the offset table: the one object's offset
    form += QByteArray(6, '\0') + "\x01\x01"; // trailer: offset and reference sizes
    form += QByteArray(7, '\0') + '\x01' + QByteArray(8, '\0'); // one object, the first at the top
    form += QByteArray(7, '\0') + char(binaryHeaderSize + 9); // where the offset table starts
    plist_t node = nullptr;
    plist_from_bin(form.constData(), uint32_t(form.size()), &node);
    return node;
}

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
        // Above 2^63 the same bits are either a negative or a large unsigned integer.
        if (value > uint64_t(std::numeric_limits<qint64>::max())) {
            const QByteArray form = binaryForm(node);
            if (form.size() <= binaryHeaderSize || form[binaryHeaderSize] == binaryLongIntegerMarker)
                return std::nullopt;
        }
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
        const auto date = dateValue(node);
        return date ? std::optional(QVariant(*date)) : std::nullopt;
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
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return nullptr;
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString: {
        // The library takes C strings: a NUL would cut the text short.
        const QByteArray text = value.toString().toUtf8();
        return text.contains('\0') ? nullptr : plist_new_string(text.constData());
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime:
        return dateNode(value.toDateTime());
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
            const QByteArray key = it.key().toUtf8();
            plist_t node = key.contains('\0') ? nullptr : fromVariant(it.value(), depth + 1);
            if (!node)
                return nullptr;
            plist_dict_set_item(dict.get(), key.constData(), node);
        }
        return dict.release();
    }
    default:
        return nullptr;
    }
}

/**
 * Nesting of an XML property list, read off the tags. Tags whose boundaries a
 * parser could see differently (a quoted '>' or a '<' inside a tag) are
 * refused, and container openings are matched more loosely than closings, so
 * that any disagreement with the parser can only make the count deeper.
 */
std::optional<QString> xmlNestingError(std::string_view text, int maxDepth)
{
    // XML never holds a NUL, and the parser aborts the process on a string or key that does.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        return QStringLiteral("a NUL byte at byte %1").arg(nul);
    static constexpr std::pair<std::string_view, std::string_view> skipped[] = {
        { "<!--", "-->" },
        { "<![CDATA[", "]]>" },
        { "<?", "?>" },
    };
    const auto opens = [](std::string_view name) {
        const auto startsWith = [name](std::string_view prefix) {
            return name.size() >= prefix.size()
                && std::equal(
                    prefix.begin(), prefix.end(), name.begin(), [](char a, char b) { return a == (b | 0x20); });
        };
        return startsWith("array") || startsWith("dict");
    };
    int depth = 0;
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string_view::npos) {
        const std::string_view rest = text.substr(at);
        const auto section = std::find_if(
            std::begin(skipped), std::end(skipped), [rest](const auto &pair) { return rest.starts_with(pair.first); });
        if (section != std::end(skipped)) {
            const std::size_t end = text.find(section->second, at + section->first.size());
            if (end == std::string_view::npos)
                return QStringLiteral("unterminated %1 at byte %2").arg(QLatin1String(section->first)).arg(at);
            at = end + section->second.size();
            continue;
        }
        const std::size_t end = text.find('>', at);
        if (end == std::string_view::npos)
            return QStringLiteral("unterminated tag at byte %1").arg(at);
        std::string_view tag = text.substr(at + 1, end - at - 1);
        if (tag.find('<') != std::string_view::npos || std::count(tag.begin(), tag.end(), '"') % 2
            || std::count(tag.begin(), tag.end(), '\'') % 2)
            return QStringLiteral("ambiguous tag at byte %1").arg(at);
        at = end + 1;
        const bool closing = tag.starts_with('/');
        tag.remove_prefix(closing ? 1 : 0);
        const std::string_view name = tag.substr(0, tag.find_first_of(" \t\r\n/"));
        if (closing && (name == "array" || name == "dict")) {
            if (--depth < 0)
                return QStringLiteral("closing tag without an opening one at byte %1").arg(at);
        } else if (!closing && opens(name)) {
            const std::size_t last = tag.find_last_not_of(" \t\r\n");
            const bool empty = last != std::string_view::npos && tag[last] == '/';
            if (!empty && ++depth > maxDepth)
                return QStringLiteral("nested deeper than %1 levels at byte %2").arg(maxDepth).arg(at);
        }
    }
    return std::nullopt;
}

std::uint64_t bigEndian(const unsigned char *bytes, std::size_t length)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < length; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

/**
 * Nesting of a binary property list, found by walking the object table from
 * the top object with an explicit stack. Every offset, length and reference
 * is checked against the data; a container reached again while inside itself
 * is a cycle, and shared containers may not expand past one visit per byte.
 */
class BinaryNesting {
public:
    BinaryNesting(std::string_view data, int maxDepth)
        : m_bytes(reinterpret_cast<const unsigned char *>(data.data()))
        , m_size(data.size())
        , m_maxDepth(maxDepth)
    {
    }

    std::optional<QString> error()
    {
        if (m_size < headerSize + trailerSize)
            return QStringLiteral("binary property list too short");
        const unsigned char *trailer = m_bytes + m_size - trailerSize;
        m_offsetSize = trailer[6];
        m_referenceSize = trailer[7];
        m_count = bigEndian(trailer + 8, 8);
        const std::uint64_t top = bigEndian(trailer + 16, 8);
        m_table = bigEndian(trailer + 24, 8);
        const std::uint64_t tableEnd = m_size - trailerSize;
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_referenceSize < 1 || m_referenceSize > 8 || m_table < headerSize
            || m_table > tableEnd || m_count == 0 || m_count > (tableEnd - m_table) / m_offsetSize || top >= m_count)
            return QStringLiteral("binary property list has an impossible trailer");
        m_inside.assign(m_count, false);
        if (auto problem = enter(top))
            return problem;
        std::uint64_t budget = m_size;
        while (!m_path.empty()) {
            Frame &frame = m_path.back();
            if (frame.next == frame.references) {
                m_inside[frame.object] = false;
                m_path.pop_back();
                continue;
            }
            const std::uint64_t child
                = bigEndian(m_bytes + frame.start + frame.next * m_referenceSize, m_referenceSize);
            ++frame.next;
            if (budget-- == 0)
                return QStringLiteral("shared containers expand past the size of the data");
            if (child >= m_count)
                return QStringLiteral("reference to object %1 of %2").arg(child).arg(m_count);
            if (auto problem = enter(child))
                return problem;
        }
        return std::nullopt;
    }

private:
    static constexpr std::uint64_t headerSize = 8;
    static constexpr std::uint64_t trailerSize = 32;

    struct Frame {
        std::uint64_t object;
        std::uint64_t start; ///< where the references begin
        std::uint64_t references;
        std::uint64_t next;
    };

    /// Pushes @p object when it is an array, set or dictionary; checks it when it is a string.
    std::optional<QString> enter(std::uint64_t object)
    {
        const std::uint64_t offset = bigEndian(m_bytes + m_table + object * m_offsetSize, m_offsetSize);
        if (offset < headerSize || offset >= m_table)
            return QStringLiteral("object %1 lies outside the object area").arg(object);
        const unsigned char marker = m_bytes[offset];
        const int type = marker >> 4;
        if (type == 0x5 || type == 0x6)
            return stringError(object, offset);
        if (type != 0xa && type != 0xc && type != 0xd)
            return std::nullopt;
        if (m_inside[object])
            return QStringLiteral("object %1 contains itself").arg(object);
        if (m_path.size() >= std::size_t(std::max(0, m_maxDepth)))
            return QStringLiteral("nested deeper than %1 levels").arg(m_maxDepth);
        const auto length = lengthOf(offset);
        if (!length)
            return QStringLiteral("object %1 has a malformed length").arg(object);
        const auto [count, position] = *length;
        const std::uint64_t perEntry = type == 0xd ? 2 * m_referenceSize : m_referenceSize;
        if (count > (m_table - position) / perEntry)
            return QStringLiteral("object %1 runs past the object area").arg(object);
        m_inside[object] = true;
        m_path.push_back({ object, position, type == 0xd ? 2 * count : count, 0 });
        return std::nullopt;
    }

    /// The element count of the object at @p offset and where its elements
    /// start; nullopt when its length does not fit the object area.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> lengthOf(std::uint64_t offset) const
    {
        std::uint64_t position = offset + 1;
        std::uint64_t count = m_bytes[offset] & 0x0f;
        if (count == 0x0f) {
            const unsigned char lengthMarker = position < m_table ? m_bytes[position] : 0;
            const std::uint64_t width = std::uint64_t(1) << (lengthMarker & 0x0f);
            if ((lengthMarker & 0xf0) != 0x10 || width > 8 || width > m_table - position - 1)
                return std::nullopt;
            count = bigEndian(m_bytes + position + 1, width);
            position += 1 + width;
        }
        return std::pair { count, position };
    }

    /// An ASCII (0x5) or UTF-16 (0x6) string that holds a NUL: the parser
    /// aborts the process when asked for such a string or dictionary key.
    std::optional<QString> stringError(std::uint64_t object, std::uint64_t offset) const
    {
        const auto length = lengthOf(offset);
        if (!length)
            return QStringLiteral("object %1 has a malformed length").arg(object);
        const auto [count, position] = *length;
        const std::uint64_t unit = (m_bytes[offset] >> 4) == 0x6 ? 2 : 1;
        if (count > (m_table - position) / unit)
            return QStringLiteral("object %1 runs past the object area").arg(object);
        for (std::uint64_t i = 0; i < count; ++i) {
            const unsigned char *character = m_bytes + position + i * unit;
            if (character[0] == 0 && (unit == 1 || character[1] == 0))
                return QStringLiteral("string %1 holds a NUL character").arg(object);
        }
        return std::nullopt;
    }

    const unsigned char *m_bytes;
    std::uint64_t m_size;
    int m_maxDepth;
    std::uint64_t m_offsetSize = 0;
    std::uint64_t m_referenceSize = 0;
    std::uint64_t m_count = 0;
    std::uint64_t m_table = 0;
    std::vector<bool> m_inside;
    std::vector<Frame> m_path;
};

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

bool PropertyList::isNestingWithin(const QByteArray &data, int maxDepth, QString *error)
{
    const std::string_view bytes(data.constData(), std::size_t(data.size()));
    const auto problem
        = bytes.starts_with("bplist00") ? BinaryNesting(bytes, maxDepth).error() : xmlNestingError(bytes, maxDepth);
    if (problem)
        setError(error, QStringLiteral("not a property list: %1").arg(*problem));
    return !problem;
}

std::optional<QVariant> PropertyList::fromData(const QByteArray &data, QString *error)
{
    if (data.isEmpty() || data.size() > std::numeric_limits<uint32_t>::max()) {
        setError(error, QStringLiteral("not a property list: empty or too large"));
        return std::nullopt;
    }
    // The parser builds and frees its tree recursively: deep nesting must never reach it.
    if (!isNestingWithin(data, maximumDepth, error))
        return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(data.constData(), uint32_t(data.size()), &root);
    const PlistPtr owner(root);
    if (!root) {
        setError(error, QStringLiteral("not a property list: malformed data"));
        return std::nullopt;
    }
    auto value = toVariant(root, 0);
    if (!value)
        setError(error, QStringLiteral("not a property list: unsupported, out of range or too deeply nested value"));
    return value;
}

std::optional<QVariantMap> PropertyList::readDictionary(const QString &path, QString *error, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return std::nullopt;
    }
    const auto tooLarge = [&] {
        setError(error, QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes));
        return std::nullopt;
    };
    if (file.size() > maxBytes)
        return tooLarge();
    // Devices and pipes report no size: reading one byte past the limit tells.
    const QByteArray data = file.read(maxBytes + 1);
    if (data.size() > maxBytes)
        return tooLarge();
    auto value = fromData(data, error);
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
