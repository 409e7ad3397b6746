#include "DateExtensions.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace mira {

namespace {

enum class Component { Year, Month, Day, Hour, Minute, Second };

QString padded(qint64 number, qsizetype width)
{
    const QString digits = QString::number(number < 0 ? -number : number);
    const QString body = digits.size() < width ? QString(width - digits.size(), QLatin1Char('0')) + digits : digits;
    return number < 0 ? QLatin1Char('-') + body : body;
}

QString offsetText(int offsetSeconds, bool colon, bool withMinutes)
{
    const int minutes = std::abs(offsetSeconds) / 60;
    QString text = QLatin1Char(offsetSeconds < 0 ? '-' : '+') + padded(minutes / 60, 2);
    if (withMinutes)
        text += (colon ? QStringLiteral(":") : QString()) + padded(minutes % 60, 2);
    return text;
}

QString monthName(const QLocale &locale, int month, qsizetype count, bool standalone)
{
    const QLocale::FormatType format = count == 4 ? QLocale::LongFormat
        : count == 3                              ? QLocale::ShortFormat
                                                  : QLocale::NarrowFormat;
    return standalone ? locale.standaloneMonthName(month, format) : locale.monthName(month, format);
}

// One run of the same pattern letter, such as "yyyy" or "E".
QString field(const QDateTime &date, QChar letter, qsizetype count, const QLocale &locale)
{
    const QDate d = date.date();
    const QTime t = date.time();
    switch (letter.unicode()) {
    case u'G':
        return d.year() > 0 ? QStringLiteral("AD") : QStringLiteral("BC");
    case u'y':
    case u'u': {
        const int year = letter == u'y' && d.year() < 0 ? -d.year() : d.year();
        return count == 2 ? padded(std::abs(year) % 100, 2) : padded(year, count);
    }
    case u'M':
    case u'L':
        return count <= 2 ? padded(d.month(), count) : monthName(locale, d.month(), count, letter == u'L');
    case u'd':
        return padded(d.day(), count);
    case u'D':
        return padded(d.dayOfYear(), count);
    case u'E': {
        const QLocale::FormatType format = count == 4 ? QLocale::LongFormat
            : count >= 5                              ? QLocale::NarrowFormat
                                                      : QLocale::ShortFormat;
        return locale.dayName(d.dayOfWeek(), format);
    }
    case u'a':
        return t.hour() < 12 ? locale.amText() : locale.pmText();
    case u'H':
        return padded(t.hour(), count);
    case u'k':
        return padded(t.hour() == 0 ? 24 : t.hour(), count);
    case u'h':
        return padded(t.hour() % 12 == 0 ? 12 : t.hour() % 12, count);
    case u'K':
        return padded(t.hour() % 12, count);
    case u'm':
        return padded(t.minute(), count);
    case u's':
        return padded(t.second(), count);
    case u'S': {
        QString fraction = padded(t.msec(), 3);
        if (count < 3)
            fraction.truncate(count);
        else
            fraction += QString(count - 3, QLatin1Char('0'));
        return fraction;
    }
    case u'Z':
        if (count <= 3)
            return offsetText(date.offsetFromUtc(), false, true);
        if (count == 4)
            return QStringLiteral("GMT") + offsetText(date.offsetFromUtc(), true, true);
        return date.offsetFromUtc() == 0 ? QStringLiteral("Z") : offsetText(date.offsetFromUtc(), true, true);
    case u'x':
    case u'X':
        if (letter == u'X' && date.offsetFromUtc() == 0)
            return QStringLiteral("Z");
        return offsetText(date.offsetFromUtc(), count >= 3, count >= 2 || date.offsetFromUtc() % 3600 != 0);
    case u'z':
        if (count >= 4 && date.timeSpec() == Qt::TimeZone)
            return date.timeZone().displayName(date, QTimeZone::LongName, locale);
        return date.timeZoneAbbreviation();
    default:
        return QString(count, letter);
    }
}

QString format(const QDateTime &date, const QString &pattern, const QLocale &locale)
{
    QString out;
    const qsizetype size = pattern.size();
    for (qsizetype i = 0; i < size;) {
        const QChar c = pattern.at(i);
        if (c == u'\'') {
            if (i + 1 < size && pattern.at(i + 1) == u'\'') {
                out += QLatin1Char('\'');
                i += 2;
                continue;
            }
            // Quoted literal up to the closing quote ('' inside is one quote);
            // an unterminated quote runs to the end.
            for (++i; i < size; ++i) {
                if (pattern.at(i) == u'\'') {
                    if (i + 1 < size && pattern.at(i + 1) == u'\'') {
                        out += QLatin1Char('\'');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += pattern.at(i);
            }
            continue;
        }
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            qsizetype end = i + 1;
            while (end < size && pattern.at(end) == c)
                ++end;
            out += field(date, c, end - i, locale);
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

int component(const QDateTime &date, Component which)
{
    if (!date.isValid())
        return 0;
    const QDateTime local = date.toLocalTime();
    switch (which) {
    case Component::Year:
        return local.date().year();
    case Component::Month:
        return local.date().month();
    case Component::Day:
        return local.date().day();
    case Component::Hour:
        return local.time().hour();
    case Component::Minute:
        return local.time().minute();
    case Component::Second:
        return local.time().second();
    }
    return 0;
}

// Brings a date computed in local time back to the time spec of @p original.
QDateTime inSpecOf(const QDateTime &moved, const QDateTime &original)
{
    switch (original.timeSpec()) {
    case Qt::UTC:
        return moved.toUTC();
    case Qt::OffsetFromUTC:
        return moved.toOffsetFromUtc(original.offsetFromUtc());
    case Qt::TimeZone:
        return moved.toTimeZone(original.timeZone());
    case Qt::LocalTime:
        break;
    }
    return moved;
}

void setComponent(QDateTime &date, Component which, int value)
{
    if (!date.isValid())
        return;
    const QDateTime local = date.toLocalTime();
    const qint64 difference = qint64(value) - component(local, which);
    // Year and month arithmetic takes an int; anything wider is far outside
    // the range a date can hold anyway.
    const bool fitsInt
        = difference >= std::numeric_limits<int>::min() / 16 && difference <= std::numeric_limits<int>::max() / 16;
    QDateTime moved;
    switch (which) {
    case Component::Year:
        if (fitsInt)
            moved = local.addYears(int(difference));
        break;
    case Component::Month:
        if (fitsInt)
            moved = local.addMonths(int(difference));
        break;
    case Component::Day:
        moved = local.addDays(difference);
        break;
    case Component::Hour:
        moved = local.addSecs(difference * 3600);
        break;
    case Component::Minute:
        moved = local.addSecs(difference * 60);
        break;
    case Component::Second:
        moved = local.addSecs(difference);
        break;
    }
    if (moved.isValid())
        date = inSpecOf(moved, date);
}

} // namespace

QString timestampToDataFormat(double seconds, const QString &dateFormat)
{
    // QDateTime holds milliseconds in 64 bits; stay well inside that.
    constexpr double limit = 9.0e15;
    if (!std::isfinite(seconds) || std::abs(seconds) > limit)
        return {};
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(qint64(std::floor(seconds * 1000)), Qt::LocalTime);
    return dateToString(date, dateFormat);
}

QString dateToString(const QDateTime &date, const QString &format, const std::optional<QTimeZone> &timeZone,
    const std::optional<QString> &localeIdentifier)
{
    if (!date.isValid())
        return {};
    const QDateTime shown = timeZone && timeZone->isValid() ? date.toTimeZone(*timeZone) : date.toLocalTime();
    const QLocale locale = localeIdentifier ? QLocale(*localeIdentifier) : QLocale();
    return mira::format(shown, format, locale);
}

qint64 hourBetween(const QDateTime &from, const QDateTime &to)
{
    if (!from.isValid() || !to.isValid())
        return 0;
    return from.msecsTo(to) / (3600 * 1000);
}

QCalendar calendar()
{
    return QCalendar();
}

int year(const QDateTime &date)
{
    return component(date, Component::Year);
}

int month(const QDateTime &date)
{
    return component(date, Component::Month);
}

int day(const QDateTime &date)
{
    return component(date, Component::Day);
}

int hour(const QDateTime &date)
{
    return component(date, Component::Hour);
}

int minute(const QDateTime &date)
{
    return component(date, Component::Minute);
}

int second(const QDateTime &date)
{
    return component(date, Component::Second);
}

void setYear(QDateTime &date, int value)
{
    setComponent(date, Component::Year, value);
}

void setMonth(QDateTime &date, int value)
{
    setComponent(date, Component::Month, value);
}

void setDay(QDateTime &date, int value)
{
    setComponent(date, Component::Day, value);
}

void setHour(QDateTime &date, int value)
{
    setComponent(date, Component::Hour, value);
}

void setMinute(QDateTime &date, int value)
{
    setComponent(date, Component::Minute, value);
}

void setSecond(QDateTime &date, int value)
{
    setComponent(date, Component::Second, value);
}

} // namespace mira
