#include "WorkingSetSql.h"

#include <QStringList>

namespace {
// The venue's MIC: a configured segment MIC for segment "C" of venue 8.
const QString venueMic = QStringLiteral(
    "(CASE WHEN (t.SFTRG=(SELECT Sftrg from trg where sftrg=8) AND K.SfSgt='C') THEN %SegmentTrg% "
    "ELSE upper(T.MIC) END)");

// The venue's base offset, "+01" when it has none.
const QString baseOffset = QStringLiteral(
    "(CASE WHEN ((T.TimeZone is null) or (T.TimeZone ='')) THEN '+01' ELSE T.TimeZone END)");

// Summer time: strictly after the last Sunday of March, strictly before the last Sunday of
// October of the trade's year.
const QString summer = QStringLiteral(
    "(P.Dan > TO_DATE((31-mod(trunc(5*CAST(EXTRACT(Year FROM P.Dan) as INTEGER)/4+4),7)) || "
    "'.03.' || EXTRACT(Year FROM P.Dan),'dd.mm.yyyy') AND P.Dan < "
    "TO_DATE((31-mod(trunc(5*CAST(EXTRACT(Year FROM P.Dan) as INTEGER)/4+1),7)) || '.10.' || "
    "EXTRACT(Year FROM P.Dan),'dd.mm.yyyy'))");

QString offset() {
    const QString sign = QStringLiteral("substr(") + baseOffset + QStringLiteral(",1,1)");
    const QString hours =
        QStringLiteral("TO_NUMBER(substr(") + baseOffset + QStringLiteral(",2,2))");
    // One hour further from zero in summer: up for "+", down for "-".
    const QString shifted = QStringLiteral("(") + hours + QStringLiteral(" + (CASE WHEN ") + sign +
                            QStringLiteral("='-' THEN -1 ELSE 1 END))");
    return QStringLiteral("%TimeZone_Start%(CASE WHEN ") + summer +
           QStringLiteral(" THEN (CASE WHEN ") + shifted + QStringLiteral(" < 10 THEN ") + sign +
           QStringLiteral(" || '0' || CAST(") + shifted + QStringLiteral(" AS VARCHAR2(1)) ELSE ") +
           sign + QStringLiteral(" || CAST(") + shifted +
           QStringLiteral(" AS VARCHAR2(2)) END) ELSE ") + baseOffset +
           QStringLiteral(" END)%TimeZone_End% as Offset");
}

// Reported instrument data: the register entry's when it names a reporting instrument.
QString instrumentColumns(const QString &entry) {
    return QStringLiteral(" (CASE WHEN ") + entry +
           QStringLiteral(".SFVP_POROCANJE IS NOT NULL THEN ") + entry +
           QStringLiteral(".AII_MIC ELSE (select MIC from trg where sftrg=(select sftrg from ktc "
                          "where sfktc=(select max(sfktc) from ktc where sfvp=S.SFVP and (danprk "
                          "is null or danprk>:DatumDo)))) END) as Trg_MIC, ") +
           QStringLiteral(" NVL(") + entry +
           QStringLiteral(".AII_STRIKEPRICE, S.IZVCEN) as IZVCEN, ") + QStringLiteral(" NVL(") +
           entry + QStringLiteral(".AII_EXPIRY, S.ZPDVP) as ZPDVP, ") + QStringLiteral(" NVL(") +
           entry + QStringLiteral(".AII_CFI, upper(S.CFI)) as CFI, ");
}

const QString reportingFirm =
    QStringLiteral(" (select MTS from OSB where SfOsb=2) as MTS_BPH, "
                   " upper((select SWIFT from OSB where SfOsb=2)) as SWIFT_BPH, ");

const QString shortName =
    QStringLiteral("(CASE WHEN F.ISIN IS NULL THEN S.KRT ELSE F.AII_PRODUCT END)");

// The columns of a host trade or cancellation (P) with its opposite trade (P2).
QString hostColumns() {
    QStringList c;
    c << " SELECT G.NZV as POGNZV, G.KRTKDD as POGKDD, "
      << " " + shortName + " as SFVP_VEK, " << reportingFirm << " P.Dan as Dan, P.CAS as Cas, "
      << " " + offset() + ", "
      << " " + shortName + " as SFVP_KRT, "
      << " (CASE WHEN P.SfPsl IN ('N','A','B') THEN 'B' WHEN P.SfPsl IN ('P','a','b','{') THEN 'S' "
         "ELSE %null_char% END) as IndNakProd, "
      << " (CASE WHEN P.SFDJV='L' THEN 'P' ELSE 'A' END) as TrgZmog, "
      << " (CASE WHEN S.ISIN IS NULL THEN 'N' ELSE upper(S.ISIN) END) as ISIN, "
      << " (CASE WHEN F.SFVP_POROCANJE IS NOT NULL THEN F.SFVP_POROCANJE ELSE S.SFVP END) as "
         "IntIndInstr, "
      << " P.GlvTcj as CenaEnote, "
      << " (CASE WHEN P.SfGlvEnt='%' THEN 'P' ELSE 'C' END) as ZapisCene, "
      << " upper(V.KRT) as Valuta, "
      << " (CASE WHEN NVL(P.IdPslTrp, 0) = 0 THEN P.Lot ELSE P2.Lot END) as Lot, "
      << " T.SfTRZ as SfTRZ, "
      << " " + venueMic + " as MIC, "
      << " P.SfTrg as SfTrg, "
      << " upper(O.SWIFT) as SWIFT, upper(O.KRTBNK) as KRTBNK, "
      << " (CASE WHEN O.SWIFT IS NOT NULL THEN 'BIC' WHEN " + venueMic +
             " IS NULL THEN 'CC' ELSE 'MIC' END) as OznakaNaspStranke, "
      << " P.IdPsl as IdPsl, P.SfDjv as SfDjv, P.IDPSLTRP as IDPSLTRP, P2.SfDjv as NS_SFDJV, "
      << " upper(ONS.SWIFT) as NS_SWIFT, upper(ONS.KRTBNK) as NS_KRTBNK, "
      << " (CASE WHEN P2.SFDJV='L' THEN '' WHEN ONS.SWIFT IS NULL THEN 'Internal' ELSE 'BIC' END) "
         "as NS_OznakaKlijenta, "
      << " (CASE WHEN P.SFDJV='L' THEN '' WHEN O.SWIFT IS NULL THEN 'Internal' ELSE 'BIC' END) as "
         "OznakaKlijenta, "
      << " (CASE WHEN T.SFTRZ='3' THEN '' ELSE " + venueMic + " END) as IdentMesta, "
      << " (CASE WHEN (T.SFTRZ='3' OR " + venueMic +
             " IS NULL) THEN 'XOFF' ELSE 'MIC' END) as OznakaIdentMesta, "
      << " P.IdPsl as RefStTransa, D.DPATVPID as DPATVPID, D.ISSTN as ISSTN, "
      << " D.IDREFATVP as IDREFATVP, upper(OTP.SWIFT) as TRP_SWIFT, 'Q' as VRSTA, "
      << instrumentColumns(QStringLiteral("F"))
      << " NVL((select GLV from KPN where SfKpn=P.SfKpn), 0) as KPN_GLV ";
    return c.join(u'\n');
}

// The current entry of an ISIN (greatest DANSPR).
const QString currentEntry = QStringLiteral(
    "(select * from DPATVP_SFVP F1 where F1.DANSPR=(select max(DANSPR) FROM DPATVP_SFVP WHERE "
    "ISIN=F1.ISIN) ) ");

// The one register entry a trade is reported through: the current entry of its ISIN (of its
// host instrument for instruments without an ISIN), when it names a reporting instrument. That
// entry alone decides how the ISIN is reported; joining further entries would repeat the trade.
QString reportingEntry(const QString &alias) {
    return QStringLiteral(
               "(select F1.* from DPATVP_SFVP F1 where F1.SFVP_POROCANJE IS NOT NULL AND "
               "F1.DANSPR=(select max(F0.DANSPR) FROM DPATVP_SFVP F0 WHERE F0.ISIN=F1.ISIN AND "
               "(F1.ISIN<>'N' OR F0.SFVP_VEK=F1.SFVP_VEK))) ") +
           alias;
}

// Instruments without an ISIN share the mark "N": their entries join only their own trades.
QString entryJoin(const QString &entries, const QString &alias) {
    return QStringLiteral(" LEFT OUTER JOIN ") + entries + QStringLiteral(" ON ") + alias +
           QStringLiteral(".ISIN=upper(SP.ISIN) AND (upper(SP.ISIN)<>'N' OR ") + alias +
           QStringLiteral(".SFVP_VEK=SP.SFVP) ");
}

QString hostJoins(const QString &entries) {
    QStringList j;
    // A link of 0, like null, is no counter-trade.
    j << " LEFT OUTER JOIN PSL X ON P.IdPslTrp < 0 AND X.IdPslTrp = -P.IdPslTrp "
      << " LEFT OUTER JOIN PSL P2 ON (P2.IdPsl = CASE WHEN P.IdPslTrp > 0 THEN P.IdPslTrp ELSE "
         "X.IdPsl END) "
      << " LEFT OUTER JOIN POG PNS ON P2.IdPog=PNS.IDPOG "
      << " LEFT OUTER JOIN OSB ONS ON PNS.SfOsb=ONS.SfOsb "
      << " JOIN SFVP SP ON P.SFVP=SP.SFVP " << entryJoin(entries, QStringLiteral("F"))
      << " JOIN SFVP S ON (((F.SFVP_POROCANJE=S.SFVP) and F.SFVP_POROCANJE IS NOT NULL) OR "
         "((F.SFVP_POROCANJE IS NULL) and (SP.SFVP=S.SFVP))) "
      << " JOIN POG G ON P.IdPog=G.IdPog "
      << " JOIN OSB O ON G.SfOsb=O.SfOsb "
      << " JOIN TRG T ON P.SfTrg=T.SfTrg "
      << " JOIN VLT V ON P.SfVlt=V.SfVlt "
      << " LEFT OUTER JOIN POG GTP ON P.IdPogTrp=GTP.IdPog "
      << " LEFT OUTER JOIN OSB OTP ON GTP.SfOSB=OTP.SfOSB "
      << " JOIN KTC K ON S.SFVP=K.SFVP "
      << " where D.dpatvpid not in (select DPATVPID from DPATVP) "
      << " AND K.SFKTC=(select min(sfktc) from ktc where sfvp=S.SFVP and (DanPrk is Null or "
         "danPrk>:Datum)) "
      << " AND S.PorocanjeRAPO='D' ";
    return j.join(u'\n');
}

QString importColumns() {
    QStringList c;
    c << " SELECT %null_char% as POGNZV, %null_char% as POGKDD, %null_char% as SFVP_VEK, "
      << reportingFirm << " D.Datum as Dan, CAST(D.Cas as TIME) as Cas, D.CasPas as Offset, "
      << " " + shortName + " as SFVP_KRT, "
      << " D.INDNAKPRO as IndNakProd, D.TRGZMO as TrgZmog, upper(D.ISIN) as ISIN, "
      << " (CASE WHEN F.SFVP_POROCANJE IS NOT NULL THEN F.SFVP_POROCANJE ELSE D.IntIndInstr END) "
         "as IntIndInstr, "
      << " D.CENA as CenaEnote, D.ZAPCENE as ZapisCene, upper(D.VAL) as Valuta, D.KOL as Lot, "
      << " %null_char% as SfTRZ, upper(D.KLIENT) as MIC, 0 as SfTrg, "
      << " upper(D.KLIENT) as SWIFT, upper(D.KLIENT) as KRTBNK, "
      << " D.OZNNASSTR as OznakaNaspStranke, D.REFSTTRANSA as IdPsl, %null_char% as SfDjv, "
      << " %null_int% as IDPSLTRP, %null_char% as NS_SFDJV, "
      << " upper(D.NASSTR) as NS_SWIFT, upper(D.NASSTR) as NS_KRTBNK, "
      << " D.OZNNASSTR as NS_OznakaKlijenta, D.OZNKLIENTA as OznakaKlijenta, "
      << " D.IDENTMESTA as IdentMesta, D.OZNMESTA as OznakaIdentMesta, "
      << " D.REFSTTRANSA as RefStTransa, D.DPATVPID as DPATVPID, "
      << " (CASE WHEN D.RAZTRANSA='C' THEN 'D' ELSE 'N' END) as ISSTN, "
      << " %null_int% as IDREFATVP, %null_char% as TRP_SWIFT, 'I' as VRSTA, "
      << instrumentColumns(QStringLiteral("F"))
      << " (select max(NVL(GLV, 0)) from kpn where sfvp=S.SFVP"
      << "and (((prvdan<:DatumDo) or ((prvdan=:DatumDo) and (sfobm in ('>','=')))) and "
         "((zdnDan>:DatumDo) or ((zdnDan=:DatumDo) and (sfobm in ('<','=')))))) as KPN_GLV ";
    return c.join(u'\n');
}
} // namespace

QString WorkingSetSql::workingSet() {
    QStringList s;
    // Host trades of the pending collection in the period.
    s << hostColumns()
      << " from DPATVPPSL D JOIN PSL P ON D.IdPsl=P.IdPsl AND P.Dan>=:Datum AND P.Dan<=:DatumDo "
      << hostJoins(reportingEntry(QStringLiteral("F")))
      << " AND (D.IsStn IS NULL OR D.IsStn <> 'D') "
      << " UNION ";
    // Cancellations of the pending collection, whatever their date.
    s << hostColumns() << " from DPATVPPSL D JOIN DPATVPPSLSTN P ON D.IdPsl=P.IdPsl "
      << hostJoins(currentEntry + QStringLiteral("F")) << " AND D.IsStn = 'D' "
      << " UNION ";
    // Imported trades of the collection.
    s << importColumns() << " FROM DPATVPIMP D "
      << " JOIN SFVP SP ON D.INTINDINSTR=SP.SFVP "
      << entryJoin(currentEntry + QStringLiteral("F"), QStringLiteral("F"))
      << " JOIN SFVP S ON (((F.SFVP_POROCANJE=S.SFVP) and F.SFVP_POROCANJE IS NOT NULL) OR "
         "((F.SFVP_POROCANJE IS NULL) and (SP.SFVP=S.SFVP))) "
      << " WHERE D.Datum >= :Datum AND D.Datum <= :DatumDo "
      << " AND D.DPATVPID = :FMaxDpAtvpId "
      << " ORDER BY VRSTA DESC, ISSTN DESC ";
    return s.join(u'\n');
}

QString WorkingSetSql::instruments() {
    const auto pick = [](const QString &entryValue, const QString &own) {
        return QStringLiteral("(CASE WHEN DP.SFVP_POROCANJE IS NOT NULL THEN ") + entryValue +
               QStringLiteral(" ELSE ") + own + QStringLiteral(" END)");
    };
    QStringList s;
    s << " SELECT DISTINCT upper((select SWIFT from OSB where SfOsb=2)) as SWIFT_BPH, "
      << " (CASE WHEN S.ISIN IS NULL THEN 'N' ELSE upper(S.ISIN) END) as ISIN, "
      << " " + pick("DP.SFVP_POROCANJE", "S.SFVP") + " as INTIDENT, "
      << " " + pick("DP.InstrumentName", "substr(S.NZV,1,40)") + " as IMEINSTRUMENTA, "
      << " " + pick("DP.IZD", "O.NZV") + " as IMEIZDAJATELJA, "
      << " " + pick("DP.DRZ_IZD", "upper(D.ISOKODA)") + " as ISOKODA, "
      << " " + pick("DP.AII_CFI", "upper(S.CFI)") + " as TIPINSTR, "
      << " (CASE WHEN (S.CFI IS NULL OR length(trim(S.CFI))<6) THEN 'Custom' ELSE 'CFI' END) as "
         "OZNAKATIPAINSTR, "
      << " (CASE WHEN (DP.SFVP_POROCANJE IS NOT NULL AND DP.SFVP_POROCANJE<>DP.SFVP_VEK) THEN "
         "(select max(E.DANSPR_SFVP) from DPATVP_SFVP E where E.SFVP_VEK=DP.SFVP_POROCANJE) "
         "WHEN DP.SFVP_POROCANJE IS NOT NULL THEN DP.DANSPR_SFVP "
         "ELSE NVL(S.DanSPR, K.Dan) END) as DANSPR, "
      << " " + pick("DP.GLVNMN", "S.GLVNMN") + " as NOMVREDENOTE, "
      << " " + pick("DP.VLT", "(SELECT upper(KRT) FROM VLT WHERE SFVLT=S.SfVLTNMN)") +
             " as VALUTA, "
      << " " + pick("DP.LOTEMS", "S.LOTEMS") + " as LOTEMS, "
      << " " + pick("DP.AII_EXPIRY", "S.ZPDVP") + " as DATUMPRENEHANJA, "
      << " " + pick("DP.SFVP_POROCANJE", "S.SFVP") + " as SFVP, "
      << " S.KOS as KOS, "
      << " " + pick("DP.GLVNMN", "S.GLVNMN") + " as GLVNMN, "
      << " (SELECT upper(KRT) FROM VLT WHERE SFVLT=S.SfVLTNMN) as VLT, "
      << " (CASE WHEN DP.XML='D' THEN DP.SFVP_OLD ELSE %null_int% END) as Referenca, "
      << " " +
             pick("DP.AII_MIC", "(select MIC from trg where sftrg=(select sftrg from ktc where "
                                "sfktc=(select max(sfktc) from ktc where sfvp=S.SFVP and (danprk "
                                "is null or danprk>:DatumDo))))") +
             " as Trg_MIC, "
      << " " + pick("DP.AII_PRODUCT", "S.KRT") + " as KRT, "
      << " " + pick("DP.AII_STRIKEPRICE", "S.IZVCEN") + " as IZVCEN "
      << " FROM SFVP SP " << entryJoin(reportingEntry(QStringLiteral("DP")), QStringLiteral("DP"))
      << " JOIN SFVP S ON (((DP.SFVP_POROCANJE=S.SFVP) and DP.SFVP_POROCANJE IS NOT NULL) OR "
         "((DP.SFVP_POROCANJE IS NULL) and (SP.SFVP=S.SFVP))) "
      << " JOIN OSB O ON S.SFOSBIZD=O.SFOSB "
      << " JOIN FIN F ON S.SFFIN=F.SFFIN "
      << " JOIN DRZ D ON O.SfDRZ=D.SFDRZ "
      << " JOIN KTC K ON SP.SFVP=K.SFVP "
      << " WHERE K.SFKTC=(select min(sfktc) from ktc where sfvp=SP.SFVP) "
      << " AND SP.SFVP IN (select P1.SFVP from DPATVPPSL D1 JOIN PSL P1 ON D1.IdPsl=P1.IdPsl "
         "JOIN SFVP S1 ON P1.SFVP=S1.SFVP where D1.dpatvpid not in (select DPATVPID from DPATVP) "
         "AND S1.PorocanjeRAPO='D' AND (D1.IsStn IS NULL OR D1.IsStn <> 'D') "
      << "   UNION select D1.INTINDINSTR from DPATVPIMP D1 where D1.Datum>=:Datum AND "
         "D1.Datum<=:DatumDo AND D1.DPATVPID=:FMaxDpAtvpId AND ((D1.RAZTRANSA IS NULL) OR "
         "(D1.RAZTRANSA<>'C'))) ";
    return s.join(u'\n');
}
