#pragma once

#include <QDate>
#include <QStringList>
#include <optional>

class Session;

// Brings the register of instruments as reported up to date for every instrument the pending
// collection touches: new entries, refreshed entries, an ISIN switching to the remaining host
// instrument when the reported one matured, and bare entries for ISINs whose host holds
// several reportable instruments (the user must choose). Runs inside the caller's
// transaction. Every write takes its change time from RegisterChangeTime, so the entries of
// an ISIN carry distinct, increasing change times without waiting.
class InstrumentReconciliation {
public:
    struct Result {
        int choiceNeeded = 0; // ISIN entries that need the user's choice
        int writes = 0;       // register rows inserted or updated
    };

    // `regeneration`: the collection of a rejected report is reconciled again; exactly its
    // instruments are taken, and an update names its previous instrument whenever it has one.
    static Result run(Session &session, const QDate &from, const QDate &to, qint64 collectionId,
                      bool regeneration = false);

    // The candidate statement, as sent for the dialect; for a regeneration restricted to the
    // collection.
    static QString candidateSql(bool isDb2, std::optional<qint64> regeneratedCollection = {});
    // The host data of one instrument (parameters SFVP and DatumDo).
    static QString hostDataSql();
    // The host data of many instruments (parameters V0, V1, ... and DatumDo).
    static QString hostDataSql(int instruments);
    // The register entries of ISINs (parameters I0, I1, ..., upper case).
    static QString entriesSql(int isins);
    // The register entries of ISINs (parameters I0, I1, ..., upper case) and, when asked, those
    // without ISIN.
    static QString entriesSql(int isins, bool withoutIsin);
    // The columns of the multi-row insert of new entries; a bare entry leaves the data null.
    static const QStringList &insertColumns();
};
