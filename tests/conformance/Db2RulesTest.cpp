#include "Db2Rules.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {
struct Db2Case {
    const char *name;
    const char *sql;
    const char *finding; // empty: DB2 takes the text
};

class Db2RulesCase : public ::testing::TestWithParam<Db2Case> {};

TEST_P(Db2RulesCase, FindsWhatDb2Refuses) {
    const QStringList findings = Db2Rules::check(QString::fromUtf8(GetParam().sql));
    EXPECT_EQ(findings.join(u'|'), QString::fromUtf8(GetParam().finding));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Db2RulesCase,
    ::testing::Values(
        // Sound texts.
        Db2Case{"comparedWithColumn",
                "SELECT A FROM T WHERE T.Dan >= :Od AND :Do >= T.Dan AND B <> :B", ""},
        Db2Case{"castTyped", "SELECT CAST(:X AS INTEGER) AS X FROM SYSIBM.SYSDUMMY1", ""},
        Db2Case{"inListAndBetween",
                "SELECT A FROM T WHERE A IN (:A, :B) AND D BETWEEN :Od AND :Do AND E LIKE :E", ""},
        Db2Case{"insertValues", "INSERT INTO T (A, B, C) VALUES (:A, :B, 'x')", ""},
        Db2Case{"updateSet", "UPDATE T SET A = :A, B = upper(B) WHERE C = :C", ""},
        Db2Case{"arithmeticWithColumn", "SELECT A FROM T WHERE A = :A + 1 AND B > C - :D", ""},
        Db2Case{"db2Sequence", "SELECT NEXTVAL FOR S AS Id FROM SYSIBM.SYSDUMMY1", ""},
        Db2Case{"markerLikeTextInLiteral", "SELECT 'NVL(:X) FROM dual' AS A FROM T", ""},
        Db2Case{"qualifiedColumnNamedLikeOracle", "SELECT T.ROWID_X, U.NVL FROM T, U", ""},
        Db2Case{"notIn", "DELETE FROM T WHERE A NOT IN (:A) AND :B NOT LIKE B", ""},
        // Oracle forms.
        Db2Case{"dual", "SELECT 1 AS A FROM dual", "Oracle-only name DUAL"},
        Db2Case{"nvl", "SELECT NVL(max(A), 0) AS A FROM T", "Oracle-only name NVL"},
        Db2Case{"oracleSequence", "SELECT S.NEXTVAL AS NewId FROM SYSIBM.SYSDUMMY1",
                "Oracle sequence form S.NEXTVAL (DB2: NEXT VALUE FOR S)"},
        Db2Case{"toDateAndSysdate", "SELECT A FROM T WHERE D < TO_DATE('01.01.2014') - SYSDATE",
                "Oracle-only name TO_DATE|Oracle-only name SYSDATE"},
        Db2Case{"outerJoin", "SELECT A FROM T, U WHERE T.A = U.A (+)", "Oracle outer join (+)"},
        // Markers DB2 cannot type.
        Db2Case{"functionArgument", "SELECT A FROM T WHERE upper(:XmlFile) = upper(F)",
                "untyped marker :XmlFile is an argument of UPPER()"},
        Db2Case{"isNull", "SELECT A FROM T WHERE ( :ISIN = 'N' OR :ISIN IS NULL )",
                "untyped marker :ISIN is the operand of IS [NOT] NULL"},
        Db2Case{"selectList", "SELECT :Dan AS Dan, A FROM T",
                "untyped marker :Dan is in a select list"},
        Db2Case{"insertSelectList", "INSERT INTO T (A, B) SELECT X, :B FROM U",
                "untyped marker :B is in a select list"},
        Db2Case{"twoMarkers", "SELECT A FROM T WHERE :A = :B",
                "untyped marker :A is compared with another marker|"
                "untyped marker :B is compared with another marker"},
        Db2Case{"onlyMarkersArithmetic", "SELECT A FROM T WHERE A = (:A + :B)",
                "untyped marker :A is in arithmetic with only markers|"
                "untyped marker :B is in arithmetic with only markers"},
        Db2Case{"coalesceArgument", "UPDATE T SET A = COALESCE(:A, A)",
                "untyped marker :A is an argument of COALESCE()"}),
    [](const auto &info) { return std::string(info.param.name); });
} // namespace
