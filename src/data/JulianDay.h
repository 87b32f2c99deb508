#pragma once

#include <QDateTime>

// The embedded database stores dates and date-times as Julian day numbers (what SQLite's
// julianday() gives: midnight is .5), so comparisons, max() and day arithmetic such as
// DANSPR-0.001 behave as on the host databases.
namespace JulianDay {
double fromDateTime(const QDateTime &dateTime);
double fromDate(const QDate &date);
// Rounded to the millisecond.
QDateTime toDateTime(double julianDay);
// The day and the time of day, rounded to the millisecond as toDateTime does, without a
// conversion to local time.
QDate toDate(double julianDay);
struct DayAndTime {
    qint64 day; // Julian day number
    int ms;     // since midnight
};
DayAndTime split(double julianDay);
double fromParts(const QDate &date, int msecsSinceMidnight);
} // namespace JulianDay
