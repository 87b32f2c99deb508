#pragma once

#include <QString>

class Database;
class Query;

// The next value of the sequence named table + "_" + column + "_SEQ". The same statement
// serves both dialects.
qint64 nextIdentity(Database &db, const QString &table, const QString &column);
// The same through a statement kept by the caller, so it is prepared once.
qint64 nextIdentity(Query &qIdSeq, const QString &table, const QString &column);
