#include "CollectionDeletion.h"
#include "CollectionFixture.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
TEST(CollectionDeletion, TheUnsentReportsGoWithTheirFilesAndOnlyTheirOwnAssignments) {
    const QString question =
        "Brisanje nabora odstrani:\n"
        "\u2022 neposlana poročila od 01.04.2014 do 30.04.2014 in njihove datoteke: "
        "TRDAT01_1b.xml (0 poslov), TRDAT01_3.xml (1 poslov);\n"
        "\u2022 nabrane, še neporočane posle vseh obdobij.\n"
        "Za ponovni nabor se sprosti 2 poslov in 1 uvoženih poslov.\nNadaljujem?";
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        CollectionFixture f;
        f.host.report(1, QDate(2014, 4, 1), 1, QDateTime(QDate(2014, 4, 1), QTime(18, 0)));
        f.host.assignment(1, 10, "N", 1);
        f.host.assignment(2, 11, "N", 2);                   // pending, another period
        f.host.report(3, QDate(2014, 4, 2), 2, QVariant()); // unsent, in the period
        f.host.assignment(3, 12, "N", 3);
        f.host.report(4, QDate(2014, 5, 2), 3, QVariant()); // unsent, outside the period
        f.host.assignment(4, 13, "N", 4);
        f.host.report(1, QDate(2014, 4, 2), 4, QVariant(), 3); // the unsent regeneration of 1
        f.host.exec("update DPATVP set XML_FILE = 'TRDAT01_1b.xml' where ZAPST = 4");
        f.host.import(1, QDate(2014, 4, 1), 100, "SI0031102120", 900001, "", 2);
        f.host.import(2, QDate(2014, 4, 1), 100, "SI0031102120", 900002, "", 3);
        for (const char *name : {"TRDAT01_1b.xml", "TRDAT01_3.xml", "TRDAT01_4.xml"}) {
            QFile file(f.t.dir.file(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        f.prompter.answers = {ok};

        EXPECT_EQ(CollectionDeletion::deletePeriodAsked(f.session(), QDate(2014, 4, 1),
                                                        QDate(2014, 4, 30)),
                  ok);

        EXPECT_EQ(f.prompter.texts, QStringList{question});
        EXPECT_EQ(f.t.scalar("select group_concat(DPATVPID || '/' || ZAPST) from (select * from "
                             "DPATVP order by DPATVPID, ZAPST)")
                      .toString(),
                  ok ? "1/1,4/3" : "1/1,1/4,3/2,4/3");
        EXPECT_EQ(f.t.scalar("select group_concat(IDPSL) from (select IDPSL from DPATVPPSL order "
                             "by IDPSL)")
                      .toString(),
                  ok ? "10,13" : "10,11,12,13")
            << "the sent report keeps its assignments";
        EXPECT_EQ(f.t.scalar("select group_concat(ifnull(DPATVPID, '-')) from (select * from "
                             "DPATVPIMP order by IDIMP)")
                      .toString(),
                  ok ? "-,3" : "2,3")
            << "an import of a deleted report is freed only by the next deletion";
        EXPECT_EQ(QFile::exists(f.t.dir.file("TRDAT01_1b.xml")), !ok);
        EXPECT_EQ(QFile::exists(f.t.dir.file("TRDAT01_3.xml")), !ok);
        EXPECT_TRUE(QFile::exists(f.t.dir.file("TRDAT01_4.xml")));
        EXPECT_EQ(f.t.scalar("select count(*) from ACT where Tbl='DPATVP' and SfAct='-'").toInt(),
                  ok ? 2 : 0);
    }
}

TEST(CollectionDeletion, NothingToDeleteCommitsWithoutChanges) {
    CollectionFixture f;
    CollectionDeletion::deletePeriod(f.session(), QDate(2014, 4, 1), QDate(2014, 4, 1));
    EXPECT_EQ(f.t.scalar("select count(*) from ACT").toInt(), 0);
    EXPECT_FALSE(f.t.db->inTransaction());
}

// The host is across a network: the deletion sends as many statements for 50 pending trades
// and imports as for 5.
TEST(CollectionDeletion, SendsTheSameStatementsHoweverManyTradesItFrees) {
    qint64 sent[2] = {};
    for (const int n : {5, 50}) {
        CollectionFixture f;
        f.host.report(1, QDate(2014, 4, 1), 1, QDateTime(QDate(2014, 4, 1), QTime(18, 0)));
        f.host.assignment(1, 1, "N", 1);
        f.host.import(1, QDate(2014, 4, 1), 100, "SI0031102120", 900001, "", 1);
        for (int i = 0; i < n; ++i) {
            f.host.assignment(2, 10 + i, "N", 10 + i);
            f.host.import(10 + i, QDate(2014, 4, 1), 100, "SI0031102120", 900010 + i, "", 2);
        }
        const qint64 before = f.t.db->statementLog().traffic().statements;
        CollectionDeletion::deletePeriod(f.session(), QDate(2014, 4, 1), QDate(2014, 4, 1));
        sent[n == 50] = f.t.db->statementLog().traffic().statements - before;
        EXPECT_EQ(f.t.scalar("select group_concat(IDPSL) from DPATVPPSL").toString(), "1");
        EXPECT_EQ(f.t.scalar("select count(*) from DPATVPIMP where DPATVPID is null").toInt(), n);
        EXPECT_EQ(f.t.scalar("select count(*) from DPATVPIMP where DPATVPID = 1").toInt(), 1);
    }
    EXPECT_EQ(sent[0], sent[1]);
}
} // namespace
