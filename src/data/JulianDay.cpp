#include "JulianDay.h"

#include <cmath>

namespace {
constexpr double msPerDay = 86400000.0;
}

double JulianDay::fromDate(const QDate &date) {
    return static_cast<double>(date.toJulianDay()) - 0.5;
}

double JulianDay::fromDateTime(const QDateTime &dateTime) {
    return fromParts(dateTime.date(), dateTime.time().msecsSinceStartOfDay());
}

double JulianDay::fromParts(const QDate &date, int msecsSinceMidnight) {
    return fromDate(date) + msecsSinceMidnight / msPerDay;
}

JulianDay::DayAndTime JulianDay::split(double julianDay) {
    const double shifted = julianDay + 0.5;
    auto day = static_cast<qint64>(std::floor(shifted));
    auto ms = static_cast<qint64>(std::llround((shifted - static_cast<double>(day)) * msPerDay));
    if (ms >= static_cast<qint64>(msPerDay)) {
        ++day;
        ms -= static_cast<qint64>(msPerDay);
    }
    return {day, static_cast<int>(ms)};
}

QDate JulianDay::toDate(double julianDay) {
    return QDate::fromJulianDay(split(julianDay).day);
}

QDateTime JulianDay::toDateTime(double julianDay) {
    const DayAndTime parts = split(julianDay);
    return QDateTime(QDate::fromJulianDay(parts.day), QTime::fromMSecsSinceStartOfDay(parts.ms));
}
