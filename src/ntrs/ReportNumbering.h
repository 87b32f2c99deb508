#pragma once

#include <QDate>
#include <QString>

class Session;

// How a report is numbered and named: its sequence number within the year of its sending date,
// and the file name "TRDAT01_" + firm part + "_" + four-digit number + "_" + two-digit year
// + ".xml".
namespace ReportNumbering {
// The statement that gives the next sequence number (MaxZapSt) for the year of `reference`.
QString nextSequenceSql(bool isDb2, const QDate &reference);
qint64 nextSequence(Session &session, const QDate &reference);
// Taken at the start of the transaction that registers a report: the workstations number and
// register one at a time. Oracle and DB2 read the same text.
QString registerLockSql();
// `firm` is the working set's MTS_BPHCalc; it is read as a whole number (leading zeros drop)
// and brought to ten characters.
QString fileName(const QString &firm, qint64 sequence, int year);
} // namespace ReportNumbering
