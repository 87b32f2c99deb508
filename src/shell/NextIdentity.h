#pragma once

#include <QString>

class Database;

// The next value of the sequence named table + "_" + column + "_SEQ". The same statement
// serves both dialects.
qint64 nextIdentity(Database &db, const QString &table, const QString &column);
