#include "ReportRegeneration.h"

#include "AssignmentCopy.h"
#include "EditableTable.h"
#include "InstrumentReconciliation.h"
#include "MarketFilters.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "RunState.h"
#include "Session.h"
#include "SqlDialect.h"
#include "Transaction.h"
#include "WorkingSet.h"

namespace {
// A phase that copies assignments; a failure names the error's kind and text.
template <typename Compose>
void assignmentPhase(Session &session, int number, Query &uDPATVPPSL, EditableTable &tDPATVPPSL,
                     Compose compose) {
    session.progress(QStringLiteral("Faza %1").arg(number));
    try {
        Transaction tx(session.db);
        uDPATVPPSL.clearSql();
        compose();
        session.debugLog.write(QStringLiteral("uDPATVPPSL:") + uDPATVPPSL.text());
        uDPATVPPSL.open();
        session.debugLog.write(QStringLiteral("uDPATVPPSL.RecCount:") +
                               QString::number(uDPATVPPSL.recordCount()));
        copyAssignments(session, uDPATVPPSL, tDPATVPPSL, AssignmentTrace::regeneration());
        tx.commit();
    } catch (const RapoError &e) {
        throw RapoError(QStringLiteral("Napaka pri insertu v DPATVPPSL (faza %1)!").arg(number) +
                        QStringLiteral("\r\n") + e.className() + QStringLiteral("\r\n") +
                        e.message());
    }
}
} // namespace

ReportRegeneration::Result ReportRegeneration::start(Session &session, WorkingSet &workingSet,
                                                     RunState &state,
                                                     const ReportRegister::Row &report) {
    const Configuration &c = session.configuration;
    c.requireForReporting();
    const DebugLog::FlushAtEnd flushed(session.debugLog);
    const QString refused = ReportRegister::refusal(session, ReportRegister::Action::Regenerate,
                                                    ReportRegister::reread(session, report));
    if (!refused.isEmpty())
        throw RegisterRefusal(refused);
    Result result;
    result.collectionId = report.id;
    result.from = report.firstDay.isValid() ? report.firstDay : report.reportingDay;
    result.to = report.reportingDay;
    const QString id = QString::number(report.id);
    session.debugLog.write(QStringLiteral("MaxDPAAtvpId:") + id);

    // The generation numbers the regenerated report in the year of the rejected one's sending.
    if (report.status > 0) {
        state.regeneration.status = report.status;
        state.regeneration.zapSt = report.zapSt;
        state.regeneration.reportDate = report.sent.date();
        state.regeneration.sent = report.sent;
        state.regeneration.xmlFile = report.xmlFile;
    }

    const QString seq = SqlDialect::nextReferenceExpression(c.isDb2);
    const MarketFilters filters(c);
    const auto period = [&](Query &q) {
        q.setDate(QStringLiteral("Dan"), result.from);
        q.setDate(QStringLiteral("DanDo"), result.to);
    };
    Query u(session.db, QStringLiteral("uDPATVPPSL"));
    EditableTable tDPATVPPSL(session.db, QStringLiteral("DPATVPPSL"));
    session.activityLog.attach(tDPATVPPSL);

    assignmentPhase(session, 1, u, tDPATVPPSL, [&] {
        u.addLine(QStringLiteral(" SELECT ") + id +
                  QStringLiteral(" as DpAtvpId, P.IdPsl, 'N' as IsStn , ") + seq +
                  QStringLiteral(" as IDREFATVP "));
        u.addLine(QStringLiteral(" FROM PSL P LEFT OUTER JOIN DPATVPPSL A ON P.IdPsl = A.IdPsl "
                                 "JOIN SFVP S ON P.SFVP=S.SFVP "));
        if (filters.any())
            u.addLine(MarketFilters::venueJoin(QStringLiteral("P")));
        u.addLine(QStringLiteral(" JOIN POG PG ON P.IDPOG=PG.IDPOG "));
        u.addLine(
            QStringLiteral(" WHERE P.Dan >= :Dan AND P.Dan <= :DanDo AND A.IdRefATVP IS NULL "));
        u.addLine(QStringLiteral(" AND S.PorocanjeRAPO='D' "));
        u.addLine(MarketFilters::tradeKindCondition(QStringLiteral("P"), QStringLiteral("PG")));
        if (!c.tipPosla.isEmpty())
            u.addLine(QStringLiteral(" AND P.SfPsl in (") + SqlDialect::codeList(c.tipPosla) +
                      QStringLiteral(") "));
        if (filters.any())
            u.addLine(filters.marketCondition());
        period(u);
    });
    assignmentPhase(session, 2, u, tDPATVPPSL, [&] {
        u.addLine(QStringLiteral(" SELECT ") + id +
                  QStringLiteral(" as DpAtvpId, D.IdPsl, 'D'  as IsStn, A.IdRefATVP "));
        u.addLine(QStringLiteral(" FROM DPATVPPSLSTN D LEFT OUTER JOIN DPATVPPSL A ON D.IdPsl = "
                                 "A.IdPsl JOIN SFVP S ON D.SFVP=S.SFVP "));
        if (filters.any())
            u.addLine(MarketFilters::venueJoin(QStringLiteral("D")));
        u.addLine(QStringLiteral(" JOIN POG PG ON D.IDPOG=PG.IDPOG "));
        u.addLine(QStringLiteral(
            " WHERE A.IDPSL NOT IN (SELECT IDPSL FROM DPATVPPSL WHERE IsStn = 'D') "));
        u.addLine(QStringLiteral("   AND D.IDPSL IN (SELECT IDPSL FROM DPATVPPSL) "));
        u.addLine(
            QStringLiteral(" AND D.Dan >= :Dan AND D.Dan <= :DanDo AND S.PorocanjeRAPO='D' "));
        u.addLine(MarketFilters::tradeKindCondition(QStringLiteral("D"), QStringLiteral("PG")));
        if (filters.any())
            u.addLine(filters.marketCondition(QStringLiteral("D")));
        period(u);
    });
    assignmentPhase(session, 3, u, tDPATVPPSL, [&] {
        u.addLine(QStringLiteral(" SELECT ") + id +
                  QStringLiteral(" as DpAtvpId, D.IdPsl, 'N'  as IsStn, ") + seq +
                  QStringLiteral(" as IdRefATVP "));
        u.addLine(QStringLiteral(" FROM PSL D JOIN SFVP S ON D.SFVP=S.SFVP "));
        if (filters.any())
            u.addLine(MarketFilters::venueJoin(QStringLiteral("D")));
        u.addLine(QStringLiteral(" JOIN POG PG ON D.IDPOG=PG.IDPOG "));
        u.addLine(QStringLiteral(" WHERE D.IDPSL IN (select IDPSLEDT FROM DPATVPPSLSTN DS, POG "
                                 "PG1 where DS.IDPOG=PG1.IDPOG"));
        u.addLine(MarketFilters::tradeKindCondition(QStringLiteral("DS"), QStringLiteral("PG1")));
        u.addLine(QStringLiteral(" AND IDPSLEDT NOT IN (select IDPSL from DPATVPPSL) AND IDPSL IN "
                                 "(SELECT IdPSL FROM DPATVPPSL)) "));
        u.addLine(QStringLiteral(" AND S.PorocanjeRAPO='D' "));
        u.addLine(MarketFilters::tradeKindCondition(QStringLiteral("D"), QStringLiteral("PG")));
        u.addLine(QStringLiteral(" AND D.Dan >= :Dan AND D.Dan <= :DanDo "));
        if (filters.any())
            u.addLine(filters.marketCondition(QStringLiteral("D")));
        period(u);
    });

    session.progress(QStringLiteral("Faza 4"));
    try {
        Transaction tx(session.db);
        Query imports(session.db);
        imports.addLine(QStringLiteral(" select IDIMP from dpatvpimp "));
        imports.addLine(QStringLiteral(" WHERE Datum >= :Datum AND Datum <= :DatumDo "));
        imports.addLine(QStringLiteral(" AND DpAtvpId is null "));
        imports.setDate(QStringLiteral("Datum"), result.from);
        imports.setDate(QStringLiteral("DatumDo"), result.to);
        imports.open();
        imports.recordCount();
        EditableTable tDPATVPIMP(session.db, QStringLiteral("DPATVPIMP"));
        session.activityLog.attach(tDPATVPIMP);
        for (imports.first(); !imports.eof(); imports.next()) {
            if (!tDPATVPIMP.restrictToKey({imports.asInteger(QStringLiteral("IDIMP"))}))
                continue;
            tDPATVPIMP.edit();
            tDPATVPIMP.setValue(QStringLiteral("DPATVPID"), report.id);
            tDPATVPIMP.post();
        }
        tx.commit();
    } catch (const RapoError &) {
        throw RapoError(QStringLiteral("Napaka pri popravku DPATVPID v DPATVPIMP!"));
    }

    int choiceNeeded = 0;
    session.progress(QStringLiteral("Faza 5"));
    try {
        Transaction tx(session.db);
        choiceNeeded =
            InstrumentReconciliation::run(session, result.from, result.to, report.id, true)
                .choiceNeeded;
        tx.commit();
    } catch (const RapoError &e) {
        throw RapoError(QStringLiteral("Napaka pri insertu v DPATVP_SFVP! ") + e.message());
    }

    state.collectionId = report.id;
    if (choiceNeeded > 0) {
        session.prompter.information(
            QStringLiteral("Izberi ustrezen finančni instrument za poročanje!"));
        result.ending = CollectionRun::Ending::ChoiceNeeded;
    } else {
        const CollectionRun::Result loaded =
            CollectionRun::loadWorkingSet(session, workingSet, state, result.from, result.to, true);
        result.rows = loaded.rows;
        result.generationEnabled = loaded.generationEnabled;
    }
    // The generation registers its file as the regenerated report of the whole period.
    state.collectedPeriod = CollectionRun::periodText(result.from, result.to);
    state.regeneration.active = true;
    session.debugLog.flush();
    return result;
}
