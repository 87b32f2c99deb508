#include "CollectionRun.h"

#include "AssignmentCopy.h"
#include "CollectionDeletion.h"
#include "InstrumentReconciliation.h"
#include "MarketFilters.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "RunState.h"
#include "Session.h"
#include "ShortDateFormat.h"
#include "SqlDialect.h"
#include "Transaction.h"
#include "WorkingSet.h"

#include <QStringList>

namespace {
// Ends the regeneration state however the run ends.
struct RegenerationEnd {
    RunState &state;
    ~RegenerationEnd() { state.endRegeneration(); }
};

// Runs one phase in its transaction; a failure rolls it back and ends the run with the
// phase's message.
template <typename Work>
void phase(Session &session, int number, const QString &message, Work work) {
    const QString n = QString::number(number);
    session.progress(QStringLiteral("Faza ") + n);
    session.debugLog.write(QStringLiteral("Pre ") + n + QStringLiteral(" StartTransaction!"));
    try {
        Transaction tx(session.db);
        work();
        tx.commit();
    } catch (const RapoError &e) {
        session.debugLog.write(QStringLiteral("po ") + n + QStringLiteral(" Rollback!"));
        // The phase's message first, then what went wrong, also in the log.
        const RapoError failed = stepError(message, e);
        session.debugLog.write(failed.message());
        throw failed;
    }
    session.debugLog.write(QStringLiteral("po ") + n + QStringLiteral(" Commit!"));
}
} // namespace

QString CollectionRun::periodRefusal(const QDate &from, const QDate &to) {
    if (from <= to)
        return {};
    return QStringLiteral("\"Datum od\" (") + ShortDateFormat::toText(from) +
           QStringLiteral(") je za \"Datum do\" (") + ShortDateFormat::toText(to) +
           QStringLiteral("). Popravite obdobje; nabor ni spremenjen.");
}

QString CollectionRun::tradesOfPeriodSql(const Configuration &c, qint64 collectionId) {
    const MarketFilters filters(c);
    QStringList l;
    l << QStringLiteral(" SELECT ") + QString::number(collectionId) +
             QStringLiteral(" as DpAtvpId, P.IdPsl, 'N' as IsStn , ") +
             SqlDialect::nextReferenceExpression(c.isDb2) + QStringLiteral(" as IDREFATVP ");
    l << QStringLiteral(" FROM PSL P LEFT OUTER JOIN DPATVPPSL A ON P.IdPsl = A.IdPsl JOIN SFVP S "
                        "ON P.SFVP=S.SFVP ");
    if (filters.any())
        l << MarketFilters::venueJoin(QStringLiteral("P"));
    l << QStringLiteral(" JOIN POG PG ON P.IDPOG=PG.IDPOG ");
    l << QStringLiteral(" WHERE P.Dan >= :Dan AND P.Dan <= :DanDo AND A.IdRefATVP IS NULL AND "
                        "P.IDPSL NOT IN (SELECT IDPSL FROM DPATVPPSL) ");
    l << QStringLiteral(" AND S.PorocanjeRAPO='D' ");
    l << MarketFilters::tradeKindCondition(QStringLiteral("P"), QStringLiteral("PG"));
    if (!c.tipPosla.isEmpty())
        l << QStringLiteral(" AND P.SfPsl in (") + SqlDialect::codeList(c.tipPosla) +
                 QStringLiteral(") ");
    if (filters.any())
        l << filters.marketCondition();
    return l.join(u'\n');
}

QString CollectionRun::assignmentInsertSql() {
    return QStringLiteral(" INSERT INTO DPATVPPSL (DPATVPID, IDPSL, ISSTN, IDREFATVP) \n");
}

QString CollectionRun::cancellationsSql(const Configuration &c, qint64 collectionId) {
    const MarketFilters filters(c);
    QStringList l;
    l << QStringLiteral(" SELECT ") + QString::number(collectionId) +
             QStringLiteral(" as DpAtvpId, D.IdPsl, 'D'  as IsStn, P.IdRefATVP ");
    l << QStringLiteral(" FROM DPATVPPSLSTN D LEFT OUTER JOIN DPATVPPSL A ON D.IdPsl = A.IdPsl ");
    l << QStringLiteral(" JOIN DPATVPPSL P ON P.IdPsl=D.IdPsl JOIN SFVP S ON D.SFVP=S.SFVP ");
    if (filters.any())
        l << MarketFilters::venueJoin(QStringLiteral("D"));
    l << QStringLiteral(" JOIN POG PG ON D.IDPOG=PG.IDPOG ");
    l << QStringLiteral(" WHERE A.IDPSL NOT IN (SELECT IDPSL FROM DPATVPPSL WHERE IsStn = 'D') ");
    l << QStringLiteral("   AND D.IDPSL IN (SELECT IDPSL FROM DPATVPPSL) ");
    l << QStringLiteral(" AND S.PorocanjeRAPO='D' ");
    l << MarketFilters::tradeKindCondition(QStringLiteral("D"), QStringLiteral("PG"));
    if (filters.any())
        l << filters.marketCondition(QStringLiteral("D"));
    return l.join(u'\n');
}

QString CollectionRun::correctionsSql(const Configuration &c, qint64 collectionId) {
    const MarketFilters filters(c);
    QStringList l;
    l << QStringLiteral(" SELECT ") + QString::number(collectionId) +
             QStringLiteral(" as DpAtvpId, D.IdPsl, 'N'  as IsStn, ") +
             SqlDialect::nextReferenceExpression(c.isDb2) + QStringLiteral(" as IdRefATVP ");
    l << QStringLiteral(" FROM PSL D JOIN SFVP S ON D.SFVP=S.SFVP");
    if (filters.any())
        l << MarketFilters::venueJoin(QStringLiteral("D"));
    l << QStringLiteral(" JOIN POG PG ON D.IDPOG=PG.IDPOG ");
    l << QStringLiteral(" WHERE D.IDPSL IN (select IDPSLEDT FROM DPATVPPSLSTN "
                        "DS, POG PG1 where DS.IDPOG=PG1.IDPOG ");
    l << MarketFilters::tradeKindCondition(QStringLiteral("DS"), QStringLiteral("PG1"));
    l << QStringLiteral(" AND IDPSLEDT NOT IN (select IDPSL from DPATVPPSL) "
                        "AND IDPSL IN (SELECT IdPSL FROM DPATVPPSL)) ");
    l << QStringLiteral(" AND S.PorocanjeRAPO='D' ");
    l << MarketFilters::tradeKindCondition(QStringLiteral("D"), QStringLiteral("PG"));
    l << QStringLiteral(" AND D.IDPSL NOT IN (SELECT IDPSL FROM DPATVPPSL) ");
    l << QStringLiteral(" AND D.Dan >= :Dan AND D.Dan <= :DanDo ");
    if (filters.any())
        l << filters.marketCondition(QStringLiteral("D"));
    return l.join(u'\n');
}

QString CollectionRun::lastReferenceSql() {
    return QStringLiteral(
        " SELECT max(IDREFATVP) AS LastRef FROM DPATVPPSL WHERE DPATVPID = :DPATVPID "
        " AND ISSTN = 'N' ");
}

QString CollectionRun::importsOfPeriodUpdateSql() {
    return QStringLiteral(" UPDATE DPATVPIMP SET DPATVPID=:DPATVPID "
                          " WHERE Datum >= :Datum AND Datum <= :DatumDo AND DpAtvpId is null ");
}

QString CollectionRun::periodText(const QDate &from, const QDate &to) {
    return ShortDateFormat::toText(from) + u';' + ShortDateFormat::toText(to);
}

qint64 CollectionRun::nextCollectionId(Session &session) {
    Query q(session.db, QStringLiteral("qMaxDpAtvpId"));
    q.setText(SqlDialect::nextCollectionNumberSql(session.isDb2()));
    q.open();
    return q.asInteger(QStringLiteral("MaxDpAtvpId"));
}

CollectionRun::Result CollectionRun::run(Session &session, WorkingSet &workingSet, RunState &state,
                                         const QDate &from, const QDate &to) {
    const Configuration &c = session.configuration;
    if (const QString refused = periodRefusal(from, to); !refused.isEmpty())
        throw RapoError(refused);
    c.requireForReporting();
    RegenerationEnd regenerationEnd{state};
    const DebugLog::FlushAtEnd flushed(session.debugLog);
    state.collectedPeriod = periodText(from, to);

    session.progress(QStringLiteral("Brisanje nabora"));
    session.debugLog.write(QStringLiteral("Pre Delete!"));
    CollectionDeletion::deletePeriod(session, from, to);
    workingSet.close();
    session.debugLog.write(QStringLiteral("Po Delete!"));

    Result result;
    result.collectionId = nextCollectionId(session);
    state.collectionId = result.collectionId;

    phase(session, 1, QStringLiteral("Napaka pri insertu v DPATVPPSL (faza 1)!"), [&] {
        const QString selection = tradesOfPeriodSql(c, result.collectionId);
        session.debugLog.write(QStringLiteral("Open 1: ") + selection);
        session.debugLog.write(QStringLiteral("Params: ") + ShortDateFormat::toText(from));
        session.debugLog.write(QStringLiteral("Params: ") + ShortDateFormat::toText(to));
        // A day holds many trades: they are inserted, and then logged, by one statement each.
        Query insert(session.db, QStringLiteral("uDPATVPPSL"));
        insert.setText(assignmentInsertSql() + selection);
        insert.setDate(QStringLiteral("Dan"), from);
        insert.setDate(QStringLiteral("DanDo"), to);
        const int inserted = insert.exec();
        session.debugLog.write(QStringLiteral("po Open 1! ") + QString::number(inserted));
        logInsertedAssignments(session, result.collectionId, AssignmentTrace::collection());
    });

    // Each phase inserts, or updates, by one statement and logs its rows by one more, whatever
    // the number of trades.
    phase(session, 2, QStringLiteral("Napaka pri insertu v DPATVPPSL (faza 2)!"), [&] {
        Query insert(session.db, QStringLiteral("uDPATVPPSL"));
        insert.setText(assignmentInsertSql() + cancellationsSql(c, result.collectionId));
        insert.exec();
        logInsertedAssignments(
            session, QStringLiteral("DPATVPID = :DPATVPID AND ISSTN = 'D'"),
            {{QStringLiteral("DPATVPID"), ParamValue::integer(result.collectionId)}},
            QStringLiteral("IDPSL"), AssignmentTrace::collection());
    });

    phase(session, 3, QStringLiteral("Napaka pri insertu v DPATVPPSL (faza 3)!"), [&] {
        // The corrections draw their reference numbers after phase 1's: those above the largest
        // one so far are this phase's.
        Query last(session.db, QStringLiteral("uDPATVPPSL"));
        last.setText(lastReferenceSql());
        last.setInteger(QStringLiteral("DPATVPID"), result.collectionId);
        last.open();
        const double lastReference = last.asFloat(QStringLiteral("LastRef"));
        last.close();
        Query insert(session.db, QStringLiteral("uDPATVPPSL"));
        insert.setText(assignmentInsertSql() + correctionsSql(c, result.collectionId));
        insert.setDate(QStringLiteral("Dan"), from);
        insert.setDate(QStringLiteral("DanDo"), to);
        insert.exec();
        logInsertedAssignments(
            session,
            QStringLiteral("DPATVPID = :DPATVPID AND ISSTN = 'N' AND IDREFATVP > :LastRef"),
            {{QStringLiteral("DPATVPID"), ParamValue::integer(result.collectionId)},
             {QStringLiteral("LastRef"), ParamValue::number(lastReference)}},
            QStringLiteral("IDREFATVP"), AssignmentTrace::collection());
    });

    phase(session, 4, QStringLiteral("Napaka pri popravku DPATVPID v DPATVPIMP!"), [&] {
        Query qDPATVPIMPPopravek(session.db, QStringLiteral("qDPATVPIMPPopravek"));
        qDPATVPIMPPopravek.setText(importsOfPeriodUpdateSql());
        qDPATVPIMPPopravek.setInteger(QStringLiteral("DPATVPID"), result.collectionId);
        qDPATVPIMPPopravek.setDate(QStringLiteral("Datum"), from);
        qDPATVPIMPPopravek.setDate(QStringLiteral("DatumDo"), to);
        qDPATVPIMPPopravek.exec();
    });

    int choiceNeeded = 0;
    session.progress(QStringLiteral("Faza 5"));
    try {
        Transaction tx(session.db);
        session.debugLog.write(QStringLiteral("Pre 5 StartTransaction!"));
        choiceNeeded =
            InstrumentReconciliation::run(session, from, to, result.collectionId).choiceNeeded;
        tx.commit();
    } catch (const RapoError &e) {
        throw RapoError(QStringLiteral("Napaka pri insertu v DPATVP_SFVP! ") + e.message());
    }
    session.debugLog.write(QStringLiteral("po 5 Commit!"));

    if (choiceNeeded > 0) {
        session.prompter.information(
            QStringLiteral("Izberi ustrezen finančni instrument za poročanje!"));
        result.ending = Ending::ChoiceNeeded;
        session.debugLog.flush();
        return result;
    }

    const Result loaded = loadWorkingSet(session, workingSet, state, from, to);
    result.rows = loaded.rows;
    result.generationEnabled = loaded.generationEnabled;
    session.progress(QStringLiteral("Konec"));
    session.debugLog.flush();
    return result;
}

CollectionRun::Result CollectionRun::loadWorkingSet(Session &session, WorkingSet &workingSet,
                                                    RunState &state, const QDate &from,
                                                    const QDate &to, bool regenerated) {
    Result result;
    result.collectionId = state.collectionId;
    state.hasUnreversedRows = false;
    // A working set loaded half-way is never shown as the collection.
    try {
        session.progress(QStringLiteral("Faza 6"));
        session.debugLog.write(QStringLiteral("Pre 6 StartTransaction!"));
        workingSet.load(from, to, state.collectionId, state, regenerated);
        session.debugLog.write(QStringLiteral("po 6 .Open!"));
        result.rows = workingSet.qDPATVPPSL.recordCount();
        result.generationEnabled = result.rows > 0;
        if (result.rows > 0 && !state.hasUnreversedRows) {
            result.generationEnabled = false;
            session.prompter.information(
                QStringLiteral("V naboru ni nobenih nestorniranih transakcij!\nGeneriranje xml ni "
                               "možno. XSD shema tega ne omogoča!"));
        }

        session.progress(QStringLiteral("Faza 7"));
        session.debugLog.write(QStringLiteral("Pre 7 StartTransaction!"));
        workingSet.loadInstruments(from, to, state.collectionId, regenerated);
        session.debugLog.write(QStringLiteral("po 7 .Open!"));
    } catch (const RapoError &) {
        workingSet.close();
        state.hasUnreversedRows = false;
        session.debugLog.flush();
        throw;
    }
    session.debugLog.flush();
    return result;
}
