#pragma once

#include <platform/platform_export.h>

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace platform {

/**
 * Reader for string tables in the classic key-value text format used by
 * the @c <lang>.lproj/<Table>.strings files of a bundle.
 *
 * @code
 * // Greetings (block and line comments are allowed anywhere between tokens)
 * "Hello" = "Bonjour";
 * "Quote" = "Say \"hi\"\n";    // escapes: \" \' \\ \/ \n \t \r \a \b \f \v,
 * Plain_Key = plain.value;     //          octal \0..\377, \u1234, \U1234
 * "SameAsKey";                 // a key alone stands for itself
 * @endcode
 *
 * Accepted encodings: UTF-8 (with or without a byte-order mark) and UTF-16
 * little- or big-endian with a byte-order mark. Unquoted tokens may use
 * letters, digits and @c _ $ + / : . - only.
 *
 * A table is all or nothing: any syntax error, bad escape, invalid encoding,
 * NUL character or a file over MaximumFileSize rejects the whole input with
 * an error message naming the line, so a half-read table never reaches the
 * screen. An empty input is a valid, empty table. When a key appears twice
 * the later entry wins (as in every reader of this format) and a warning
 * naming the key is logged.
 *
 * load() logs a warning for each file it rejects and keeps each file's
 * result (table or rejection) in a process-wide cache keyed by path; a file
 * is read again only when its size or modification time changes. The cache
 * is guarded by a mutex, so load() may be called from any thread.
 */
class PLATFORM_EXPORT StringsTable {
public:
    using Table = QHash<QString, QString>;

    /// Largest input accepted, in bytes (4 MiB).
    static constexpr qint64 MaximumFileSize = 4 * 1024 * 1024;

    /// Parses a whole table. On failure returns nothing and, when @p error is
    /// given, stores a message such as "line 3: expected ';'".
    static std::optional<Table> parse(const QByteArray &data, QString *error = nullptr);

    /// Reads and parses the file at @p path (a file system or Qt resource
    /// path), answering from the cache when the file has not changed.
    /// A missing or unreadable file answers nothing with an error.
    static std::optional<Table> load(const QString &path, QString *error = nullptr);

    /// Forgets every cached file.
    static void clearCache();
};

} // namespace platform
