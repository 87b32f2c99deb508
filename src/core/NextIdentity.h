#pragma once

#include <QString>

class Database;
class Query;

// The next value of the sequence named table + "_" + column + "_SEQ", drawn in the host's own
// statement: Oracle selects it from dual, DB2 (which has no dual) from SYSIBM.SYSDUMMY1.
QString nextIdentitySql(const QString &sequence, bool isDb2);
qint64 nextIdentity(Database &db, const QString &table, const QString &column, bool isDb2);
// The same through a statement kept by the caller, so it is prepared once.
qint64 nextIdentity(Query &qIdSeq, const QString &table, const QString &column, bool isDb2);
