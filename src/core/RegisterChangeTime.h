#pragma once

#include <QDateTime>
#include <QString>

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
} // namespace RegisterChangeTime
