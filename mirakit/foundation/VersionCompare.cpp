#include "VersionCompare.h"

#include <QList>
#include <QStringView>

#include <algorithm>

namespace mira {

namespace {

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// The component's leading decimal digits without leading zeros; empty
// stands for 0.
QStringView significantDigits(QStringView component)
{
    qsizetype end = 0;
    while (end < component.size() && isAsciiDigit(component.at(end)))
        ++end;
    qsizetype start = 0;
    while (start < end && component.at(start) == u'0')
        ++start;
    return component.sliced(start, end - start);
}

// Compares two unsigned decimal numbers of any length: more digits is
// larger, equal lengths compare digit by digit.
int compareNumbers(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

} // namespace

ComparisonResult versionCompare(const QString &version, const QString &other)
{
    const QList<QStringView> left = QStringView(version).split(u'.', Qt::SkipEmptyParts);
    const QList<QStringView> right = QStringView(other).split(u'.', Qt::SkipEmptyParts);
    const qsizetype n = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int order = compareNumbers(significantDigits(left.at(i)), significantDigits(right.at(i)));
        if (order < 0)
            return ComparisonResult::orderedAscending;
        if (order > 0)
            return ComparisonResult::orderedDescending;
    }
    return ComparisonResult::orderedSame;
}

} // namespace mira
