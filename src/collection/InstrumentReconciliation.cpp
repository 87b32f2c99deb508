#include "InstrumentReconciliation.h"

#include "Clock.h"
#include "MultiRowInsert.h"
#include "Query.h"
#include "RegisterChangeTime.h"
#include "Session.h"
#include "SqlDialect.h"
#include "StatementLog.h"

#include <QStringList>
#include <algorithm>
#include <map>

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
      // Two entries of an ISIN may share its latest change time: max() keeps each scalar
      // subquery over the latest entry to one row.
      << " (select max(F1.SFVP_POROCANJE) from DPATVP_SFVP F1 where F1.ISIN=S.ISIN AND "
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
      << (isDb2 ? " (select max(COALESCE(F1.SFVP_POROCANJE,0)) from DPATVP_SFVP F1 "
                : " (select max(NVL(F1.SFVP_POROCANJE,0)) from DPATVP_SFVP F1 ")
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
      << " AND S.SFVP=(select max(F1.SFVP_POROCANJE) from DPATVP_SFVP F1 where F1.ISIN=SA.ISIN AND "
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
      << " OR S.ZPDVP<>" + nvl + "DP.AII_EXPIRY, " +
             SqlDialect::dateLiteral(QDate(1899, 12, 30), isDb2) + ") "
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

namespace {
QString hostDataSql(const QString &instruments) {
    return QStringList{
               "select (select MIC from trg where sftrg=(select sftrg from ktc where sfktc=(",
               "  select max(sfktc) from ktc where sfvp=S.SFVP and (danprk is null or "
               "danprk>:DatumDo)))) "
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
               "from SFVP S, OSB O, DRZ D "}
               .join(u'\n') +
           QStringLiteral("\nwhere ") + instruments +
           QStringLiteral(" AND S.SFOSBIZD=O.SFOSB AND O.SfDrz=D.SfDrz");
}

QString markers(const QString &prefix, int count) {
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << u':' + prefix + QString::number(i);
    return out.join(QStringLiteral(", "));
}

// An IN list holds at most 1000 values on Oracle.
constexpr int inListSize = 1000;
// Rows a multi-row insert writes.
constexpr int insertRows = 100;
} // namespace

QString InstrumentReconciliation::hostDataSql() {
    return ::hostDataSql(QStringLiteral("S.sfvp=:SFVP"));
}

QString InstrumentReconciliation::hostDataSql(int instruments) {
    return ::hostDataSql(QStringLiteral("S.sfvp IN (") + markers(QStringLiteral("V"), instruments) +
                         u')');
}

QString InstrumentReconciliation::entriesSql(int isins, bool withoutIsin) {
    QStringList conditions;
    if (isins > 0)
        conditions << QStringLiteral("upper(ISIN) IN (") + markers(QStringLiteral("I"), isins) +
                          u')';
    if (withoutIsin)
        conditions << QStringLiteral("ISIN IS NULL");
    return QStringLiteral("SELECT ISIN, SFVP_VEK, DANSPR_SFVP FROM DPATVP_SFVP WHERE ") +
           conditions.join(QStringLiteral(" OR ")) + QStringLiteral(" ORDER BY ISIN, SFVP_VEK");
}

const QStringList &InstrumentReconciliation::insertColumns() {
    static const QStringList columns = {
        "ISIN",    "DANSPR",      "USRSPR",  "DANSPR_SFVP", "SFVP_VEK",        "SFVP_POROCANJE",
        "AII_MIC", "AII_PRODUCT", "AII_CFI", "AII_EXPIRY",  "AII_STRIKEPRICE", "IZD",
        "DRZ_IZD", "GLVNMN",      "VLT",     "LOTEMS",      "INSTRUMENTNAME",  "SFVP_OLD",
        "XML"};
    return columns;
}

namespace {
// Register dates: date-times on Oracle, dates (the time of day dropped) on DB2.
ParamValue registerDate(const QDateTime &value, bool isDb2) {
    if (!value.isValid())
        return ParamValue::null();
    return isDb2 ? ParamValue::date(value.date()) : ParamValue::dateTime(value);
}

// The host data of an instrument; an instrument without an issuer or issuer country has none,
// and every value then reads as empty or 0.
struct HostValues {
    QString mic, product, cfi, issuer, country, currency, name;
    QDateTime expiry; // none: no maturity
    double strike = 0, principal = 0, lot = 0;

    static HostValues of(const Query &host) {
        HostValues v;
        v.mic = host.asString("Trg_MIC");
        v.product = host.asString("KraticaInstrumenta").left(12);
        v.cfi = host.asString("TipInstr");
        if (!host.isNull("DatumPrenehanja"))
            v.expiry = host.asDateTime("DatumPrenehanja");
        v.strike = host.asFloat("IzvCen");
        v.issuer = host.asString("ImeIzdajatelja");
        v.country = host.asString("ISOKODA");
        v.principal = host.asFloat("NomVredEnote");
        v.currency = host.asString("Valuta");
        v.lot = host.asFloat("LotEms");
        v.name = host.asString("ImeInstrumenta").left(40);
        return v;
    }
};

// The data columns of an entry, from the host data of its instrument.
void setDataColumns(Query &q, const HostValues &host, bool isDb2) {
    q.setString("AII_MIC", host.mic);
    q.setString("AII_PRODUCT", host.product);
    q.setString("AII_CFI", host.cfi);
    if (host.expiry.isValid())
        q.setParam("AII_EXPIRY", registerDate(host.expiry, isDb2));
    q.setNumber("AII_STRIKEPRICE", host.strike);
    q.setString("IZD", host.issuer);
    q.setString("DRZ_IZD", host.country);
    q.setNumber("GLVNMN", host.principal);
    q.setString("VLT", host.currency);
    q.setNumber("LOTEMS", host.lot);
    q.setString("INSTRUMENTNAME", host.name);
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

namespace {
struct Candidate {
    int tip;
    QString isin;
    qint64 sfvp;
    qint64 sfvpOld;
    bool sfvpOldNull;
    QDateTime hostChange;
    qint64 reporting;
};

// New entries, written a hundred to a statement in the order they were met.
class EntryInserts {
public:
    EntryInserts(Database &db, bool isDb2)
        : q_(db, QStringLiteral("qDPATVP_SFVPPopravki")), isDb2_(isDb2) {}
    void add(QList<ParamValue> row) {
        rows_ << std::move(row);
        if (rows_.size() == insertRows)
            flush();
    }
    void flush() {
        if (rows_.isEmpty())
            return;
        const QStringList &columns = InstrumentReconciliation::insertColumns();
        q_.setText(MultiRowInsert::sql(QStringLiteral("DPATVP_SFVP"), columns,
                                       static_cast<int>(rows_.size()), isDb2_));
        for (int r = 0; r < rows_.size(); ++r)
            for (int c = 0; c < columns.size(); ++c)
                q_.setParam(MultiRowInsert::markerName(r, c), rows_[r][c]);
        q_.exec();
        rows_.clear();
    }

private:
    Query q_;
    bool isDb2_;
    QList<QList<ParamValue>> rows_;
};
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
    std::vector<Candidate> candidates;
    QStringList isins;    // every candidate's, for the change times
    QStringList lookedUp; // those whose entry is looked for, upper case
    bool withoutIsin = false;
    for (uDPATVPPSL.open(); !uDPATVPPSL.eof(); uDPATVPPSL.next()) {
        candidates.push_back({static_cast<int>(uDPATVPPSL.asInteger("Tip")),
                              uDPATVPPSL.asString("ISIN"), uDPATVPPSL.asInteger("SFVP"),
                              uDPATVPPSL.asInteger("SFVP_OLD"), uDPATVPPSL.isNull("SFVP_OLD"),
                              uDPATVPPSL.asDateTime("DANSPR"),
                              uDPATVPPSL.asInteger("SFVP_POROCANJE")});
        const Candidate &c = candidates.back();
        isins << c.isin;
        if (c.tip == 0)
            continue;
        if (c.isin.isEmpty())
            withoutIsin = true;
        else if (!lookedUp.contains(c.isin.toUpper()))
            lookedUp << c.isin.toUpper();
    }
    uDPATVPPSL.close();
    Result result;
    if (candidates.empty())
        return result;

    // The register as the run found it: the first entry of each ISIN (any letter case) and
    // instrument, with its host change date.
    std::map<std::pair<QString, qint64>, QDateTime> entries;
    Query registered(db, QStringLiteral("tDPATVP_SFVP"));
    for (qsizetype start = 0; start < lookedUp.size() || (start == 0 && withoutIsin);
         start += inListSize) {
        const int count =
            static_cast<int>(std::min<qsizetype>(inListSize, lookedUp.size() - start));
        registered.setText(entriesSql(count, withoutIsin && start == 0));
        for (int i = 0; i < count; ++i)
            registered.setString(QStringLiteral("I%1").arg(i), lookedUp[start + i]);
        for (registered.open(); !registered.eof(); registered.next())
            entries.try_emplace(
                {registered.asString("ISIN").toUpper(), registered.asInteger("SFVP_VEK")},
                registered.isNull("DANSPR_SFVP") ? QDateTime()
                                                 : registered.asDateTime("DANSPR_SFVP"));
        registered.close();
    }
    const auto entryOf = [&](const Candidate &c) {
        return entries.find({c.isin.toUpper(), c.sfvp});
    };

    // The host data of every instrument written, read at once.
    QList<qint64> instruments;
    for (const Candidate &c : candidates) {
        const bool inserts = c.tip != 0 && entryOf(c) == entries.end();
        if (inserts && c.tip == 2)
            continue;
        const bool switches = regeneration ? c.sfvpOld > 0 : c.sfvpOld > 0 && c.sfvpOld != c.sfvp;
        const qint64 instrument = inserts || switches || c.tip != 0 ? c.sfvp : c.reporting;
        if (!instruments.contains(instrument))
            instruments << instrument;
    }
    std::map<qint64, HostValues> hostValues;
    Query host(db, QStringLiteral("qDPATVP_SFVPDodPodatki"));
    for (qsizetype start = 0; start < instruments.size(); start += inListSize) {
        const int count =
            static_cast<int>(std::min<qsizetype>(inListSize, instruments.size() - start));
        host.setText(hostDataSql(count));
        host.setDate("DatumDo", to);
        for (int i = 0; i < count; ++i)
            host.setInteger(QStringLiteral("V%1").arg(i), instruments[start + i]);
        for (host.open(); !host.eof(); host.next())
            hostValues.try_emplace(host.asInteger("sfvp"), HostValues::of(host));
        host.close();
    }
    const auto hostOf = [&](qint64 instrument) {
        const auto found = hostValues.find(instrument);
        return found == hostValues.end() ? HostValues() : found->second;
    };

    RegisterChangeTime::Series times(db, session.clock, isins);
    EntryInserts inserts(db, isDb2);
    Query qDPATVP_SFVPPopravki(db, QStringLiteral("qDPATVP_SFVPPopravki"));
    for (const Candidate &c : candidates) {
        const int tip = c.tip;
        const QString &isin = c.isin;
        const qint64 sfvp = c.sfvp;
        const qint64 sfvpOld = c.sfvpOld;
        const QDateTime &hostChange = c.hostChange;
        if (tip == 2)
            ++result.choiceNeeded;

        QDateTime entryHostChange;
        if (tip != 0) {
            const auto entry = entryOf(c);
            if (entry != entries.end()) {
                entryHostChange = entry->second;
            } else {
                const QDateTime changeDate = hostChange.isValid() ? hostChange : today();
                const QDateTime changed = times.next(isin);
                // In the order of insertColumns(); a bare entry (a choice is needed) carries no
                // reporting instrument and no data.
                QList<ParamValue> row = {ParamValue::text(isin), ParamValue::dateTime(changed),
                                         ParamValue::text(session.applicationUser),
                                         registerDate(changeDate, isDb2),
                                         ParamValue::integer(sfvp)};
                if (tip == 2) {
                    while (row.size() < insertColumns().size())
                        row << ParamValue::null();
                } else {
                    const HostValues v = hostOf(sfvp);
                    row << ParamValue::integer(sfvp) << ParamValue::text(v.mic)
                        << ParamValue::text(v.product) << ParamValue::text(v.cfi)
                        << (v.expiry.isValid() ? registerDate(v.expiry, isDb2) : ParamValue::null())
                        << ParamValue::number(v.strike) << ParamValue::text(v.issuer)
                        << ParamValue::text(v.country) << ParamValue::number(v.principal)
                        << ParamValue::text(v.currency) << ParamValue::number(v.lot)
                        << ParamValue::text(v.name);
                    if (tip == 4)
                        row << (c.sfvpOldNull ? ParamValue::null() : ParamValue::integer(sfvpOld))
                            << ParamValue::text(QStringLiteral("D"));
                    else
                        row << ParamValue::null() << ParamValue::null();
                }
                if (regeneration && session.debugLog.enabled()) {
                    session.debugLog.write(QStringLiteral("INSERT za ISIN:") + isin +
                                           QStringLiteral(" SFVP:") + QString::number(sfvp));
                    for (int i = 0; i < insertColumns().size(); ++i)
                        session.debugLog.write(insertColumns()[i] + u':' +
                                               StatementLog::valueText(row[i]));
                }
                inserts.add(std::move(row));
                ++result.writes;
                continue;
            }
        }

        // A regeneration names the previous instrument whenever there is one and leaves the
        // reference mark as it is.
        const bool switches = regeneration ? sfvpOld > 0 : sfvpOld > 0 && sfvpOld != sfvp;
        // An entry holds the data of the instrument it reports: after a switch its own, otherwise
        // the reporting instrument's.
        const HostValues v = hostOf(switches || tip != 0 ? sfvp : c.reporting);
        const bool expiry = v.expiry.isValid();
        // The entries are written in the order they were met.
        inserts.flush();
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
        setDataColumns(q, v, isDb2);
        q.setDateTime("DanSpr", times.next(isin));
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
    }
    inserts.flush();
    return result;
}
