#include "RegisterChangeTime.h"

#include "Clock.h"
#include "Query.h"

QDateTime RegisterChangeTime::after(const QDateTime &now, const QDateTime &latest) {
    if (!latest.isValid())
        return now;
    const QTime t = latest.time();
    const QDateTime nextSecond =
        QDateTime(latest.date(), QTime(t.hour(), t.minute(), t.second())).addSecs(1);
    return now < nextSecond ? nextSecond : now;
}

QDateTime RegisterChangeTime::next(Database &db, const Clock &clock, const QString &isin) {
    Query q(db, QStringLiteral("qDPATVP_SFVPLastChange"));
    q.setText(
        QStringLiteral("SELECT max(DANSPR) AS LastChange FROM DPATVP_SFVP WHERE ISIN = :ISIN"));
    q.setString(QStringLiteral("ISIN"), isin);
    q.open();
    return after(clock.now(), q.asDateTime(QStringLiteral("LastChange")));
}
