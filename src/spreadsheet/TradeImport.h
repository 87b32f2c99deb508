#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <functional>

class Session;

// Trades held outside the host, imported from a workbook for one trading day into DPATVPIMP,
// from where the next collection reports them. Row 1 is a heading; every later row up to the
// first empty cell A is a trade in columns A to S. A trade whose transaction reference was
// imported before is updated in place. Each row is saved whole, with its activity-log entry,
// in batches of multi-row statements; the rows saved before an early end stay (and so do the rows
// of an import that listed errors: the list names only rows that were not imported).
class TradeImport {
public:
    enum class Ending {
        Finished, // every row was gone through
        Refused,  // the first row is of another day, or the user did not confirm: nothing saved
        Stopped,  // a later row is of another day or has no date: the rows before are saved
        Aborted,  // "Abort" to an unknown instrument: the rows before are saved, nothing shown
    };
    struct Skipped {
        int row; // the workbook's row number
        QString reason;
    };
    struct Result {
        Ending ending = Ending::Finished;
        int inserted = 0;
        int updated = 0;
        // The error list: every entry after a line break, so a non-empty list starts with one.
        QString errors;
        QList<Skipped> skipped; // the rows the error list names
    };
    // Told the position after each row and the number of rows.
    using Progress = std::function<void(int position, int rows)>;

    // The next import identifier: one more than the largest IDIMP (1 for an empty table).
    static QString nextIdSql(bool isDb2);
    static qint64 nextId(Session &session);
    // The instruments of the workbook's short codes :K0, :K1, ...
    static QString instrumentsSql(int shortCodes);
    // The rows imported earlier, on any day, under the references :R0, :R1, ...
    static QString earlierRowsSql(int references);

    // Imports the workbook's trades of the day, numbering new rows from `nextId`. A value that
    // does not convert ends the import with a message naming the file, row and column.
    static Result run(Session &session, const QString &fileName, const QDate &day, qint64 nextId,
                      const Progress &progress = {});

    // Deletes the day's imported trades that no report holds, after the user confirms; asks
    // nothing when the day has no imported trade. Gives the number deleted.
    static int deleteUnreported(Session &session, const QDate &day);
};
