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
} // namespace JulianDay
