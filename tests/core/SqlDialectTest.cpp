#include "SqlDialect.h"
#include "Configuration.h"

#include <gtest/gtest.h>

namespace {
// The pieces of the working set that the dialect adaptation touches.
const QString workingSet = QStringLiteral(
    "select %null_char% as KRTBNK, %null_int% as IdPsl, NVL(T.TimeZone, '+01') as TZ,\n"
    "%TimeZone_Start%(CASE WHEN P.Dan > TO_DATE((31-mod(trunc(5*CAST(EXTRACT(Year FROM P.Dan) as "
    "INTEGER)/4+4),7)) || '.03.' || EXTRACT(Year FROM P.Dan),'dd.mm.yyyy') THEN CAST('+02' AS "
    "VARCHAR2(3)) ELSE '+01' END)%TimeZone_End% as Offset,\n"
    "(CASE WHEN K.SfSgt='C' THEN %SegmentTrg% ELSE upper(T.MIC) END) as MIC,\n"
    "CAST(D.Cas as TIME) as Cas from x");

Configuration config(bool db2, const QString &fixed = {}, const QString &mic = {}) {
    Configuration c;
    c.isDb2 = db2;
    c.fiksniTimeZoneZaTrg = fixed;
    c.micLjseC = mic;
    return c;
}

TEST(SqlDialect, OracleWithoutFixedVenuesOrSegmentMic) {
    const QString t = SqlDialect::workingSetTemplate(
        SqlDialect::adaptWorkingSet(workingSet, config(false)), false);
    EXPECT_FALSE(t.contains('%'));
    EXPECT_TRUE(t.contains("null as KRTBNK, null as IdPsl"));
    EXPECT_TRUE(t.contains("THEN upper(T.MIC) ELSE"));
    EXPECT_TRUE(t.contains("D.Cas from x"));
    EXPECT_FALSE(t.contains("CAST(D.Cas as TIME)"));
    EXPECT_TRUE(t.contains("NVL(T.TimeZone"));
    EXPECT_TRUE(t.contains("END) as Offset")) << "no frame around the offset";
}

TEST(SqlDialect, Db2WithFixedVenuesLoadsWithoutOracleConstructs) {
    const QString adapted = SqlDialect::adaptWorkingSet(workingSet, config(true, "8,12"));
    const QString t = SqlDialect::workingSetTemplate(adapted, true);
    EXPECT_TRUE(t.contains("CAST(null AS char) as KRTBNK, CAST(null AS integer) as IdPsl"));
    EXPECT_TRUE(t.contains("COALESCE(T.TimeZone"));
    EXPECT_TRUE(t.contains("CAST(D.Cas as TIME) as Cas"));
    const QString loaded = SqlDialect::db2WorkingSetLoad(t);
    EXPECT_TRUE(loaded.contains("RTRIM((CASE WHEN T.SFTRG In (8,12) THEN (CASE WHEN ((T.TimeZone "
                                "is null) or (T.TimeZone ='')) THEN '+01' ELSE T.TimeZone END) "
                                "ELSE ("));
    EXPECT_TRUE(loaded.contains(") END))  as Offset"));
    EXPECT_FALSE(loaded.contains("TO_DATE(", Qt::CaseInsensitive));
    EXPECT_FALSE(loaded.contains("VARCHAR2(", Qt::CaseInsensitive));
    EXPECT_FALSE(loaded.contains(",'dd.mm.yyyy')"));
    EXPECT_TRUE(loaded.contains("trunc(5*CAST(YEAR(P.DAn) as INTEGER)/4+4, 0)"));
    EXPECT_TRUE(loaded.contains("|| '.03.' || YEAR(P.Dan)"));
    EXPECT_TRUE(loaded.contains("CAST('+02' AS CHAR(3))"));
}

TEST(SqlDialect, ASegmentMicWithAQuoteIsASafeLiteral) {
    const QString t = SqlDialect::adaptWorkingSet(workingSet, config(false, {}, "X'LJ"));
    EXPECT_TRUE(t.contains("THEN 'X''LJ' ELSE"));
}

TEST(SqlDialect, OracleAndAnEmptyTipGiveTheSameTexts) {
    Configuration oracle = config(false);
    oracle.tip = "ORACLE";
    Configuration empty = config(false);
    empty.tip = "";
    EXPECT_EQ(SqlDialect::adaptWorkingSet(workingSet, oracle),
              SqlDialect::adaptWorkingSet(workingSet, empty));
}

TEST(SqlDialect, CodeListsQuoteEveryCharacter) {
    EXPECT_EQ(SqlDialect::codeList("KL"), "'K','L'");
    EXPECT_EQ(SqlDialect::codeList("N, A"), "'N',',',' ','A'");
    EXPECT_EQ(SqlDialect::codeList("L'"), "'L',''''");
    EXPECT_EQ(SqlDialect::codeList(""), "");
}

TEST(SqlDialect, TwoVariantStatements) {
    EXPECT_EQ(SqlDialect::nextCollectionNumberSql(false),
              " select NVL(max(DpAtvpId), 0)+1 as MaxDpAtvpId from DPATVP");
    EXPECT_EQ(SqlDialect::nextCollectionNumberSql(true),
              " select COALESCE(max(DpAtvpId), 0)+1 as MaxDpAtvpId from DPATVP");
    EXPECT_EQ(SqlDialect::nextReferenceExpression(false), "DPATVPPSL_SEQ.NEXTVAL");
    EXPECT_EQ(SqlDialect::nextReferenceExpression(true), "NEXTVAL FOR DPATVPPSL_SEQ");
    EXPECT_EQ(SqlDialect::dateLiteral(QDate(2014, 4, 1), false),
              "TO_DATE('04/01/2014','mm/dd/yyyy')");
    EXPECT_EQ(SqlDialect::dateLiteral(QDate(2014, 4, 1), true), "'04/01/2014'");
    EXPECT_EQ(SqlDialect::currentDateSubquery(true), "(SELECT Current DATE FROM SYSIBM.SYSDUMMY1)");
    EXPECT_EQ(SqlDialect::adaptNvl("select NVL(a,0), nvl(b,1) from t", true),
              "select COALESCE(a,0), COALESCE(b,1) from t");
}
} // namespace
