#pragma once

#include <QDate>
#include <QString>

struct Configuration;

// The host database is Oracle or DB2 ("Tip"); the statements are written in Oracle's dialect
// with placeholders. This adapts them: once at start-up, again for DB2 each time the working
// set is loaded, and the statements that exist in two variants. Every replacement replaces
// every occurrence and ignores letter case.
namespace SqlDialect {

QString replaceAll(QString text, const QString &from, const QString &to);

// Start-up: the working set's placeholders (nulls, the fixed-venue time-zone frame, the segment
// MIC) and, for DB2, NVL( as COALESCE(.
QString adaptWorkingSet(const QString &text, const Configuration &configuration);
// The working-set template kept after start-up: for Oracle, which has no time-of-day type, the
// imported trade's time is returned unconverted.
QString workingSetTemplate(const QString &adapted, bool isDb2);
// Start-up, for the statements that only need NVL( as COALESCE( on DB2.
QString adaptNvl(const QString &text, bool isDb2);
// DB2, every load of the working set, after its parameters are set.
QString db2WorkingSetLoad(const QString &text);

// A configured code list (every character one code) as an SQL list: "KL" gives 'K','L'. A quote
// among the codes is doubled, so a value can never end the literal early.
QString codeList(const QString &codes);

// A contract of a remote member (`contractAlias`.REMOTECLAN holds a member code). Empty and blank
// are no code on every engine; on Oracle '' is null, so "<> ''" would never be true.
QString remoteMemberCondition(const QString &contractAlias);

// The two-variant statements.
QString nextCollectionNumberSql(bool isDb2);
QString nextReferenceExpression(bool isDb2);
QString currentDateSubquery(bool isDb2);
// A date written into a statement's text.
QString dateLiteral(const QDate &date, bool isDb2);

} // namespace SqlDialect
