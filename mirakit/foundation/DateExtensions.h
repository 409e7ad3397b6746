#pragma once

#include <mirakit/mirakit_export.h>

#include <QCalendar>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>

/**
 * @file
 * Formatting, component access and component arithmetic on dates.
 *
 * Components are read and changed in the current calendar (Gregorian) and
 * the local time zone, whatever time spec the QDateTime carries; a changed
 * date keeps its original time spec.
 *
 * Format patterns use the Unicode date-field symbols, as in
 * "yyyy-MM-dd HH:mm:ss" or "EEEE, d MMMM y 'at' h:mm a":
 *
 * | Symbol | Meaning |
 * |---|---|
 * | G | era (AD, BC) |
 * | y, u | year; "yy" gives the last two digits, more letters pad with zeros |
 * | M, L | month: 1–2 letters numeric, 3 short name, 4 full name, 5 narrow (L: stand-alone names) |
 * | d, D | day of month, day of year |
 * | E | weekday: 1–3 short name, 4 full name, 5 narrow |
 * | a | AM/PM text of the locale |
 * | H, k, h, K | hour 0–23, 1–24, 1–12, 0–11 |
 * | m, s | minute, second |
 * | S | fraction of a second, as many digits as letters |
 * | Z | offset: 1–3 "+0100", 4 "GMT+01:00", 5 "+01:00" ("Z" at zero) |
 * | x, X | ISO offset: 1 "+01", 2 "+0100", 3+ "+01:00"; X writes "Z" at zero |
 * | z | time-zone abbreviation (4 letters: full name) |
 * | '…' | literal text; '' is one quote |
 *
 * Letters with no meaning above and every other character are copied as
 * they are.
 *
 * @code
 * QDateTime when = QDateTime::currentDateTime();
 * mira::setDay(when, 1);                          // first of this month, same time of day
 * mira::dateToString(when, QStringLiteral("yyyy-MM-dd"));
 * @endcode
 */
namespace mira {

/// Formats @p seconds since 1970-01-01 UTC in the local time zone and the
/// default locale with the pattern @p dateFormat. A non-finite or
/// out-of-range timestamp gives an empty string.
MIRAKIT_EXPORT QString timestampToDataFormat(double seconds, const QString &dateFormat);

/// Formats @p date with the pattern @p format, in @p timeZone and the locale
/// named by @p localeIdentifier (such as "de_DE") when given, else in the
/// local time zone and the default locale. An invalid date gives an empty
/// string; an unknown locale name gives the C locale.
MIRAKIT_EXPORT QString dateToString(const QDateTime &date, const QString &format,
    const std::optional<QTimeZone> &timeZone = std::nullopt,
    const std::optional<QString> &localeIdentifier = std::nullopt);

/// Whole hours from @p from to @p to, rounded toward zero (negative when
/// @p to is earlier). 0 when either date is invalid.
MIRAKIT_EXPORT qint64 hourBetween(const QDateTime &from, const QDateTime &to);

/// The current calendar.
MIRAKIT_EXPORT QCalendar calendar();

/// @name Components
/// Read in the current calendar and local time zone; an invalid date
/// answers 0.
///@{
MIRAKIT_EXPORT int year(const QDateTime &date);
MIRAKIT_EXPORT int month(const QDateTime &date);
MIRAKIT_EXPORT int day(const QDateTime &date);
MIRAKIT_EXPORT int hour(const QDateTime &date);
MIRAKIT_EXPORT int minute(const QDateTime &date);
MIRAKIT_EXPORT int second(const QDateTime &date);
///@}

/// @name Changing a component
/// Moves @p date by the difference between @p value and the component's
/// current value, with calendar arithmetic and no wrapping: setting month
/// 14 in January moves 13 months ahead, setting day 31 in April lands on
/// 1 May. Years and months keep the day where the month allows it (31
/// January plus a month is the last day of February); days keep the time
/// of day across daylight-saving changes; hours, minutes and seconds add
/// elapsed time. An invalid date, or a result the calendar cannot
/// represent, leaves @p date unchanged.
///@{
MIRAKIT_EXPORT void setYear(QDateTime &date, int value);
MIRAKIT_EXPORT void setMonth(QDateTime &date, int value);
MIRAKIT_EXPORT void setDay(QDateTime &date, int value);
MIRAKIT_EXPORT void setHour(QDateTime &date, int value);
MIRAKIT_EXPORT void setMinute(QDateTime &date, int value);
MIRAKIT_EXPORT void setSecond(QDateTime &date, int value);
///@}

} // namespace mira
