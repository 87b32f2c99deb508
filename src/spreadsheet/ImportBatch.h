#pragma once

#include "Transaction.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <map>
#include <optional>
#include <vector>

class Session;

// The rows of a trade import on their way to DPATVPIMP, written a batch at a time: the batch's
// new and changed rows by one multi-row insert (a changed row is deleted first and inserted
// again with its identifier), their activity-log rows by one more. A batch is one transaction;
// it is written and committed before every question to the user, at every end of the import and
// after `size` rows, so an import that ends early keeps the rows before its end, and a database
// failure takes back only its batch. The identifiers of new rows are drawn under a lock of the
// table at the start of each batch, so two workstations importing at once never share one.
class ImportBatch {
public:
    // A row: one value for each column of DPATVPIMP, in the table's column order.
    using Values = std::vector<QVariant>;

    ImportBatch(Session &session, qint64 nextId);

    // A row of the workbook is about to be written: starts the batch if none is open.
    void begin(int sheetRow);
    // The identifier of the next new row of the open batch.
    qint64 takeId();
    // Writes the row at the end of the batch; `stored`: it is in the table already.
    void write(const Values &row, bool stored);
    // Writes an activity-log row ("+" or "^") with the batch.
    void log(const QString &mark, const QString &rowText);
    // A row is done: the batch is written after `size` of them.
    void saved();
    void commit();
    // The first workbook row the failure takes back; 0 when no row is pending.
    int rollback();

    static QString lockSql();
    // Deletes the rows :I0 ... of the changed rows.
    static QString deleteSql(int rows);
    // Inserts `rows` rows (MultiRowInsert).
    static QString insertSql(int rows, bool isDb2);

private:
    // Forgets the batch: its transaction (rolled back unless committed) and its rows.
    void clear();
    void flush();

    static constexpr int size = 200;
    Session &session_;
    qint64 nextId_;
    std::optional<Transaction> tx_;
    int firstRow_ = 0;
    int rows_ = 0;
    std::vector<Values> pending_;
    std::map<qint64, size_t> pendingById_;
    QList<qint64> stored_; // changed rows to delete before the insert
    QList<QPair<QString, QString>> log_;
};
