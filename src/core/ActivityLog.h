#pragma once

#include "ParamValue.h"

#include <QList>
#include <QPair>
#include <QString>
#include <memory>

class Clock;
class Database;
class Query;
class EditableTable;

// The host's activity log ACT: one row for every row the program inserts ("+"), changes ("^")
// or deletes ("-") through its table components, written by their hooks in the same
// transaction as the change.
class ActivityLog {
public:
    // `isDb2`: the host speaks DB2, which draws a sequence with its own statement.
    ActivityLog(Database &db, const Clock &clock, const QString &applicationUser,
                bool isDb2 = false);
    ~ActivityLog();

    // Writes one row.
    void write(const QString &table, const QString &mark, const QString &rowText);

    // Writes "+" for every row of `table` that `condition` selects (its parameters given as
    // name and value), numbered in the order of `order`, in one statement: the rows a
    // set-based insert wrote, logged as the component would have logged them one by one. The
    // table's columns are whole numbers and texts. Gives the number of rows logged.
    int writeInserted(const QString &table, const QString &condition,
                      const QList<QPair<QString, ParamValue>> &params, const QString &order,
                      bool isDb2);
    // The statement of writeInserted.
    static QString insertedRowsSql(const QString &table, const QString &condition,
                                   const QString &order, bool isDb2);

    // Writes one row for each (mark, row text) of `rows`, numbered in their order, with one
    // statement for every `chunk` rows: the rows that the program wrote by a multi-row
    // statement, logged as the component would have logged them one by one.
    void writeRows(const QString &table, const QList<QPair<QString, QString>> &rows, bool isDb2,
                   int chunk = 200);
    // The statement of writeRows for `count` rows (:M0, :T0, :M1, :T1, ...).
    static QString rowsSql(const QString &table, int count, bool isDb2);

    // Logs every save of the component ("+" for a new row, "^" for a changed one) and, when
    // asked, every deletion ("-", the row as it was). A failing log row fails the change.
    void attach(EditableTable &table, bool logDeletes = true);

    // Every column of the component, in its order: value, "#|", name, "#|".
    static QString rowText(const EditableTable &table);

private:
    Database &db_;
    const Clock &clock_;
    QString applicationUser_;
    QString workstation_;
    bool isDb2_ = false;
    std::unique_ptr<EditableTable> bAct_;
    std::unique_ptr<Query> qIdSeq_;
};
