#pragma once

#include <QDate>
#include <QString>

struct Configuration;
class Session;
class WorkingSet;
struct RunState;

// "Nabor": records the trades of a period that must be reported as the pending collection
// under a new collection id. It first discards what earlier runs collected but never reported,
// then takes the period's host trades (1), the cancellations (2) and corrections (3) of trades
// collected before, the period's imported trades (4), brings the instrument register up to
// date (5) and loads the working set (6) and its instruments (7). Phases 1 to 5 commit each on
// its own; a failing phase rolls back only itself and ends the run with its message.
class CollectionRun {
public:
    enum class Ending { Loaded, ChoiceNeeded };
    struct Result {
        Ending ending = Ending::Loaded;
        qint64 collectionId = 0;
        int rows = 0; // rows of the working set
        bool generationEnabled = false;
    };

    static Result run(Session &session, WorkingSet &workingSet, RunState &state, const QDate &from,
                      const QDate &to);

    // Phases 6 and 7: loads the working set and its instruments for the collection in `state`,
    // with the check that generation needs a row that is not a cancellation. The return from
    // the instrument choice loads them the same way.
    // `regenerated`: the collection of a rejected report being regenerated.
    static Result loadWorkingSet(Session &session, WorkingSet &workingSet, RunState &state,
                                 const QDate &from, const QDate &to, bool regenerated = false);

    // Phase 1's selection: the host trades of the period (parameters :Dan and :DanDo) with a new
    // reference number each.
    static QString tradesOfPeriodSql(const Configuration &c, qint64 collectionId);
    // The head of the insert that takes a phase's selection (DpAtvpId, IdPsl, IsStn,
    // IDREFATVP) into DPATVPPSL.
    static QString assignmentInsertSql();
    // Phase 2's selection: the cancellations of trades collected before, with their references.
    static QString cancellationsSql(const Configuration &c, qint64 collectionId);
    // Phase 3's selection: the corrections of the period (:Dan, :DanDo), each with a new
    // reference.
    static QString correctionsSql(const Configuration &c, qint64 collectionId);
    // The largest reference the collection (:DPATVPID) drew so far (its cancellations carry
    // older ones).
    static QString lastReferenceSql();
    // Phase 4: links the period's free imports to the collection (:DPATVPID, :Datum, :DatumDo).
    static QString importsOfPeriodUpdateSql();
    // The period as the main window remembers it: "dd.mm.yyyy;dd.mm.yyyy".
    static QString periodText(const QDate &from, const QDate &to);
    // Why a period cannot be collected ("Datum od" after "Datum do"); empty when it can.
    static QString periodRefusal(const QDate &from, const QDate &to);
    // The next collection id: one more than the largest report number.
    static qint64 nextCollectionId(Session &session);
};
