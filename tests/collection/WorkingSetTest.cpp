#include "CollectionFixture.h"
#include "RapoError.h"

#include <gtest/gtest.h>

namespace {
struct OffsetCase {
    const char *name;
    QVariant timeZone;
    QDate day;
    bool fixed;
    const char *expected;
    friend void PrintTo(const OffsetCase &c, std::ostream *os) { *os << c.name; }
};

class Offsets : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(Offsets, FollowTheVenuesZoneAndSummerTime) {
    const OffsetCase &p = GetParam();
    Configuration c;
    if (p.fixed) {
        c.fiksniTimeZoneZaTrg = "30";
        c.fiksniTimeZoneTrgi = {"30"};
    }
    CollectionFixture f(c);
    f.host.venue(30, "XTST", p.timeZone, "2", "A");
    f.host.instrument(100, "SI0031102120", 30);
    f.host.trade({1, p.day, 100, 30});
    f.run(p.day);
    EXPECT_EQ(f.column("Offset"), QStringList{p.expected});
}

INSTANTIATE_TEST_SUITE_P(
    WorkingSet, Offsets,
    ::testing::Values(
        OffsetCase{"NoZoneWinter", QVariant(), QDate(2014, 1, 15), false, "+01"},
        OffsetCase{"NoZoneSummer", QVariant(), QDate(2014, 7, 15), false, "+02"},
        OffsetCase{"EmptyZoneSummer", QString(""), QDate(2014, 7, 15), false, "+02"},
        OffsetCase{"MinusFiveWinter", "-05", QDate(2014, 12, 1), false, "-05"},
        OffsetCase{"MinusFiveSummer", "-05", QDate(2014, 7, 1), false, "-04"},
        OffsetCase{"PlusNineWinter", "+09", QDate(2014, 2, 1), false, "+09"},
        OffsetCase{"PlusNineSummer", "+09", QDate(2014, 5, 1), false, "+10"},
        OffsetCase{"LastSundayOfMarchIsWinter", "+01", QDate(2014, 3, 30), false, "+01"},
        OffsetCase{"DayAfterIsSummer", "+01", QDate(2014, 3, 31), false, "+02"},
        OffsetCase{"LastSundayOfOctoberIsWinter", "+01", QDate(2014, 10, 26), false, "+01"},
        OffsetCase{"DayBeforeIsSummer", "+01", QDate(2014, 10, 25), false, "+02"},
        OffsetCase{"LastSundayOfMarch2015", "+01", QDate(2015, 3, 29), false, "+01"},
        OffsetCase{"FixedVenueKeepsItsZone", "+09", QDate(2014, 7, 1), true, "+09"},
        OffsetCase{"FixedVenueWithoutZone", QVariant(), QDate(2014, 7, 1), true, "+01"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(WorkingSet, TheOppositeTradesQuantityThroughEitherLink) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    // 1 and 2 link forwards (positive); 3 finds 4 through 4's own link to -3.
    f.host.trade({1, QDate(2014, 4, 1), 100, 8, 1, "N", "K", 10, 12.5, 2});
    f.host.trade({2, QDate(2014, 4, 1), 100, 8, 3, "P", "L", 25, 12.5, {}});
    f.host.trade({3, QDate(2014, 4, 1), 100, 8, 2, "N", "K", 7, 12.5, -30});
    f.host.trade({4, QDate(2014, 4, 1), 100, 8, 3, "P", "L", 70, 12.5, 30});
    // A link of 0, as the host writes "none", joins nothing.
    f.host.trade({5, QDate(2014, 4, 1), 100, 8, 1, "N", "K", 11, 12.5, 0});
    f.host.trade({6, QDate(2014, 4, 1), 100, 8, 1, "N", "K", 12, 12.5, 0});
    f.run(QDate(2014, 4, 1));
    EXPECT_EQ(f.column("IdPsl").size(), 6);
    Query &q = f.workingSet().qDPATVPPSL;
    QMap<QString, QString> lots;
    QMap<QString, QString> opposite;
    for (q.first(); !q.eof(); q.next()) {
        lots[q.asString("IdPsl")] = q.asString("Lot");
        opposite[q.asString("IdPsl")] = q.asString("NS_SFDJV");
    }
    EXPECT_EQ(lots["1"], "25");
    EXPECT_EQ(opposite["1"], "L");
    EXPECT_EQ(lots["2"], "25") << "no link: its own quantity";
    EXPECT_EQ(lots["3"], "70");
    EXPECT_EQ(opposite["3"], "L");
    EXPECT_EQ(lots["5"], "11");
    EXPECT_EQ(lots["6"], "12");
}

TEST(WorkingSet, EachTradeJoinsOneRegisterEntry) {
    CollectionFixture f;
    f.twoEntriesForOneIsin();
    f.host.trade({1, QDate(2014, 4, 1), 100});
    f.run(QDate(2014, 4, 1));
    EXPECT_EQ(f.column("IdPsl"), QStringList{"1"});
    EXPECT_EQ(f.column("IntIndInstr"), QStringList{"100"});
    EXPECT_TRUE(f.waiter.waits.empty()) << "the register was up to date";
}

TEST(WorkingSet, TransactionReferencesTakeTheirPrefixAndZeros) {
    EXPECT_EQ(WorkingSet::transactionReference("12345", false, "VK", "IM"), "VK0000012345");
    EXPECT_EQ(WorkingSet::transactionReference("12345", false, "", "IM"), "12345");
    EXPECT_EQ(WorkingSet::transactionReference("123456789012", true, "VK", "IM"), "123456789012");
    EXPECT_EQ(WorkingSet::transactionReference("42", true, "IM", "IM"), "IM0000000042");
    EXPECT_EQ(WorkingSet::transactionReference("1234567890123", false, "VK", ""),
              "VK1234567890123");
}

TEST(WorkingSet, APrefixedReferenceIsCheckedWhenLoading) {
    Configuration c;
    c.posliVekPrefiks = "77";
    CollectionFixture f(c);
    f.host.instrument(100, "SI0031102120");
    f.host.trade({12345, QDate(2014, 4, 1)});
    f.run(QDate(2014, 4, 1));
    EXPECT_EQ(f.column("RefStTransaC"), QStringList{"770000012345"});

    Configuration letters;
    letters.posliVekPrefiks = "VK";
    CollectionFixture g(letters);
    g.host.instrument(100, "SI0031102120");
    g.host.trade({12345, QDate(2014, 4, 1)});
    EXPECT_THROW(g.run(QDate(2014, 4, 1)), RapoError) << "a reference must be 12 digits";
}

TEST(WorkingSet, TheSegmentMicReplacesTheVenuesForSegmentC) {
    Configuration c;
    c.micLjseC = "XLJM";
    CollectionFixture f(c);
    f.host.instrument(100, "SI0031102120", 8, "C");
    f.host.instrument(200, "SI0031103805", 8, "A");
    f.host.trade({1, QDate(2014, 4, 1), 100});
    f.host.trade({2, QDate(2014, 4, 1), 200});
    f.run(QDate(2014, 4, 1));
    EXPECT_EQ(f.column("MIC"), (QStringList{"XLJM", "XLJU"}));
}

TEST(WorkingSet, ImportedCancellationsFollowTheImportedTrades) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, QDate(2014, 4, 1)});
    f.host.import(1, QDate(2014, 4, 1), 100, "si0031102120", 900001, "C");
    f.host.import(2, QDate(2014, 4, 1), 100, "si0031102120", 900002);
    f.run(QDate(2014, 4, 1));
    EXPECT_EQ(f.column("VRSTA"), (QStringList{"Q", "I", "I"}));
    EXPECT_EQ(f.column("ISSTN"), (QStringList{"N", "N", "D"}));
    EXPECT_EQ(f.column("ISIN"), (QStringList{"SI0031102120", "SI0031102120", "SI0031102120"}));
}

TEST(WorkingSet, InstrumentsListOnlyThoseOfNonCancelledTrades) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.instrument(200, "SI0031103805");
    f.host.trade({1, QDate(2014, 4, 1), 100});
    f.run(QDate(2014, 4, 1));
    Query &q = f.workingSet().qSifrantFinInstr;
    ASSERT_TRUE(q.active());
    EXPECT_EQ(q.recordCount(), 1);
    q.first();
    EXPECT_EQ(q.asString("ISIN"), "SI0031102120");
    EXPECT_EQ(q.asString("IMEINSTRUMENTA"), "Vrednostni papir 100");
    EXPECT_EQ(q.asString("ISOKODA"), "SI");
    EXPECT_EQ(q.asString("OZNAKATIPAINSTR"), "CFI");
    EXPECT_EQ(q.asString("VALUTA"), "EUR");
}
} // namespace
