#include "EmbeddedEngine.h"
#include "DbError.h"
#include "JulianDay.h"
#include "Query.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

// The test suite below takes the engine's name.
namespace Engine = EmbeddedEngine;

namespace {
struct ExpressionCase {
    const char *name;
    const char *sql;
    QVariant expected; // compared as text
    friend void PrintTo(const ExpressionCase &c, std::ostream *os) { *os << c.sql; }
};

class EmbeddedEngine : public ::testing::TestWithParam<ExpressionCase> {};

TEST_P(EmbeddedEngine, RunsTheHostDialectsExpressions) {
    TestDatabase t;
    t.db->setToday([] { return QDate(2014, 4, 1); });
    const QVariant v = t.scalar(QString::fromUtf8(GetParam().sql));
    EXPECT_EQ(v.toString(), GetParam().expected.toString()) << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(
    Functions, EmbeddedEngine,
    ::testing::Values(
        ExpressionCase{"NvlNull", "select NVL(null, 5) from dual", 5},
        ExpressionCase{"NvlValue", "select NVL('a', 'b') from dual", "a"},
        ExpressionCase{"MaxOfEmptyTable", "select NVL(max(DpAtvpId), 0)+1 from DPATVP", 1},
        ExpressionCase{"CoalesceOnDb2Dummy",
                       "select COALESCE(max(DpAtvpId), 0)+1 from DPATVP, SYSIBM.SYSDUMMY1", 1},
        ExpressionCase{"ToDateMonthFirst",
                       "select TO_CHAR(TO_DATE('04/01/2014','mm/dd/yyyy'), 'dd.mm.yyyy') from dual",
                       "01.04.2014"},
        ExpressionCase{"ToDateConcatenated",
                       "select TO_CHAR(TO_DATE((31-mod(trunc(5*CAST(EXTRACT(Year FROM "
                       "TO_DATE('01.04.2014','dd.mm.yyyy')) as INTEGER)/4+4),7)) || '.03.' || "
                       "2014,'dd.mm.yyyy'), 'dd.mm.yyyy') from dual",
                       "30.03.2014"},
        ExpressionCase{"LastSundayOfOctober2014",
                       "select 31-mod(trunc(5*CAST(2014 as INTEGER)/4+1),7) from dual", 26},
        ExpressionCase{"ToCharYear",
                       "select TO_NUMBER(TO_CHAR(TO_DATE('12/31/2013','mm/dd/yyyy'), 'YYYY')) "
                       "from dual",
                       2013},
        ExpressionCase{"ToCharNumber", "select TO_CHAR(12.5) from dual", "12.5"},
        ExpressionCase{"ToNumberWhole", "select TO_NUMBER('0042') + 1 from dual", 43},
        ExpressionCase{"TruncTowardZero", "select TRUNC(-7.9) from dual", -7},
        ExpressionCase{"TruncDecimals", "select TRUNC(2.56789, 2) from dual", 2.56},
        ExpressionCase{"ModTakesTheDividendsSign", "select MOD(-7, 3) from dual", -1},
        ExpressionCase{"ModByZero", "select MOD(7, 0) from dual", 7},
        ExpressionCase{"ExtractYear",
                       "select EXTRACT(Year FROM TO_DATE('02.01.2015','dd.mm.yyyy')) from dual",
                       2015},
        ExpressionCase{"Db2Year", "select YEAR(TO_DATE('02.01.2015')) from dual", 2015},
        ExpressionCase{"CurrentDateIsTheRunsToday",
                       "select TO_CHAR((select CURRENT_DATE from dual), 'dd.mm.yyyy') from dual",
                       "01.04.2014"},
        ExpressionCase{"Db2CurrentDate",
                       "select TO_CHAR((SELECT Current DATE FROM SYSIBM.SYSDUMMY1), "
                       "'dd.mm.yyyy') from dual",
                       "01.04.2014"},
        ExpressionCase{"CastDateLiteral",
                       "select TO_CHAR(CAST('31.03.2014' as DATE), 'mm/dd/yyyy') from dual",
                       "03/31/2014"},
        ExpressionCase{"Varchar2Cast", "select CAST(12 AS VARCHAR2(5)) || 'x' from dual", "12x"},
        ExpressionCase{"UpperIsUnicode", "select upper('čšž abc') from dual", "ČŠŽ ABC"},
        ExpressionCase{"LikeIsCaseSensitive", "select count(*) from dual where 'SI123' like 'si%'",
                       0},
        ExpressionCase{"LikeMatches", "select count(*) from dual where 'SI123' like 'SI%'", 1}),
    [](const auto &info) { return std::string(info.param.name); });

struct RewriteCase {
    const char *name;
    const char *sql;
    const char *expected;
    friend void PrintTo(const RewriteCase &c, std::ostream *os) { *os << c.sql; }
};

class EmbeddedEngineRewrite : public ::testing::TestWithParam<RewriteCase> {};

// Only the statement's text is rewritten; a value written into it stays the value it was.
TEST_P(EmbeddedEngineRewrite, RewritesTheStatementButNoLiteral) {
    EXPECT_EQ(Engine::rewrite(GetParam().sql), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Literals, EmbeddedEngineRewrite,
    ::testing::Values(
        RewriteCase{"sequenceInALiteral", "select 'OR.NEXTVAL' as MIC, S.NEXTVAL from dual",
                    "select 'OR.NEXTVAL' as MIC, NEXTVAL('S') from dual"},
        RewriteCase{"doubledQuote", "select 'it''s CURRENT_DATE', Current DATE from dual",
                    "select 'it''s CURRENT_DATE', RAPO_TODAY() from dual"},
        RewriteCase{"db2Sequence", "values 'NEXTVAL FOR X', NEXTVAL FOR DPATVPPSL_SEQ",
                    "values 'NEXTVAL FOR X', NEXTVAL('DPATVPPSL_SEQ')"},
        RewriteCase{"dateLiteralIsRead",
                    "where D = CAST('28.03.2014' AS DATE) and M = 'SYSIBM.SYSDUMMY1'",
                    "where D = TO_DATE('28.03.2014') and M = 'SYSIBM.SYSDUMMY1'"},
        RewriteCase{"unterminated", "select X.NEXTVAL, 'Y.NEXTVAL",
                    "select NEXTVAL('X'), 'Y.NEXTVAL"},
        RewriteCase{"tableLock", " LOCK TABLE DPATVP IN EXCLUSIVE MODE ", "SELECT 1"},
        RewriteCase{"lockInAText", "select 'LOCK TABLE T IN SHARE MODE' from dual",
                    "select 'LOCK TABLE T IN SHARE MODE' from dual"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(EmbeddedEngineSequences, BothDialectsDrawFromTheSameSequence) {
    TestDatabase t;
    EXPECT_EQ(t.scalar("SELECT DPATVPPSL_SEQ.NEXTVAL AS NewId FROM dual").toInt(), 1);
    EXPECT_EQ(t.scalar("SELECT NEXTVAL FOR DPATVPPSL_SEQ FROM SYSIBM.SYSDUMMY1").toInt(), 2);
    EXPECT_EQ(t.scalar("SELECT ACT_IDACT_SEQ.NEXTVAL FROM dual").toInt(), 1);
    EXPECT_EQ(t.scalar("SELECT EMIRPOSEL_ID_SEQ.NEXTVAL FROM dual").toInt(), 1);
    EXPECT_EQ(t.scalar("SELECT EMIRPOROCILO_ID_SEQ.NEXTVAL FROM dual").toInt(), 1);
}

TEST(EmbeddedEngineSequences, UnknownSequenceFailsWithItsName) {
    TestDatabase t;
    try {
        t.scalar("SELECT NOSUCH_SEQ.NEXTVAL FROM dual");
        FAIL() << "an unknown sequence must fail";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains("NOSUCH_SEQ")) << e.message().toStdString();
    }
}

TEST(EmbeddedEngineDates, StoredAsJulianDaysSoDateArithmeticWorks) {
    TestDatabase t;
    Query insert(*t.db);
    insert.setText(
        "INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK, DANSPR) VALUES ('SI1', :Vek, :Danspr)");
    const QDateTime first(QDate(2014, 4, 1), QTime(10, 0, 0));
    insert.setInteger("Vek", 1);
    insert.setDateTime("Danspr", first);
    insert.exec();
    insert.setInteger("Vek", 2);
    insert.setDateTime("Danspr", first.addSecs(1));
    insert.exec();

    EXPECT_DOUBLE_EQ(t.scalar("select DANSPR + 0 from DPATVP_SFVP where SFVP_VEK = 1").toDouble(),
                     JulianDay::fromDateTime(first));
    // Moving a row back by a little makes the other one the newest.
    t.exec("update DPATVP_SFVP set DANSPR = DANSPR - 0.001 where SFVP_VEK = 2");
    EXPECT_EQ(t.scalar("select SFVP_VEK from DPATVP_SFVP where DANSPR = (select max(DANSPR) "
                       "from DPATVP_SFVP where ISIN = 'SI1')")
                  .toInt(),
              1);

    Query read(*t.db);
    read.setText("select DANSPR, max(DANSPR) as NAJNOVEJSI from DPATVP_SFVP where SFVP_VEK = 1");
    read.open();
    EXPECT_EQ(read.asDateTime("DANSPR"), first);
    EXPECT_EQ(read.asString("DANSPR"), "01.04.2014 10:00:00");
    EXPECT_EQ(read.asDateTime("NAJNOVEJSI"), first) << "an expression reads as a date-time too";
}

TEST(EmbeddedEngineDates, JulianDayRoundTripsToTheMillisecond) {
    for (const QDateTime &dt : {QDateTime(QDate(1899, 12, 30), QTime(0, 0)),
                                QDateTime(QDate(2014, 3, 30), QTime(23, 59, 59, 999)),
                                QDateTime(QDate(2026, 12, 9), QTime(6, 0, 0, 1))})
        EXPECT_EQ(JulianDay::toDateTime(JulianDay::fromDateTime(dt)), dt);
    EXPECT_DOUBLE_EQ(JulianDay::fromDate(QDate(2014, 4, 1)), 2456748.5);
}
} // namespace
