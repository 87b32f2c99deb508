#include "DbError.h"
#include "Schema.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

namespace {
struct UniqueCase {
    const char *name;
    const char *first;
    const char *second;
    bool refused;
    friend void PrintTo(const UniqueCase &c, std::ostream *os) { *os << c.name; }
};

class EmbeddedUniqueConstraint : public ::testing::TestWithParam<UniqueCase> {};

TEST_P(EmbeddedUniqueConstraint, RefusesTheSecondRowOfAKeyThatMustNotRepeat) {
    TestDatabase t;
    t.exec(GetParam().first);
    if (GetParam().refused) {
        EXPECT_THROW(t.exec(GetParam().second), DbError);
    } else {
        EXPECT_NO_THROW(t.exec(GetParam().second));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Schema, EmbeddedUniqueConstraint,
    ::testing::Values(
        UniqueCase{"reportFileRepeated",
                   "INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST, XML_FILE) "
                   "VALUES (1, 2456748.5, 1, 'TRDAT01_5842735000_0001_14.xml')",
                   "INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST, XML_FILE) "
                   "VALUES (2, 2456749.5, 1, 'TRDAT01_5842735000_0001_14.xml')",
                   true},
        UniqueCase{"reportsWithoutFile",
                   "INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST) VALUES (1, 2456748.5, 1)",
                   "INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST) VALUES (2, 2456749.5, 1)",
                   false},
        UniqueCase{"tradeInTwoCollections", "INSERT INTO DPATVPPSL VALUES (1, 100, 'N', 11)",
                   "INSERT INTO DPATVPPSL VALUES (2, 100, 'N', 12)", true},
        UniqueCase{"tradeAndItsCancellation", "INSERT INTO DPATVPPSL VALUES (1, 100, 'N', 11)",
                   "INSERT INTO DPATVPPSL VALUES (2, 100, 'D', 11)", false},
        UniqueCase{"emirReportNumberRepeated",
                   "INSERT INTO EMIRPOROCILO (EMIRPorociloId, ZapSt) VALUES (1, 7)",
                   "INSERT INTO EMIRPOROCILO (EMIRPorociloId, ZapSt) VALUES (2, 7)", true}),
    [](const auto &info) { return std::string(info.param.name); });

bool hasIndex(TestDatabase &t, const QString &name) {
    return t.scalar("select count(*) from sqlite_master where type = 'index' and name = '" + name +
                    "'")
               .toInt() == 1;
}

// A database made before the constraints existed gains them when it is opened; one whose rows
// already break a constraint stays as it is and still opens.
TEST(EmbeddedSchema, AnEarlierDatabaseGainsTheUniqueConstraintsItsRowsAllow) {
    TestDatabase t;
    t.exec("DROP INDEX DPATVP_XML_FILE");
    t.exec("DROP INDEX DPATVPPSL_IDPSL_ISSTN");
    t.exec("INSERT INTO DPATVPPSL VALUES (1, 100, 'N', 11)");
    t.exec("INSERT INTO DPATVPPSL VALUES (2, 100, 'N', 12)");
    t.db->close();

    EXPECT_EQ(t.scalar("select count(*) from DPATVPPSL").toInt(), 2) << "the database opens";
    EXPECT_FALSE(hasIndex(t, "DPATVPPSL_IDPSL_ISSTN")) << "its rows collide";
    for (const Schema::Index &index : Schema::indexes()) {
        if (index.unique && index.name != "DPATVPPSL_IDPSL_ISSTN")
            EXPECT_TRUE(hasIndex(t, index.name)) << index.name.toStdString();
    }
    t.exec("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST, XML_FILE) VALUES (1, 2456748.5, 1, "
           "'A.xml')");
    EXPECT_THROW(t.exec("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST, XML_FILE) VALUES (2, "
                        "2456748.5, 1, 'A.xml')"),
                 DbError);
}
} // namespace
