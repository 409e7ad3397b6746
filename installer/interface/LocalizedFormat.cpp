#include "LocalizedFormat.h"

#include "LocalizedString.h"

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

constexpr char16_t firstStrongIsolate = 0x2068;
constexpr char16_t popDirectionalIsolate = 0x2069;

bool opensIsolate(QChar c)
{
    return c.unicode() >= 0x2066 && c.unicode() <= firstStrongIsolate; // LRI, RLI, FSI
}

// @p text as one unit of its own direction inside a sentence: a path keeps
// its leading "/" in an Arabic sentence, and an Arabic name cannot pull the
// English words around it out of order. The isolates inside @p text are
// balanced first (a stray closer dropped, open ones closed), so that a crafted
// folder or product name can neither end the isolation early nor carry it on
// into the rest of the sentence.
QString isolated(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out.append(QChar(firstStrongIsolate));
    qsizetype open = 0;
    for (const QChar c : text) {
        if (c == QChar(popDirectionalIsolate)) {
            if (open == 0)
                continue;
            --open;
        } else if (opensIsolate(c)) {
            ++open;
        }
        out.append(c);
    }
    out.append(QString(open + 1, QChar(popDirectionalIsolate)));
    return out;
}

} // namespace

QString formatLocalized(const QString &format, const QStringList &args)
{
    QString out;
    out.reserve(format.size());
    qsizetype nextArgument = 0;
    const qsizetype size = format.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 >= size) {
            out.append(c);
            ++i;
            continue;
        }
        const QChar next = format.at(i + 1);
        if (next == QLatin1Char('%')) {
            out.append(QLatin1Char('%'));
            i += 2;
            continue;
        }
        if (next == QLatin1Char('@')) {
            if (nextArgument < args.size())
                out.append(args.at(nextArgument));
            ++nextArgument;
            i += 2;
            continue;
        }
        // Positional form: one or two digits, '$', '@'.
        qsizetype digitsEnd = i + 1;
        while (digitsEnd < size && digitsEnd - (i + 1) < 3 && isDigit(format.at(digitsEnd)))
            ++digitsEnd;
        const qsizetype digitCount = digitsEnd - (i + 1);
        if (digitCount >= 1 && digitCount <= 2 && digitsEnd + 1 < size && format.at(digitsEnd) == QLatin1Char('$')
            && format.at(digitsEnd + 1) == QLatin1Char('@')) {
            const int position = format.mid(i + 1, digitCount).toInt();
            if (position >= 1) {
                if (position <= args.size())
                    out.append(args.at(position - 1));
                i = digitsEnd + 2;
                continue;
            }
        }
        out.append(c);
        ++i;
    }
    return out;
}

QString localizedFormat(const QString &key, const QStringList &args)
{
    QStringList isolatedArgs;
    isolatedArgs.reserve(args.size());
    for (const QString &arg : args)
        isolatedArgs.append(isolated(arg));
    return formatLocalized(localizedString(key), isolatedArgs);
}
