#include "LocalizedFormat.h"

#include "LocalizedString.h"

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
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
    return formatLocalized(localizedString(key), args);
}
