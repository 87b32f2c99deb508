#pragma once

#include <QString>
#include <QStringList>

// The text of one INSERT that writes many rows: "INSERT INTO T (a, b) SELECT :R0C0, :R0C1 FROM
// dual UNION ALL SELECT :R1C0, :R1C1 FROM dual ...", which Oracle before 23 accepts where it
// has no multi-row VALUES; for DB2 from SYSIBM.SYSDUMMY1. Every marker is cast to its column's
// type: DB2 wants the type of a parameter in a select list, and Oracle the same type in every
// branch of the union, which a null (bound as a text) would not have. The value of row r,
// column c is the parameter "R<r>C<c>" (markerName).
namespace MultiRowInsert {
QString sql(const QString &table, const QStringList &columns, int rows, bool isDb2);
QString markerName(int row, int column);
// The type a marker of the column is cast to.
QString markerType(const QString &table, const QString &column, bool isDb2);
} // namespace MultiRowInsert
