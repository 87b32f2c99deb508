#include "TimeZone.h"

#include "RapoError.h"

QDate TimeZone::lastSunday(int year, int month) {
    const int shift = month == 3 ? 4 : 1;
    return QDate(year, month, 31 - ((5 * year / 4 + shift) % 7));
}

QString TimeZone::venueOffset(const QString &baseOffset, const QString &venue,
                              const QDateTime &moment, const QStringList &fixedVenues) {
    for (const QString &fixed : fixedVenues)
        if (fixed.compare(venue, Qt::CaseInsensitive) == 0)
            return baseOffset;
    const int year = moment.date().year();
    const QDateTime start(lastSunday(year, 3), QTime(2, 0));
    const QDateTime end(lastSunday(year, 10), QTime(2, 0));
    if (!(moment > start && moment < end))
        return baseOffset;
    bool ok = false;
    const int base = baseOffset.trimmed().toInt(&ok);
    if (!ok)
        throw RapoError(u'\'' + baseOffset + QStringLiteral("' ni veljavno celo število"));
    const int summer = base + 1;
    return (summer < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
           QStringLiteral("%1").arg(qAbs(summer), 2, 10, QLatin1Char('0'));
}
