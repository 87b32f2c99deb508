#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

class Clock;
class Database;

// The change time (DANSPR) of a write to the instrument register. The current entry of an ISIN
// is its entry with the greatest DANSPR, and the host databases keep whole seconds; so every
// write to an ISIN's entries takes the later of now and one second after that ISIN's latest
// DANSPR. Successive entries of an ISIN thus stay ordered and distinct without waiting for the
// clock.
namespace RegisterChangeTime {
// The later of `now` and one second after `latest` (cut to its whole second); `now` when there
// is no latest change.
QDateTime after(const QDateTime &now, const QDateTime &latest);
// The change time of the next write to the entries of `isin`.
QDateTime next(Database &db, const Clock &clock, const QString &isin);

// The latest change of every ISIN, read at once (1000 ISINs a statement).
QString latestChangesSql(int isins);

// The change times of many writes: the latest change of each ISIN is read once, and every
// write an ISIN takes is remembered, so each gets what `next` would have given it.
class Series {
public:
    Series(Database &db, const Clock &clock, const QStringList &isins);
    // The change time of the next write to the entries of `isin`.
    QDateTime next(const QString &isin);

private:
    const Clock &clock_;
    QMap<QString, QDateTime> latest_;
};
} // namespace RegisterChangeTime
