#include "InstrumentReconciliation.h"

#include "Clock.h"
#include "EditableTable.h"
#include "Query.h"
#include "RegisterChangeTime.h"
#include "Session.h"
#include "SqlDialect.h"

#include <QStringList>

namespace {
// The instruments of the pending collection's cancellations and trades.
const QStringList pendingInstrumentUnion = {
    "   UNION ",
    "   Select DISTINCT P1.SFVP ",
    "    from DPATVPPSL D1 JOIN DPATVPPSLSTN P1 ON D1.IdPsl=P1.IdPsl ",
    "    JOIN SFVP S1 ON P1.SFVP=S1.SFVP ",
    "    where D1.dpatvpid not in (select DPATVPID from DPATVP) ",
    "    AND S1.PorocanjeRAPO='D' AND D1.IsStn = 'D' ",
    "   UNION ",
    "   Select DISTINCT P1.SFVP ",
    "    from DPATVPPSL D1 JOIN PSL P1 ON D1.IdPsl=P1.IdPsl ",
    "    JOIN SFVP S1 ON P1.SFVP=S1.SFVP ",
    "    where D1.dpatvpid not in (select DPATVPID from DPATVP) ",
    "    AND S1.PorocanjeRAPO='D' AND (D1.IsStn IS NULL OR D1.IsStn <> 'D')) A ",
};
} // namespace

QString InstrumentReconciliation::candidateSql(bool isDb2,
                                               std::optional<qint64> regeneratedCollection) {
    const QString nvl = isDb2 ? QStringLiteral("COALESCE(") : QStringLiteral("NVL(");
    QStringList l;
    // Instruments without a usable entry.
    l << " SELECT DISTINCT (CASE WHEN ((S.ISIN IS NULL) OR (S.ISIN='N')) THEN 3 "
      << " WHEN (upper(S.ISIN) IN (select upper(isin) from sfvp where POROCANJERAPO='D' AND "
         "upper(isin)=upper(S.ISIN) AND (ZPDVP>:Datum or ZPDVP is null) group by upper(isin) "
         "having "
         "count(sfvp)>1)) THEN 2 "
      // DPATVP has no ISIN column: the ISIN here is the instrument's own, so this case holds
      // whenever any report exists. The sites' register data were built with this reading, so
      // it stays as it is.
      << " WHEN (upper(S.ISIN) IN (select upper(isin) from sfvp where POROCANJERAPO='D' AND "
         "upper(isin)=upper(S.ISIN) AND S.ISIN IN (select ISIN FROM DPATVP) group by upper(isin) "
         "having count(sfvp)>1)) THEN 4 "
      << " ELSE 1 END) as Tip, "
      << " (select F1.SFVP_POROCANJE from DPATVP_SFVP F1 where F1.ISIN=S.ISIN AND "
         "F1.DANSPR=(select max(DANSPR) FROM DPATVP_SFVP WHERE ISIN=S.ISIN)) as SFVP_OLD, "
      << "  S.SFVP, upper(S.ISIN) as ISIN, S.DANSPR, S.SFVP as SFVP_POROCANJE FROM SFVP S, (Select "
         "DISTINCT D.INTINDINSTR as "
         "SFVP FROM DPATVPIMP D WHERE D.Datum>=:Datum AND D.Datum<=:DatumDo AND DPATVPID = "
         ":FMaxDpAtvpId ";
    l << pendingInstrumentUnion;
    l << " WHERE S.SFVP=A.SFVP AND POROCANJERAPO='D'"
      << " AND ((upper(S.ISIN) NOT IN (SELECT upper(D.ISIN) FROM DPATVP_SFVP D WHERE "
         "D.SFVP_POROCANJE IS NOT NULL AND D.SFVP_VEK=S.SFVP)) "
      << "   OR (upper(S.ISIN) IN (SELECT upper(D.ISIN) FROM DPATVP_SFVP D WHERE D.SFVP_VEK=S.SFVP "
         "AND D.SFVP_POROCANJE=D.SFVP_VEK AND AII_PRODUCT IS NULL AND INSTRUMENTNAME IS NULL))) "
      << " UNION ";
    // Registered instruments whose host data changed.
    l << " SELECT 0 as Tip, "
      << (isDb2 ? " (select COALESCE(F1.SFVP_POROCANJE,0) from DPATVP_SFVP F1 "
                : " (select NVL(F1.SFVP_POROCANJE,0) from DPATVP_SFVP F1 ")
      << "    where F1.ISIN=DP.ISIN AND F1.DANSPR=(select max(DANSPR) FROM DPATVP_SFVP WHERE "
         "ISIN=DP.ISIN) "
      << "    and EXISTS (select SFVP FROM SFVP WHERE SFVP=F1.SFVP_POROCANJE AND ZPDVP<:Datum) AND "
         "F1.ISIN IN (select upper(ISIN) from sfvp where POROCANJERAPO='D'  "
      << "      AND upper(isin)=upper(F1.ISIN) AND (ZPDVP>:Datum or ZPDVP is null) group by "
         "upper(isin) having count(sfvp)=1)) as SFVP_OLD, "
      << (isDb2 ? " DP.SFVP_VEK as SFVP, DP.ISIN, " : " DP.SFVP_VEK, DP.ISIN, ")
      << " (CASE WHEN ((select NVL(MIC,' ') from trg where sftrg=(select sftrg from ktc "
      << "        where sfktc=(select max(sfktc) from ktc where sfvp=S.SFVP "
      << "        and (danprk is null or danprk>:DatumDo))))<>NVL(DP.AII_MIC,' ') "
      << "        OR NVL(O.NZV,' ')<>NVL(DP.IZD,' ') OR upper(NVL(D.ISOKODA,' "
         "'))<>NVL(DP.DRZ_IZD,' ')) "
      << (isDb2 ? "      THEN (SELECT Current DATE FROM SYSIBM.SYSDUMMY1) "
                : "      THEN (select CURRENT_DATE from dual) ")
      << "      WHEN (S.DANSPR > DP.DANSPR_SFVP) "
      << "      then S.DANSPR "
      << "      else DP.DANSPR_SFVP "
      << " END) as DanSpr, S.SFVP as SFVP_POROCANJE "
      << " FROM DPATVP_SFVP DP, SFVP S, KTC K, OSB O, DRZ D "
      << "  , (Select DISTINCT D.INTINDINSTR as SFVP FROM DPATVPIMP D WHERE D.Datum>=:Datum AND "
         "D.Datum<=:DatumDo ";
    l << pendingInstrumentUnion;
    l << ", SFVP SA "
      << " where A.SFVP=SA.SFVP "
      << " AND S.SFVP=(select F1.SFVP_POROCANJE from DPATVP_SFVP F1 where F1.ISIN=SA.ISIN AND "
         "F1.DANSPR=(select max(DANSPR) FROM DPATVP_SFVP WHERE ISIN=F1.ISIN)) "
      << " AND S.SFVP=DP.SFVP_POROCANJE "
      << " AND K.SFKTC=(select min(sfktc) from ktc where sfvp=S.SFVP) "
      << " AND S.SFOSBIZD=O.SFOSB "
      << " AND O.SfDRZ=D.SFDRZ "
      << " AND (substr(NVL(S.NZV,' '),1,40)<>NVL(DP.InstrumentName,' ') "
      << " OR NVL(O.NZV,' ')<>NVL(DP.IZD,' ') "
      << " OR upper(NVL(D.ISOKODA,' '))<>NVL(DP.DRZ_IZD,' ') "
      << " OR upper(NVL(S.CFI,' '))<>NVL(AII_CFI,' ') "
      << " OR (CASE WHEN S.DanSPR IS NULL THEN K.Dan ELSE S.DanSPR END)>DP.DANSPR_SFVP "
      << " OR " + nvl + "S.GLVNMN, 0)<>" + nvl + "DP.GLVNMN, 0) "
      << " OR " + nvl + "S.LOTEMS, 0)<>" + nvl + "DP.LOTEMS, 0) "
      << " OR " + nvl + "S.IZVCEN, 0)<>" + nvl + "DP.AII_STRIKEPRICE, 0) "
      << " OR (SELECT upper(NVL(KRT,' ')) FROM VLT WHERE SFVLT=S.SfVLTNMN)<>NVL(DP.VLT,' ') "
      << " OR S.ZPDVP<>NVL(DP.AII_EXPIRY, TO_DATE('12/30/1899','mm/dd/yyyy')) "
      << " OR (select NVL(MIC,' ') from trg "
      << " where sftrg=(select sftrg from ktc where sfktc=(select max(sfktc) from ktc where "
         "sfvp=S.SFVP and (danprk is null or danprk>:DatumDo))))<>NVL(DP.AII_MIC,' ')) ";
    QString text = l.join(u'\n');
    if (regeneratedCollection)
        text.replace(QStringLiteral("    where D1.dpatvpid not in (select DPATVPID from DPATVP) "),
                     QStringLiteral("    where D1.dpatvpid  = ") +
                         QString::number(*regeneratedCollection) + u' ');
    return isDb2 ? SqlDialect::replaceAll(text, QStringLiteral("NVL("), QStringLiteral("COALESCE("))
                 : text;
}

QString InstrumentReconciliation::hostDataSql() {
    return QStringList{
        "select (select MIC from trg where sftrg=(select sftrg from ktc where sfktc=(",
        "  select max(sfktc) from ktc where sfvp=S.SFVP and (danprk is null or danprk>:DatumDo)))) "
        "as Trg_MIC,",
        "S.NZV as ImeInstrumenta,",
        "S.KRT as KraticaInstrumenta,",
        "upper(S.CFI) as TipInstr,",
        "S.ZPDVP as DatumPrenehanja,",
        "S.IZVCEN as IzvCen,",
        "O.NZV as ImeIzdajatelja,",
        "upper(D.ISOKODA) as ISOKODA,",
        "S.GLVNMN as NomVredEnote,",
        "(SELECT upper(KRT) FROM VLT WHERE SFVLT=S.SfVLTNMN) as Valuta,",
        "S.LOTEMS as LotEms,",
        "S.sfvp",
        "from SFVP S, OSB O, DRZ D ",
        "where S.sfvp=:SFVP AND S.SFOSBIZD=O.SFOSB AND O.SfDrz=D.SfDrz"}
        .join(u'\n');
}

namespace {
// Register dates: date-times on Oracle, dates (the time of day dropped) on DB2.
ParamValue registerDate(const QDateTime &value, bool isDb2) {
    if (!value.isValid())
        return ParamValue::null();
    return isDb2 ? ParamValue::date(value.date()) : ParamValue::dateTime(value);
}

// The data columns of an entry, from the host data of its instrument.
void setDataColumns(Query &q, const Query &host, bool isDb2) {
    q.setString("AII_MIC", host.asString("Trg_MIC"));
    q.setString("AII_PRODUCT", host.asString("KraticaInstrumenta").left(12));
    q.setString("AII_CFI", host.asString("TipInstr"));
    if (!host.isNull("DatumPrenehanja"))
        q.setParam("AII_EXPIRY", registerDate(host.asDateTime("DatumPrenehanja"), isDb2));
    q.setNumber("AII_STRIKEPRICE", host.asFloat("IzvCen"));
    q.setString("IZD", host.asString("ImeIzdajatelja"));
    q.setString("DRZ_IZD", host.asString("ISOKODA"));
    q.setNumber("GLVNMN", host.asFloat("NomVredEnote"));
    q.setString("VLT", host.asString("Valuta"));
    q.setNumber("LOTEMS", host.asFloat("LotEms"));
    q.setString("INSTRUMENTNAME", host.asString("ImeInstrumenta").left(40));
}
// A regeneration traces every register statement with its values.
void traceStatement(Session &session, const QString &kind, const QString &isin, qint64 sfvp,
                    const Query &q) {
    if (!session.debugLog.enabled())
        return;
    session.debugLog.write(kind + isin + QStringLiteral(" SFVP:") + QString::number(sfvp));
    session.debugLog.write(QStringLiteral("SQL:") + q.text());
    for (const QString &name : q.parameterNames())
        session.debugLog.write(name + u':' + q.parameterText(name));
}
} // namespace

InstrumentReconciliation::Result InstrumentReconciliation::run(Session &session, const QDate &from,
                                                               const QDate &to, qint64 collectionId,
                                                               bool regeneration) {
    Database &db = session.db;
    const bool isDb2 = session.isDb2();
    // "Today" of the register: the moment on Oracle, the day on DB2.
    const auto today = [&] {
        const QDateTime now = session.clock.now();
        return isDb2 ? QDateTime(now.date(), QTime(0, 0)) : now;
    };

    Query uDPATVPPSL(db, QStringLiteral("uDPATVPPSL"));
    uDPATVPPSL.setText(regeneration ? candidateSql(isDb2, collectionId) : candidateSql(isDb2));
    if (regeneration)
        session.debugLog.write(QStringLiteral("SQL :") + uDPATVPPSL.text());
    uDPATVPPSL.setDate("Datum", from);
    uDPATVPPSL.setDate("DatumDo", to);
    uDPATVPPSL.setInteger("FMaxDpAtvpId", collectionId);
    uDPATVPPSL.open();
    uDPATVPPSL.recordCount();

    EditableTable tDPATVP_SFVP(db, QStringLiteral("DPATVP_SFVP"));
    session.activityLog.attach(tDPATVP_SFVP, false);
    tDPATVP_SFVP.open();

    Query host(db, QStringLiteral("qDPATVP_SFVPDodPodatki"));
    host.setText(hostDataSql());
    host.setDate("DatumDo", to);
    Query qDPATVP_SFVPPopravki(db, QStringLiteral("qDPATVP_SFVPPopravki"));

    Result result;
    for (uDPATVPPSL.first(); !uDPATVPPSL.eof(); uDPATVPPSL.next()) {
        const int tip = static_cast<int>(uDPATVPPSL.asInteger("Tip"));
        const QString isin = uDPATVPPSL.asString("ISIN");
        const qint64 sfvp = uDPATVPPSL.asInteger("SFVP");
        const qint64 sfvpOld = uDPATVPPSL.asInteger("SFVP_OLD");
        const QDateTime hostChange = uDPATVPPSL.asDateTime("DANSPR");
        if (tip == 2)
            ++result.choiceNeeded;

        bool update = tip == 0;
        QDateTime entryHostChange;
        if (tip != 0) {
            if (tDPATVP_SFVP.locate("ISIN;SFVP_VEK", {isin, sfvp}, true)) {
                update = true;
                entryHostChange = tDPATVP_SFVP.asDateTime("DANSPR_SFVP");
            } else {
                Query &q = qDPATVP_SFVPPopravki;
                const QDateTime changeDate = hostChange.isValid() ? hostChange : today();
                if (tip == 2) {
                    q.setText(QStringLiteral(" INSERT INTO DPATVP_SFVP (ISIN, DANSPR, USRSPR, "
                                             "DANSPR_SFVP, SFVP_VEK ) VALUES ( :ISIN, :DANSPR, "
                                             ":USRSPR, :DANSPR_SFVP, :SFVP_VEK ) "));
                } else {
                    host.setInteger("SFVP", sfvp);
                    host.open();
                    const bool expiry = !host.isNull("DatumPrenehanja");
                    q.setText(QStringLiteral(" INSERT INTO DPATVP_SFVP (ISIN, DANSPR, USRSPR, "
                                             "DANSPR_SFVP, SFVP_VEK, SFVP_POROCANJE, AII_MIC, "
                                             "AII_PRODUCT, AII_CFI, ") +
                              (expiry ? QStringLiteral(" AII_EXPIRY, ") : QString()) +
                              QStringLiteral(" AII_STRIKEPRICE, IZD, DRZ_IZD, GLVNMN, VLT, "
                                             "LOTEMS, INSTRUMENTNAME ") +
                              (tip == 4 ? QStringLiteral(" , SFVP_OLD, XML ") : QString()) +
                              QStringLiteral(" ) ") +
                              QStringLiteral(" VALUES ( :ISIN, :DANSPR, :USRSPR, :DANSPR_SFVP, "
                                             ":SFVP_VEK, :SFVP_POROCANJE, :AII_MIC, "
                                             ":AII_PRODUCT, :AII_CFI, ") +
                              (expiry ? QStringLiteral(" :AII_EXPIRY, ") : QString()) +
                              QStringLiteral(" :AII_STRIKEPRICE, :IZD, :DRZ_IZD, :GLVNMN, :VLT, "
                                             ":LOTEMS, :INSTRUMENTNAME ") +
                              (tip == 4 ? QStringLiteral(" , :SFVP_OLD, :XML ") : QString()) +
                              QStringLiteral(" ) "));
                    q.setInteger("SFVP_POROCANJE", sfvp);
                    setDataColumns(q, host, isDb2);
                    if (tip == 4) {
                        if (uDPATVPPSL.isNull("SFVP_OLD"))
                            q.setNull("SFVP_OLD");
                        else
                            q.setInteger("SFVP_OLD", sfvpOld);
                        q.setString("XML", QStringLiteral("D"));
                    }
                }
                q.setString("ISIN", isin);
                q.setDateTime("DANSPR", RegisterChangeTime::next(db, session.clock, isin));
                q.setString("USRSPR", session.applicationUser);
                q.setParam("DANSPR_SFVP", registerDate(changeDate, isDb2));
                q.setInteger("SFVP_VEK", sfvp);
                if (regeneration)
                    traceStatement(session, QStringLiteral("INSERT za ISIN:"), isin, sfvp, q);
                q.exec();
                ++result.writes;
                host.close();
                continue;
            }
        }
        if (!update)
            continue;

        // A regeneration names the previous instrument whenever there is one and leaves the
        // reference mark as it is.
        const bool switches = regeneration ? sfvpOld > 0 : sfvpOld > 0 && sfvpOld != sfvp;
        // An entry holds the data of the instrument it reports: after a switch its own, otherwise
        // the reporting instrument's.
        host.setInteger("SFVP",
                        switches || tip != 0 ? sfvp : uDPATVPPSL.asInteger("SFVP_POROCANJE"));
        host.open();
        const bool expiry = !host.isNull("DatumPrenehanja");
        Query &q = qDPATVP_SFVPPopravki;
        q.setText(
            QStringLiteral(" UPDATE DPATVP_SFVP SET DANSPR_SFVP  = :DANSPR_SFVP, DanSpr = "
                           ":DanSpr, UsrSpr = :UsrSpr, AII_MIC = :AII_MIC, AII_PRODUCT = "
                           ":AII_PRODUCT, AII_CFI = :AII_CFI, ") +
            (expiry ? QStringLiteral(" AII_EXPIRY = :AII_EXPIRY, ")
                    : QStringLiteral(" AII_EXPIRY = NULL, ")) +
            QStringLiteral(" AII_STRIKEPRICE = :AII_STRIKEPRICE, IZD = :IZD, DRZ_IZD = "
                           ":DRZ_IZD, INSTRUMENTNAME=:INSTRUMENTNAME, GLVNMN=:GLVNMN, "
                           "VLT=:VLT, LOTEMS=:LOTEMS ") +
            (switches && regeneration
                 ? QStringLiteral(" , SFVP_OLD = :SFVP_OLD, SFVP_POROCANJE = :SFVP_POROCANJE ")
             : switches ? QStringLiteral(" , SFVP_OLD = :SFVP_OLD, SFVP_POROCANJE = "
                                         ":SFVP_POROCANJE, XML = :XML ")
                        : QString()) +
            QStringLiteral(" WHERE ISIN = :ISIN AND SFVP_VEK = :SFVP_VEK "));
        q.setString("ISIN", isin);
        q.setInteger("SFVP_VEK", sfvp);
        setDataColumns(q, host, isDb2);
        q.setDateTime("DanSpr", RegisterChangeTime::next(db, session.clock, isin));
        q.setString("UsrSpr", session.applicationUser);
        if (switches) {
            q.setInteger("SFVP_OLD", sfvpOld);
            q.setInteger("SFVP_POROCANJE", sfvp);
            if (!regeneration)
                q.setString("XML", QStringLiteral("D"));
        }
        QDateTime changeDate = hostChange;
        if (!hostChange.isValid() || (tip == 1 && !entryHostChange.isValid()))
            changeDate = today();
        q.setParam("DANSPR_SFVP", registerDate(changeDate, isDb2));
        if (regeneration)
            traceStatement(session, QStringLiteral("UPDATE za ISIN:"), isin, sfvp, q);
        q.exec();
        ++result.writes;
        host.close();
    }
    return result;
}
