#pragma once

#include <QString>
#include <QStringList>

/**
 * Fills the "%@" placeholders of a translated format text.
 *
 * Translated texts come from resource files that translators edit, so the
 * formatter never trusts them: whatever the format holds, it reads only the
 * arguments it was given and always answers a finished text. In one pass
 * over @p format, left to right:
 *
 * | In the format            | Becomes                                             |
 * |--------------------------|-----------------------------------------------------|
 * | "%@"                     | the next argument in order, or "" when none is left |
 * | "%n$@" (n = 1 to 99)     | argument n (counting from 1), or "" when absent;    |
 * |                          | it does not move the "next argument" of "%@"        |
 * | "%%"                     | one "%"                                             |
 * | any other "%" (%d, %s,   | copied unchanged, consuming no argument             |
 * | %0$@, a trailing "%")    |                                                     |
 * | everything else          | copied unchanged                                    |
 *
 * Inserted arguments are never scanned again, so an argument that itself
 * contains "%@" or "%%" appears exactly as given. Arguments left over are
 * ignored.
 *
 * @code
 * formatLocalized(QStringLiteral("Not enough space in %@."), {QStringLiteral("/Applications")});
 * // "Not enough space in /Applications."
 * formatLocalized(QStringLiteral("%2$@ before %1$@, 100%%"), {QStringLiteral("a"), QStringLiteral("b")});
 * // "b before a, 100%"
 * @endcode
 */
QString formatLocalized(const QString &format, const QStringList &args);

/**
 * The localised text of @p key (see localizedString()) filled with @p args by
 * formatLocalized(), each argument wrapped in U+2068 FIRST STRONG ISOLATE …
 * U+2069 POP DIRECTIONAL ISOLATE. The isolates keep an inserted path or name
 * in its own direction whatever the sentence's (a path keeps its leading "/"
 * in Arabic); they are invisible and change nothing in left-to-right text.
 * Isolates inside an argument are balanced first, so no argument can end the
 * isolation early or leave it open for the rest of the sentence.
 *
 * @code
 * localizedFormat(QStringLiteral("Install_Error_No_Enough_Space"), {QStringLiteral("/Applications")});
 * // "There is not enough free space in \u2068/Applications\u2069. Please …"
 * @endcode
 */
QString localizedFormat(const QString &key, const QStringList &args);
