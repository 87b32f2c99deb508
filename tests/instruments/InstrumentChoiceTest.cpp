#include "InstrumentChoice.h"
#include "InstrumentsFixture.h"
#include "RapoError.h"

#include <gtest/gtest.h>

namespace {
const QDate periodEnd(2014, 4, 2);
const QString isinX = "SI0031128356";

TEST(InstrumentChoice, ChoosingTheReportedIdentifierWritesNothing) {
    for (const QString text : {"100-VP100", "100-", " 100 -VP100", "", "   "}) {
        SCOPED_TRACE(text.toStdString());
        InstrumentsFixture f;
        f.host.instrument(100, isinX);
        f.host.instrument(101, isinX);
        f.entry({.isin = isinX, .hostInstrument = 100, .reported = 100});
        const auto before = f.t.scalar("select DANSPR from DPATVP_SFVP");

        const auto result =
            InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 100"), text, periodEnd);

        EXPECT_EQ(result.outcome, InstrumentChoice::Outcome::Unchanged);
        EXPECT_EQ(f.rows(isinX), QStringList{"100/100//"});
        EXPECT_EQ(f.t.scalar("select DANSPR from DPATVP_SFVP"), before);
        EXPECT_EQ(f.count("ACT"), 0);
        EXPECT_TRUE(f.waiter.waits.empty());
    }
}

TEST(InstrumentChoice, AChangeOfChoiceAddsAMarkedRowAndKeepsTheOldOne) {
    InstrumentsFixture f;
    f.host.instrument(100, isinX);
    f.host.instrument(101, isinX);
    f.entry({.isin = isinX,
             .hostInstrument = 100,
             .reported = 100,
             .hostChange = QDateTime(QDate(2013, 5, 6), QTime(0, 0))});

    const auto result =
        InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 100"), "101-VP101", periodEnd);

    EXPECT_EQ(result.outcome, InstrumentChoice::Outcome::ChangeOfChoice);
    EXPECT_EQ(result.chosen, 101);
    EXPECT_EQ(f.rows(isinX), (QStringList{"100/100//", "101/101/100/D"}));
    Query q(*f.t.db);
    q.setText("select * from DPATVP_SFVP where SFVP_VEK = 101");
    q.open();
    EXPECT_EQ(q.asString("ISIN"), isinX);
    EXPECT_EQ(q.asDateTime("DANSPR"), f.clock.now());
    EXPECT_EQ(q.asString("USRSPR"), "MARKO");
    EXPECT_EQ(q.asString("DANSPR_SFVP"), "06.05.2013") << "kept from the listed row";
    EXPECT_EQ(q.asString("AII_MIC"), "xlju");
    EXPECT_EQ(q.asString("AII_PRODUCT"), "VP101");
    EXPECT_EQ(q.asString("AII_CFI"), "ESVUFR");
    EXPECT_TRUE(q.isNull("AII_EXPIRY"));
    EXPECT_EQ(q.asString("IZD"), "Izdajatelj d.d.");
    EXPECT_EQ(q.asString("DRZ_IZD"), "SI");
    EXPECT_EQ(q.asString("VLT"), "EUR");
    EXPECT_EQ(q.asFloat("GLVNMN"), 1.0);
    EXPECT_EQ(q.asFloat("LOTEMS"), 1000000.0);
    EXPECT_EQ(q.asString("INSTRUMENTNAME"), "Vrednostni papir 101");

    EXPECT_EQ(f.count("ACT"), 1);
    EXPECT_EQ(f.t.scalar("select Tbl || ' ' || SfAct || ' ' || Usr from ACT").toString(),
              "DPATVP_SFVP + MARKO");
    EXPECT_TRUE(f.t.scalar("select Cnt from ACT")
                    .toString()
                    .startsWith(isinX + "#|ISIN#|101#|SFVP_POROCANJE#|100#|SFVP_OLD#|xlju#|"
                                        "AII_MIC#|VP101#|AII_PRODUCT#|"));
}

// A first choice on an open row takes, as the earlier identifier, the one the ISIN's newest
// decided row reports.
TEST(InstrumentChoice, AFirstChoiceRemembersWhatTheNewestDecidedRowReports) {
    struct Case {
        bool decided;
        QString chosen;
        QString openRowAfter; // SFVP_VEK/SFVP_POROCANJE/SFVP_OLD/XML
    };
    const Case cases[] = {
        {true, "124-VP124", "124/124/123/D"}, // the row's own instrument
        {true, "125-VP125", "124/125/123/D"}, // another instrument
        {true, "123-VP123", "124/123//D"},    // the instrument already reported
        {false, "124-VP124", "124/124//"},    // nothing reported before, its own instrument
        {false, "125-VP125", "124/125//D"},   // nothing reported before, another instrument
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.chosen + (c.decided ? " decided" : " first")).toStdString());
        InstrumentsFixture f;
        for (int sfvp : {122, 123, 124, 125})
            f.host.instrument(sfvp, isinX);
        if (c.decided) {
            f.entry({.isin = isinX,
                     .hostInstrument = 122,
                     .reported = 122,
                     .changed = QDateTime(QDate(2014, 3, 1), QTime(8, 0))});
            f.entry({.isin = isinX,
                     .hostInstrument = 123,
                     .reported = 123,
                     .changed = QDateTime(QDate(2014, 3, 2), QTime(8, 0))});
        }
        f.entry({.isin = isinX, .hostInstrument = 124});

        const auto result =
            InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 124"), c.chosen, periodEnd);

        EXPECT_EQ(result.outcome, InstrumentChoice::Outcome::FirstChoice);
        EXPECT_EQ(f.rows(isinX).last(), c.openRowAfter);
        EXPECT_EQ(f.rows(isinX).size(), c.decided ? 3 : 1) << "no row is added";
        EXPECT_EQ(f.t.scalar("select SfAct from ACT").toString(), "^");
        EXPECT_TRUE(f.waiter.waits.empty());
    }
}

// The user chooses on an open row the identifier whose change the newest decided row still has
// to announce.
TEST(InstrumentChoice, ChoosingAPendingAnnouncementAgain) {
    struct Case {
        int decidedFor; // SFVP_VEK of the decided row, which reports 200 instead of 150
        QString openRowAfter;
        QString decidedRowAfter;
        bool decidedRowMovedBack;
    };
    const Case cases[] = {
        // Made for the chosen instrument itself: the decided row keeps the announcement.
        {200, "201/200/150/", "200/200/150/D", false},
        // Made for another host instrument: the announcement moves to the open row.
        {199, "201/200/150/D", "199/200/150/", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.decidedFor);
        InstrumentsFixture f;
        for (int sfvp : {150, 199, 200, 201})
            f.host.instrument(sfvp, isinX);
        const QDateTime decidedAt(QDate(2014, 3, 20), QTime(15, 0));
        f.entry({.isin = isinX,
                 .hostInstrument = c.decidedFor,
                 .reported = 200,
                 .earlier = 150,
                 .xml = "D",
                 .changed = decidedAt});
        f.entry({.isin = isinX, .hostInstrument = 201, .changed = decidedAt.addSecs(-60)});
        // A row of another ISIN made for the same host instrument is not touched.
        f.entry({.isin = "SI0000000999",
                 .hostInstrument = c.decidedFor,
                 .reported = c.decidedFor,
                 .earlier = 1,
                 .xml = "D",
                 .changed = decidedAt});

        const auto result = InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 201"),
                                                    "200-VP200", periodEnd);

        EXPECT_EQ(result.announcementMoved, c.decidedRowMovedBack);
        Query q(*f.t.db);
        q.setText("select * from DPATVP_SFVP where ISIN = :ISIN and SFVP_VEK = :VEK");
        const auto row = [&](const QString &isin, int vek) {
            q.setString("ISIN", isin);
            q.setInteger("VEK", vek);
            q.open();
            return q.asString("SFVP_VEK") + '/' + q.asString("SFVP_POROCANJE") + '/' +
                   q.asString("SFVP_OLD") + '/' + q.asString("XML");
        };
        EXPECT_EQ(row(isinX, 201), c.openRowAfter);
        EXPECT_EQ(q.asDateTime("DANSPR"), QDateTime(QDate(2014, 4, 2), QTime(9, 0, 0)))
            << "now: later than every entry of the ISIN";
        EXPECT_EQ(row(isinX, c.decidedFor), c.decidedRowAfter);
        const double decidedDay =
            f.t.scalar("select DANSPR * 1.0 from DPATVP_SFVP where ISIN = '" + isinX +
                       "' and SFVP_VEK = " + QString::number(c.decidedFor))
                .toDouble();
        const double expectedDay =
            f.t.scalar("select julianday('2014-03-20 15:00:00')").toDouble() -
            (c.decidedRowMovedBack ? 0.001 : 0.0);
        EXPECT_NEAR(decidedDay, expectedDay, 1e-7);
        EXPECT_EQ(row("SI0000000999", c.decidedFor),
                  QString::number(c.decidedFor) + '/' + QString::number(c.decidedFor) + "/1/D");
        EXPECT_TRUE(f.waiter.waits.empty());
    }
}

// Instruments without an ISIN share the mark "N"; their rows have no common history.
TEST(InstrumentChoice, AnIsinNNeverConsultsTheEarlierRows) {
    struct Case {
        QString isin;
        QString openRowAfter;
    };
    const Case cases[] = {
        {"N", "105/105//"}, {"SI0000000105", "105/105/106/D"}, // the same rows under a real ISIN
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.isin.toStdString());
        InstrumentsFixture f;
        f.host.instrument(105, c.isin);
        f.host.instrument(106, c.isin);
        f.entry({.isin = c.isin,
                 .hostInstrument = 106,
                 .reported = 106,
                 .xml = "D",
                 .changed = QDateTime(QDate(2014, 4, 1), QTime(14, 0))});
        f.entry({.isin = c.isin,
                 .hostInstrument = 105,
                 .changed = QDateTime(QDate(2014, 4, 1), QTime(10, 0))});

        InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 105"), "105-VP105", periodEnd);

        EXPECT_EQ(f.rows(c.isin).last(), c.openRowAfter);
        EXPECT_TRUE(f.waiter.waits.empty());
    }
}

// Rows of one ISIN and host instrument can repeat (a change of choice adds one); a first choice
// completes the open row only.
TEST(InstrumentChoice, AFirstChoiceChangesOnlyTheOpenRow) {
    InstrumentsFixture f;
    f.host.instrument(1, isinX);
    f.host.instrument(2, isinX);
    f.entry(
        {.isin = isinX, .hostInstrument = 2, .changed = QDateTime(QDate(2014, 3, 1), QTime(9, 0))});
    f.entry({.isin = isinX,
             .hostInstrument = 1,
             .reported = 1,
             .changed = QDateTime(QDate(2014, 3, 2), QTime(9, 0))});
    f.entry({.isin = isinX,
             .hostInstrument = 2,
             .reported = 2,
             .earlier = 1,
             .xml = "D",
             .changed = QDateTime(QDate(2014, 3, 3), QTime(9, 0))});

    InstrumentChoice::apply(f.session(), f.listed("SFVP_POROCANJE IS NULL"), "1-VP1", periodEnd);

    EXPECT_EQ(f.rows(isinX), (QStringList{"1/1//", "2/2/1/D", "2/1/2/D"}));
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVP_SFVP where AII_PRODUCT = 'VP1'").toInt(), 1);
}

TEST(InstrumentChoice, AListTextWithoutIdentifierAndDashIsRefused) {
    for (const QString text : {"VP100", "abc-VP100", "100", "-5-X", "12a-VP", "1.5-X", "-"}) {
        SCOPED_TRACE(text.toStdString());
        InstrumentsFixture f;
        f.host.instrument(100, isinX);
        f.entry({.isin = isinX, .hostInstrument = 100});
        try {
            InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 100"), text, periodEnd);
            ADD_FAILURE() << "accepted";
        } catch (const RapoError &e) {
            EXPECT_TRUE(e.message().contains('"' + text + '"')) << e.message().toStdString();
        }
        EXPECT_EQ(f.rows(isinX), QStringList{"100///"});
        EXPECT_EQ(f.count("ACT"), 0);
    }
}

TEST(InstrumentChoice, TheIdentifierIsTheWholeNumberBeforeTheFirstDash) {
    const QList<QPair<QString, qint64>> cases = {
        {"123-VP123", 123}, {" 124 -X", 124}, {"125-", 125}, {"126-A-B", 126}};
    for (const auto &[text, identifier] : cases)
        EXPECT_EQ(InstrumentChoice::chosenIdentifier(text), identifier) << text.toStdString();
}

// Register dates are date-times on Oracle and dates on DB2; the chosen instrument's maturity
// replaces whatever the row held.
TEST(InstrumentChoice, RegisterDatesFollowTheDialect) {
    struct Case {
        bool isDb2;
        QDateTime rowHostChange;
        QVariant maturity;
        QString hostChange; // DANSPR_SFVP written
        QString expiry;     // AII_EXPIRY written
    };
    const QDateTime march(QDate(2014, 3, 1), QTime(10, 0));
    const QVariant maturity = QDateTime(QDate(2019, 5, 15), QTime(12, 0));
    const Case cases[] = {
        {false, {}, maturity, "2014-04-02 09:00:30", "2019-05-15 12:00:00"},
        {true, {}, maturity, "2014-04-02 00:00:00", "2019-05-15 00:00:00"},
        {false, march, {}, "2014-03-01 10:00:00", ""},
        {true, march, {}, "2014-03-01 00:00:00", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.isDb2 ? "DB2" : "Oracle");
        InstrumentsFixture f(c.isDb2);
        f.clock.set(QDateTime(QDate(2014, 4, 2), QTime(9, 0, 30)));
        f.host.instrument(100, isinX, 8, "A", c.maturity);
        f.entry({.isin = isinX,
                 .hostInstrument = 100,
                 .hostChange = c.rowHostChange,
                 .expiry = QDateTime(QDate(2020, 1, 1), QTime(0, 0))});

        InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 100"), "100-VP100", periodEnd);

        EXPECT_EQ(f.t.scalar("select datetime(DANSPR_SFVP) from DPATVP_SFVP").toString(),
                  c.hostChange);
        EXPECT_EQ(f.t.scalar("select datetime(AII_EXPIRY) from DPATVP_SFVP").toString(), c.expiry);
        EXPECT_EQ(f.t.scalar("select datetime(DANSPR) from DPATVP_SFVP").toString(),
                  "2014-04-02 09:00:30");
    }
}

// The instrument's market is that of its listing still open after the collection period.
TEST(InstrumentChoice, TheMarketIsTheListingOpenAfterThePeriod) {
    const QList<QPair<QDate, QString>> cases = {{QDate(2014, 3, 31), "XNYS"},
                                                {QDate(2014, 4, 2), "xlju"}};
    for (const auto &[end, mic] : cases) {
        SCOPED_TRACE(end.toString().toStdString());
        InstrumentsFixture f;
        f.host.venue(30, "XNYS", "-05");
        f.host.instrument(100, isinX);
        f.host.exec("INSERT INTO KTC (SFKTC, SFVP, SFTRG, SfSgt, Dan, DanPrk) VALUES (1001, 100, "
                    "30, 'A', julianday('2012-01-01'), julianday('2014-04-01'))");
        f.entry({.isin = isinX, .hostInstrument = 100});

        InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 100"), "100-VP100", end);

        EXPECT_EQ(f.t.scalar("select AII_MIC from DPATVP_SFVP").toString(), mic);
    }
}

TEST(InstrumentChoice, TheListOffersReportableInstrumentsThatNoRowReplaced) {
    for (const bool isDb2 : {false, true}) {
        SCOPED_TRACE(isDb2 ? "DB2" : "Oracle");
        InstrumentsFixture f(isDb2);
        f.host.instrument(300, "si0000000300");
        f.host.instrument(301, "SI0000000300");
        f.host.instrument(302, "SI0000000300", 8, "A", {}, "N");
        f.host.instrument(303, "SI0000000300");
        f.host.instrument(304, "SI0000000304");
        f.entry({.isin = "SI0000000300", .hostInstrument = 300, .reported = 303});
        f.entry({.isin = "SI0000000300",
                 .hostInstrument = 301,
                 .reported = 301,
                 .earlier = 303,
                 .changed = QDateTime(QDate(2014, 4, 1), QTime(13, 0))});
        f.entry({.isin = "si0000000300", .hostInstrument = 300});

        const auto decided =
            InstrumentChoice::offer(f.session(), f.listed("SFVP_VEK = 301 and ISIN like 'SI%'"));
        EXPECT_EQ(decided.isin, "SI0000000300");
        EXPECT_EQ(decided.entries, (QStringList{"300-VP300", "301-VP301"}));
        EXPECT_EQ(decided.preselected, "301-VP301");
        EXPECT_TRUE(decided.changing);

        const auto open = InstrumentChoice::offer(f.session(), f.listed("ISIN = 'si0000000300'"));
        EXPECT_EQ(open.isin, "SI0000000300");
        EXPECT_EQ(open.entries, decided.entries);
        EXPECT_EQ(open.preselected, "");
        EXPECT_FALSE(open.changing);
    }
    EXPECT_TRUE(InstrumentChoice::choiceListSql(true).contains("COALESCE(SFVP_OLD, 0)"));
    EXPECT_FALSE(InstrumentChoice::choiceListSql(true).contains("NVL("));
    EXPECT_TRUE(InstrumentChoice::choiceListSql(false).contains("NVL(SFVP_OLD, 0)"));
}

TEST(InstrumentChoice, AFailingSaveLeavesNeitherRowNorLogEntry) {
    struct Case {
        const char *what;
        bool pendingAnnouncement;
        const char *trigger;
        QStringList rows;
    };
    const Case cases[] = {
        {"a plain first choice",
         false,
         "CREATE TRIGGER register_locked BEFORE UPDATE ON DPATVP_SFVP BEGIN "
         "SELECT RAISE(ABORT, 'register is locked'); END",
         {"100///"}},
        // The withdrawal of the pending announcement passes; the save of the open row fails.
        {"the pending announcement is not withdrawn",
         true,
         "CREATE TRIGGER register_locked BEFORE UPDATE OF SFVP_POROCANJE ON DPATVP_SFVP WHEN "
         "OLD.SFVP_POROCANJE IS NULL BEGIN SELECT RAISE(ABORT, 'register is locked'); END",
         {"201///", "199/200/150/D"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        InstrumentsFixture f;
        const QDateTime decidedAt(QDate(2014, 3, 20), QTime(15, 0));
        if (c.pendingAnnouncement) {
            for (int sfvp : {150, 199, 200, 201})
                f.host.instrument(sfvp, isinX);
            f.entry({.isin = isinX,
                     .hostInstrument = 199,
                     .reported = 200,
                     .earlier = 150,
                     .xml = "D",
                     .changed = decidedAt});
            f.entry({.isin = isinX, .hostInstrument = 201, .changed = decidedAt.addSecs(-60)});
        } else {
            f.host.instrument(100, isinX);
            f.entry({.isin = isinX, .hostInstrument = 100});
        }
        const QString changes = "select group_concat(DANSPR) from DPATVP_SFVP";
        const QString changedBefore = f.t.scalar(changes).toString();
        f.t.exec(c.trigger);
        try {
            if (c.pendingAnnouncement)
                InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 201"), "200-VP200",
                                        periodEnd);
            else
                InstrumentChoice::apply(f.session(), f.listed("SFVP_VEK = 100"), "100-VP100",
                                        periodEnd);
            ADD_FAILURE() << "saved";
        } catch (const RapoError &e) {
            EXPECT_TRUE(e.message().contains("register is locked")) << e.message().toStdString();
        }
        EXPECT_EQ(f.rows(isinX), c.rows);
        EXPECT_EQ(f.t.scalar(changes).toString(), changedBefore);
        EXPECT_EQ(f.count("ACT"), 0);
        EXPECT_FALSE(f.t.db->inTransaction());
    }
}

TEST(InstrumentChoice, ARowChosenMeanwhileIsNotChosenAgain) {
    InstrumentsFixture f;
    f.host.instrument(100, isinX);
    f.host.instrument(101, isinX);
    f.entry({.isin = isinX, .hostInstrument = 100});
    const auto listed = f.listed("SFVP_VEK = 100");
    f.t.exec("UPDATE DPATVP_SFVP SET SFVP_POROCANJE = 101");

    EXPECT_THROW(InstrumentChoice::apply(f.session(), listed, "100-VP100", periodEnd), RapoError);
    EXPECT_EQ(f.rows(isinX), QStringList{"100/101//"});
    EXPECT_EQ(f.count("ACT"), 0);
}
} // namespace
