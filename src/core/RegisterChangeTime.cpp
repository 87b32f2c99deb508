#include "RegisterChangeTime.h"

#include "Clock.h"
#include "Query.h"

#include <algorithm>

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

QString RegisterChangeTime::latestChangesSql(int isins) {
    QStringList markers;
    for (int i = 0; i < isins; ++i)
        markers << QStringLiteral(":I%1").arg(i);
    return QStringLiteral(
               "SELECT ISIN, max(DANSPR) AS LastChange FROM DPATVP_SFVP WHERE ISIN IN (") +
           markers.join(QStringLiteral(", ")) + QStringLiteral(") GROUP BY ISIN");
}

RegisterChangeTime::Series::Series(Database &db, const Clock &clock, const QStringList &isins)
    : clock_(clock) {
    QStringList distinct;
    for (const QString &isin : isins)
        if (!isin.isEmpty() && !distinct.contains(isin))
            distinct << isin;
    // An IN list holds at most 1000 values on Oracle.
    constexpr int chunk = 1000;
    Query q(db, QStringLiteral("qDPATVP_SFVPLastChange"));
    for (qsizetype start = 0; start < distinct.size(); start += chunk) {
        const int count = static_cast<int>(std::min<qsizetype>(chunk, distinct.size() - start));
        q.setText(latestChangesSql(count));
        for (int i = 0; i < count; ++i)
            q.setString(QStringLiteral("I%1").arg(i), distinct[start + i]);
        for (q.open(); !q.eof(); q.next())
            latest_.insert(q.asString(QStringLiteral("ISIN")),
                           q.asDateTime(QStringLiteral("LastChange")));
        q.close();
    }
}

QDateTime RegisterChangeTime::Series::next(const QString &isin) {
    // An empty ISIN binds as null, whose entries no equality finds: as `next` gives it.
    if (isin.isEmpty())
        return clock_.now();
    const QDateTime at = after(clock_.now(), latest_.value(isin));
    latest_.insert(isin, at);
    return at;
}
