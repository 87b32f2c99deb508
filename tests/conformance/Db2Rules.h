#pragma once

#include <QString>
#include <QStringList>

// What a DB2 host refuses in a statement text that the embedded engine accepts: Oracle-only
// names and forms, and parameter markers whose type DB2 cannot infer from their place in the
// statement (SQL0418N). Each finding is one short reason; none for a text DB2 takes.
class Db2Rules {
public:
    static QStringList check(const QString &text);
};
