#include "JulianDay.h"

#include <cmath>

namespace {
constexpr double msPerDay = 86400000.0;
}

double JulianDay::fromDate(const QDate &date) {
    return static_cast<double>(date.toJulianDay()) - 0.5;
}

double JulianDay::fromDateTime(const QDateTime &dateTime) {
    return fromDate(dateTime.date()) + dateTime.time().msecsSinceStartOfDay() / msPerDay;
}

QDateTime JulianDay::toDateTime(double julianDay) {
    const double shifted = julianDay + 0.5;
    auto day = static_cast<qint64>(std::floor(shifted));
    auto ms = static_cast<qint64>(std::llround((shifted - static_cast<double>(day)) * msPerDay));
    if (ms >= static_cast<qint64>(msPerDay)) {
        ++day;
        ms -= static_cast<qint64>(msPerDay);
    }
    return QDateTime(QDate::fromJulianDay(day),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}
