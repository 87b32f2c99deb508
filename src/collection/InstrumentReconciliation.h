#pragma once

#include <QDate>

class Session;

// Brings the register of instruments as reported up to date for every instrument the pending
// collection touches: new entries, refreshed entries, an ISIN switching to the remaining host
// instrument when the reported one matured, and bare entries for ISINs whose host holds
// several reportable instruments (the user must choose). Runs inside the caller's
// transaction; waits one second after every register write so the writes carry distinct
// change times.
class InstrumentReconciliation {
public:
    struct Result {
        int choiceNeeded = 0; // ISIN entries that need the user's choice
        int writes = 0;       // register rows inserted or updated
    };

    static Result run(Session &session, const QDate &from, const QDate &to, qint64 collectionId);

    // The candidate statement, as sent for the dialect.
    static QString candidateSql(bool isDb2);
    // The host data of one instrument (parameters SFVP and DatumDo).
    static QString hostDataSql();
};
