#include "CollectionDeletion.h"
#include "CollectionFixture.h"

#include <gtest/gtest.h>

namespace {
TEST(CollectionDeletion, DiscardsEveryUnreportedCollectionAndTheUnsentReportsOfThePeriod) {
    CollectionFixture f;
    f.host.report(1, QDate(2014, 4, 1), 1, QDateTime(QDate(2014, 4, 1), QTime(18, 0))); // sent
    f.host.assignment(1, 10, "N", 1);
    f.host.assignment(2, 11, "N", 2);                   // pending, another period
    f.host.report(3, QDate(2014, 4, 2), 2, QVariant()); // unsent, in the period
    f.host.assignment(3, 12, "N", 3);
    f.host.report(4, QDate(2014, 5, 2), 3, QVariant()); // unsent, outside the period
    f.host.assignment(4, 13, "N", 4);
    f.host.report(1, QDate(2014, 4, 2), 4, QVariant(), 3); // the unsent regeneration of 1
    f.host.import(1, QDate(2014, 4, 1), 100, "SI0031102120", 900001, "", 2);
    f.host.import(2, QDate(2014, 4, 1), 100, "SI0031102120", 900002, "", 3);

    CollectionDeletion::deletePeriod(f.session(), QDate(2014, 4, 1), QDate(2014, 4, 30));

    EXPECT_EQ(f.t.scalar("select group_concat(DPATVPID || '/' || ZAPST) from (select * from "
                         "DPATVP order by DPATVPID, ZAPST)")
                  .toString(),
              "1/1,4/3");
    EXPECT_EQ(f.t.scalar("select group_concat(IDPSL) from (select IDPSL from DPATVPPSL order by "
                         "IDPSL)")
                  .toString(),
              "13")
        << "the regeneration's number loses its assignments, the sent report too";
    EXPECT_TRUE(f.t.scalar("select DPATVPID from DPATVPIMP where IDIMP=1").isNull());
    EXPECT_EQ(f.t.scalar("select DPATVPID from DPATVPIMP where IDIMP=2").toInt(), 3)
        << "freed only by the next deletion";
    EXPECT_EQ(f.t.scalar("select count(*) from ACT where Tbl='DPATVP' and SfAct='-'").toInt(), 2);
}

TEST(CollectionDeletion, NothingToDeleteCommitsWithoutChanges) {
    CollectionFixture f;
    CollectionDeletion::deletePeriod(f.session(), QDate(2014, 4, 1), QDate(2014, 4, 1));
    EXPECT_EQ(f.t.scalar("select count(*) from ACT").toInt(), 0);
    EXPECT_FALSE(f.t.db->inTransaction());
}
} // namespace
