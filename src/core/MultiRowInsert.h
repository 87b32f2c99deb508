#pragma once

#include <QString>
#include <QStringList>

// The text of one INSERT that writes many rows: "INSERT INTO T (a, b) SELECT :R0C0, :R0C1 FROM
// dual UNION ALL SELECT :R1C0, :R1C1 FROM dual ...", which Oracle before 23 accepts where it
// has no multi-row VALUES; for DB2 from SYSIBM.SYSDUMMY1, with every marker cast to its
// column's type, since DB2 wants the type of a parameter in a select list. The value of row r,
// column c is the parameter "R<r>C<c>" (markerName).
namespace MultiRowInsert {
QString sql(const QString &table, const QStringList &columns, int rows, bool isDb2);
QString markerName(int row, int column);
// The DB2 type a marker of the column is cast to.
QString db2Type(const QString &table, const QString &column);
} // namespace MultiRowInsert
