#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The offset from UTC in force at a venue at a moment: its base (winter) offset, one hour more
// in European summer time (from the last Sunday of March 02:00 to the last Sunday of October
// 02:00, both ends excluded), unless the venue keeps a fixed offset all year.
namespace TimeZone {
// The last Sunday of March (month 3) or October (month 10) of a year.
QDate lastSunday(int year, int month);
// Throws RapoError when the base offset is not a whole number and the moment needs it.
QString venueOffset(const QString &baseOffset, const QString &venue, const QDateTime &moment,
                    const QStringList &fixedVenues);
} // namespace TimeZone
