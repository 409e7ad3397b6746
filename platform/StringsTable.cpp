#include "StringsTable.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QStringDecoder>

namespace platform {

Q_LOGGING_CATEGORY(lcStringsTable, "prismora.platform.stringstable")

namespace {

bool isUnquotedChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '$'
        || u == '+' || u == '/' || u == ':' || u == '.' || u == '-';
}

QString describe(QChar c)
{
    if (c.unicode() >= 0x21 && c.unicode() < 0x7f)
        return QStringLiteral("'%1'").arg(c);
    return QStringLiteral("U+") + QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// Decodes the raw bytes; the byte-order mark, when present, picks the encoding.
std::optional<QString> decode(const QByteArray &data, QString *error)
{
    const auto bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype size = data.size();
    if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        const bool little = bytes[0] == 0xFF;
        if (size % 2 != 0) {
            *error = QStringLiteral("truncated UTF-16 text (odd number of bytes)");
            return std::nullopt;
        }
        QString text;
        text.reserve((size - 2) / 2);
        for (qsizetype i = 2; i < size; i += 2) {
            const char16_t unit
                = little ? char16_t(bytes[i] | (bytes[i + 1] << 8)) : char16_t((bytes[i] << 8) | bytes[i + 1]);
            text.append(QChar(unit));
        }
        return text;
    }
    QByteArrayView view(data);
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        view = view.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(view);
    if (decoder.hasError()) {
        *error = QStringLiteral("invalid UTF-8 text");
        return std::nullopt;
    }
    return text;
}

// Every high surrogate must be followed by a low one and no low one may
// stand alone; answers the index of the first offending unit or -1.
qsizetype firstBrokenSurrogate(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                return i;
            ++i;
        } else if (c.isLowSurrogate()) {
            return i;
        }
    }
    return -1;
}

class Parser {
public:
    explicit Parser(const QString &text)
        : m_text(text)
    {
    }

    std::optional<StringsTable::Table> run()
    {
        StringsTable::Table table;
        for (;;) {
            if (!skipSpaceAndComments())
                return std::nullopt;
            if (atEnd())
                return table;
            const int entryLine = m_line;
            auto key = readToken(QStringLiteral("key"));
            if (!key || !skipSpaceAndComments())
                return std::nullopt;
            QString value;
            if (!atEnd() && peek() == QLatin1Char('=')) {
                ++m_pos;
                if (!skipSpaceAndComments())
                    return std::nullopt;
                auto read = readToken(QStringLiteral("value"));
                if (!read || !skipSpaceAndComments())
                    return std::nullopt;
                value = *read;
            } else if (!atEnd() && peek() == QLatin1Char(';')) {
                value = *key;
            } else {
                return fail(QStringLiteral("expected '=' or ';' after the key \"%1\"").arg(*key));
            }
            if (atEnd() || peek() != QLatin1Char(';'))
                return fail(QStringLiteral("expected ';' after the entry \"%1\"").arg(*key));
            ++m_pos;
            if (table.contains(*key))
                qCWarning(lcStringsTable)
                    << "duplicate key" << *key << "on line" << entryLine << "replaces the earlier entry";
            table.insert(*key, value);
        }
    }

    QString error() const { return m_error; }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek(qsizetype ahead = 0) const { return m_pos + ahead < m_text.size() ? m_text.at(m_pos + ahead) : QChar(); }

    std::nullopt_t fail(const QString &message)
    {
        m_error = QStringLiteral("line %1: %2").arg(m_line).arg(message);
        return std::nullopt;
    }

    bool skipSpaceAndComments()
    {
        while (!atEnd()) {
            const QChar c = peek();
            if (c == QLatin1Char('\n')) {
                ++m_line;
                ++m_pos;
            } else if (c.isSpace()) {
                ++m_pos;
            } else if (c == QLatin1Char('/') && peek(1) == QLatin1Char('/')) {
                while (!atEnd() && peek() != QLatin1Char('\n'))
                    ++m_pos;
            } else if (c == QLatin1Char('/') && peek(1) == QLatin1Char('*')) {
                const int startLine = m_line;
                m_pos += 2;
                for (;;) {
                    if (atEnd()) {
                        m_line = startLine;
                        fail(QStringLiteral("unterminated comment"));
                        return false;
                    }
                    if (peek() == QLatin1Char('*') && peek(1) == QLatin1Char('/')) {
                        m_pos += 2;
                        break;
                    }
                    if (peek() == QLatin1Char('\n'))
                        ++m_line;
                    ++m_pos;
                }
            } else {
                return true;
            }
        }
        return true;
    }

    std::optional<QString> readToken(const QString &what)
    {
        if (atEnd())
            return fail(QStringLiteral("expected a %1 before the end of the text").arg(what));
        const QChar first = peek();
        if (first == QLatin1Char('"'))
            return readQuoted();
        if (!isUnquotedChar(first))
            return fail(QStringLiteral("unexpected character %1 where a %2 should start").arg(describe(first), what));
        const qsizetype start = m_pos;
        while (!atEnd() && isUnquotedChar(peek())) {
            // "//" and "/*" start comments even right after a token.
            if (peek() == QLatin1Char('/') && (peek(1) == QLatin1Char('/') || peek(1) == QLatin1Char('*')))
                break;
            ++m_pos;
        }
        return m_text.mid(start, m_pos - start);
    }

    std::optional<QString> readQuoted()
    {
        const int startLine = m_line;
        ++m_pos;
        QString out;
        for (;;) {
            if (atEnd()) {
                m_line = startLine;
                return fail(QStringLiteral("unterminated string"));
            }
            const QChar c = m_text.at(m_pos++);
            if (c == QLatin1Char('"'))
                break;
            if (c == QLatin1Char('\n'))
                ++m_line;
            if (c != QLatin1Char('\\')) {
                out.append(c);
                continue;
            }
            if (atEnd()) {
                m_line = startLine;
                return fail(QStringLiteral("unterminated string"));
            }
            if (!readEscape(out))
                return std::nullopt;
        }
        if (const qsizetype broken = firstBrokenSurrogate(out); broken >= 0)
            return fail(QStringLiteral("unpaired surrogate %1 in a string").arg(describe(out.at(broken))));
        return out;
    }

    bool readEscape(QString &out)
    {
        const QChar e = m_text.at(m_pos++);
        switch (e.unicode()) {
        case '"':
        case '\'':
        case '\\':
        case '/':
            out.append(e);
            return true;
        case 'n':
            out.append(QLatin1Char('\n'));
            return true;
        case 't':
            out.append(QLatin1Char('\t'));
            return true;
        case 'r':
            out.append(QLatin1Char('\r'));
            return true;
        case 'a':
            out.append(QChar(0x07));
            return true;
        case 'b':
            out.append(QChar(0x08));
            return true;
        case 'f':
            out.append(QChar(0x0C));
            return true;
        case 'v':
            out.append(QChar(0x0B));
            return true;
        case 'u':
        case 'U': {
            char16_t unit = 0;
            for (int i = 0; i < 4; ++i) {
                const char16_t h = atEnd() ? 0 : peek().unicode();
                int value = -1;
                if (h >= '0' && h <= '9')
                    value = h - '0';
                else if (h >= 'a' && h <= 'f')
                    value = h - 'a' + 10;
                else if (h >= 'A' && h <= 'F')
                    value = h - 'A' + 10;
                if (value < 0) {
                    fail(QStringLiteral("\\%1 needs four hexadecimal digits").arg(e));
                    return false;
                }
                unit = char16_t(unit * 16 + value);
                ++m_pos;
            }
            out.append(QChar(unit));
            return true;
        }
        default:
            break;
        }
        if (e >= QLatin1Char('0') && e <= QLatin1Char('7')) {
            int value = e.unicode() - '0';
            for (int i = 0; i < 2 && !atEnd() && peek() >= QLatin1Char('0') && peek() <= QLatin1Char('7'); ++i)
                value = value * 8 + (m_text.at(m_pos++).unicode() - '0');
            if (value > 0377) {
                fail(QStringLiteral("octal escape above \\377"));
                return false;
            }
            out.append(QChar(char16_t(value)));
            return true;
        }
        fail(QStringLiteral("unknown escape \\%1").arg(describe(e)));
        return false;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    QString m_error;
};

struct CacheEntry {
    qint64 size = -1;
    QDateTime modified;
    std::optional<StringsTable::Table> table;
    QString error;
};

QMutex cacheMutex;
QHash<QString, CacheEntry> &cache()
{
    static QHash<QString, CacheEntry> entries;
    return entries;
}

} // namespace

std::optional<StringsTable::Table> StringsTable::parse(const QByteArray &data, QString *error)
{
    QString message;
    std::optional<Table> result;
    if (data.size() > MaximumFileSize) {
        message = QStringLiteral("the table is larger than %1 bytes").arg(MaximumFileSize);
    } else if (auto text = decode(data, &message)) {
        if (const qsizetype nul = text->indexOf(QChar(0)); nul >= 0) {
            message = QStringLiteral("line %1: NUL character in the text")
                          .arg(text->left(nul).count(QLatin1Char('\n')) + 1);
        } else if (const qsizetype broken = firstBrokenSurrogate(*text); broken >= 0) {
            message = QStringLiteral("line %1: unpaired surrogate in the text")
                          .arg(text->left(broken).count(QLatin1Char('\n')) + 1);
        } else {
            Parser parser(*text);
            result = parser.run();
            message = parser.error();
        }
    }
    if (error)
        *error = result ? QString() : message;
    return result;
}

std::optional<StringsTable::Table> StringsTable::load(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        if (error)
            *error = QStringLiteral("%1: no such file").arg(path);
        return std::nullopt;
    }
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    {
        QMutexLocker lock(&cacheMutex);
        const auto it = cache().constFind(path);
        if (it != cache().constEnd() && it->size == size && it->modified == modified) {
            if (error)
                *error = it->error;
            return it->table;
        }
    }

    CacheEntry entry;
    entry.size = size;
    entry.modified = modified;
    QFile file(path);
    if (size > MaximumFileSize) {
        entry.error = QStringLiteral("%1: the table is larger than %2 bytes").arg(path).arg(MaximumFileSize);
    } else if (!file.open(QIODevice::ReadOnly)) {
        entry.error = QStringLiteral("%1: %2").arg(path, file.errorString());
    } else {
        // Read one byte past the limit so a file that grew since the size
        // check is still refused rather than read without bound.
        const QByteArray data = file.read(MaximumFileSize + 1);
        QString message;
        entry.table = parse(data, &message);
        if (!entry.table)
            entry.error = QStringLiteral("%1: %2").arg(path, message);
    }
    if (!entry.table)
        qCWarning(lcStringsTable).noquote() << "string table rejected:" << entry.error;
    if (error)
        *error = entry.error;
    QMutexLocker lock(&cacheMutex);
    cache().insert(path, entry);
    return entry.table;
}

void StringsTable::clearCache()
{
    QMutexLocker lock(&cacheMutex);
    cache().clear();
}

} // namespace platform
