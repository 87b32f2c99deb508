#pragma once

#include <QDate>
#include <QString>
#include <functional>

struct sqlite3;

// What the embedded SQLite database needs to run the program's statements as the host
// databases run them: the SQL functions of both dialects (NVL, TO_DATE, TO_CHAR, TO_NUMBER,
// TRUNC, MOD, YEAR, Unicode upper and lower), sequences, case-sensitive LIKE, and a rewrite of
// the few constructs SQLite cannot parse. This is the only place that knows them.
namespace EmbeddedEngine {

// Registers the functions on an open connection. `today` answers CURRENT_DATE; it must outlive
// the connection.
void install(sqlite3 *db, const std::function<QDate()> *today);

// X.NEXTVAL, NEXTVAL FOR X, EXTRACT(YEAR FROM ...), CURRENT_DATE, Current DATE,
// SYSIBM.SYSDUMMY1 and CAST('dd.mm.yyyy' AS DATE) in a form SQLite parses.
QString rewrite(const QString &sql);

// The statements that add the tables `dual` and `SYSDUMMY1` and the sequence store.
QStringList supportTables();
QString createSequence(const QString &name);

} // namespace EmbeddedEngine
