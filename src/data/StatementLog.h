#pragma once

#include "ParamValue.h"

#include <QFile>
#include <QList>
#include <QPair>
#include <QString>

// What a run sends to its database: every statement is counted, with the rows read back, and,
// when RAPO_SQL_LOG names a file, appended to that file for the site's DBA. A statement is
// written as the program composed it for the host (before the embedded engine's rewrite), its
// bound values follow as comment lines ("-- :Datum = 28.03.2014") and a line holding only "/"
// ends it, so the file can be read, and replayed, in SQL*Plus. Only statement texts and their
// values are written; the connection's password never reaches a statement.
class StatementLog {
public:
    using Values = QList<QPair<QString, ParamValue>>;

    struct Traffic {
        qint64 statements = 0; // statements, commits and rollbacks sent
        qint64 rows = 0;       // rows read back
    };

    // The file named by RAPO_SQL_LOG, when it is set.
    StatementLog();
    // A log to `path`; an empty path writes nothing.
    explicit StatementLog(const QString &path);

    void sent(const QString &text, const Values &values = {});
    void rowRead() { ++traffic_.rows; }
    const Traffic &traffic() const { return traffic_; }

    // One statement as the file holds it.
    static QString entry(const QString &text, const Values &values);
    // A value as its comment line shows it: texts quoted, dates as dd.mm.yyyy.
    static QString valueText(const ParamValue &value);

private:
    Traffic traffic_;
    QFile file_;
    bool failed_ = false;
};
