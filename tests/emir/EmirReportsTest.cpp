#include "EmirReports.h"
#include "EmirFixture.h"
#include "Query.h"
#include "RapoError.h"

#include <gtest/gtest.h>

namespace {
TEST(EmirReports, TheProposalCoversTheWholeMonthOfToday) {
    struct Case {
        QDate today;
        QDate from;
        QDate to;
    };
    const Case cases[] = {
        {QDate(2024, 2, 15), QDate(2024, 2, 1), QDate(2024, 2, 29)},
        {QDate(2023, 2, 15), QDate(2023, 2, 1), QDate(2023, 2, 28)},
        {QDate(2014, 12, 31), QDate(2014, 12, 1), QDate(2014, 12, 31)},
        {QDate(2014, 4, 1), QDate(2014, 4, 1), QDate(2014, 4, 30)},
    };
    for (const Case &c : cases) {
        const EmirReports::Report r = EmirReports::proposal(c.today);
        EXPECT_EQ(r.danPorocila, c.today);
        EXPECT_EQ(r.danOd, c.from) << c.today.toString().toStdString();
        EXPECT_EQ(r.danDo, c.to) << c.today.toString().toStdString();
        EXPECT_EQ(r.stNepotrjenih, 0);
        EXPECT_EQ(r.id, 0);
        EXPECT_FALSE(r.preklicano);
    }
}

TEST(EmirReports, NewReportsAreNumberedAfterTheLargestAndAnEditKeepsTheNumber) {
    EmirFixture f;
    f.report({.zapSt = 41, .cancelled = true});
    EmirReports::Report r = EmirReports::proposal(QDate(2024, 2, 15));
    r.stNepotrjenih = 5;
    const qint64 id = EmirReports::save(f.session(), r);
    EXPECT_EQ(id, 2) << "the identity comes from the sequence";
    r = EmirReports::read(f.session(), id);
    r.danOd = QDate(2024, 1, 1);
    r.stNepotrjenih = 0;
    r.preklicano = true; // an edit writes "N" whatever the row held
    EXPECT_EQ(EmirReports::save(f.session(), r), id);
    EXPECT_EQ(f.reports(), QStringList({"41|01.03.2014|31.03.2014|0|02.04.2014||D||",
                                        "42|01.01.2024|29.02.2024|0|15.02.2024||N||"}));

    EmirReports::Report invalid = r;
    invalid.danDo = {};
    try {
        EmirReports::save(f.session(), invalid);
        ADD_FAILURE() << "saved without a period end";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Neveljaven datum do.");
    }
    EXPECT_THROW(EmirReports::read(f.session(), 99), RapoError);
}

TEST(EmirReports, CancellingCreatesTheCancellationReportInOneTransaction) {
    EmirFixture f;
    f.clock.set(QDateTime(QDate(2014, 4, 3), QTime(11, 12, 13)));
    const qint64 id = f.report({.zapSt = 3, .unconfirmed = 4});
    f.dispute(id, "A", "B", QDate(2014, 3, 3));
    const EmirReports::Report report = EmirReports::read(f.session(), id);

    f.prompter.answers = {false};
    EXPECT_EQ(EmirReports::cancel(f.session(), report), 0);
    EXPECT_EQ(f.reports(), QStringList{"3|01.03.2014|31.03.2014|4|02.04.2014||N||"});

    // A failing insert takes the cancellation mark back with it.
    f.t.exec("CREATE TRIGGER no_insert BEFORE INSERT ON EMIRPOROCILO "
             "BEGIN SELECT RAISE(ABORT, 'zavrnjeno'); END");
    f.prompter.answers = {true};
    EXPECT_THROW(EmirReports::cancel(f.session(), report), RapoError);
    EXPECT_EQ(f.reports(), QStringList{"3|01.03.2014|31.03.2014|4|02.04.2014||N||"});
    f.t.exec("DROP TRIGGER no_insert");

    f.prompter.answers = {true};
    const qint64 cancellation = EmirReports::cancel(f.session(), report);
    EXPECT_GT(cancellation, id);
    EXPECT_EQ(f.prompter.texts.last(),
              "Preklic poročila prekliče trenutno poročilo in generira novo poročilo za preklic. "
              "Želite nadaljevati ?");
    EXPECT_EQ(f.reports(), QStringList({"3|01.03.2014|31.03.2014|4|02.04.2014||D|03.04.2014 "
                                        "11:12:13|",
                                        "4|01.03.2014|31.03.2014|0|02.04.2014||N||3"}));
    EXPECT_EQ(f.disputes(), QStringList{"3|A|B|03.03.2014||0|"}) << "disputes are not copied";
}

TEST(EmirReports, DeletingAsksTakesTheDisputesAndReactivatesTheCancelledReport) {
    EmirFixture f;
    const QDateTime cancelledAt(QDate(2014, 4, 1), QTime(8, 0));
    const qint64 cancelled = f.report({.zapSt = 1, .cancelled = true, .cancelledAt = cancelledAt});
    const qint64 cancellation = f.report(
        {.zapSt = 2, .written = QDateTime(QDate(2014, 4, 1), QTime(9, 0)), .cancels = cancelled});
    const qint64 other = f.report({.zapSt = 3});
    f.dispute(cancellation, "A", "B", QDate(2014, 3, 3));
    f.dispute(other, "C", "D", QDate(2014, 3, 4));

    try {
        EmirReports::remove(f.session(), EmirReports::read(f.session(), cancelled));
        ADD_FAILURE() << "a cancelled report was deleted";
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Brisanje preklicanega poročila ni dovoljeno.");
    }
    EXPECT_TRUE(f.prompter.texts.isEmpty()) << "refused before asking";

    const EmirReports::Report report = EmirReports::read(f.session(), cancellation);
    f.prompter.answers = {false};
    EXPECT_FALSE(EmirReports::remove(f.session(), report));
    EXPECT_EQ(f.prompter.texts.last(), "POZOR. Za poročilo je že generirana XML datoteka. Želite "
                                       "vseeno brisati izbrano poročilo ?");
    EXPECT_EQ(f.reports().size(), 3);

    // A failure on the last statement leaves everything as it was.
    f.t.exec("CREATE TRIGGER no_delete BEFORE DELETE ON EMIRPOROCILO "
             "BEGIN SELECT RAISE(ABORT, 'zavrnjeno'); END");
    const QStringList before = f.reports() + f.disputes();
    f.prompter.answers = {true};
    EXPECT_THROW(EmirReports::remove(f.session(), report), RapoError);
    EXPECT_EQ(f.reports() + f.disputes(), before);
    f.t.exec("DROP TRIGGER no_delete");

    f.prompter.answers = {true};
    EXPECT_TRUE(EmirReports::remove(f.session(), report));
    EXPECT_EQ(f.reports(), QStringList({"1|01.03.2014|31.03.2014|0|02.04.2014||N|01.04.2014 "
                                        "08:00:00|",
                                        "3|01.03.2014|31.03.2014|0|02.04.2014||N||"}));
    EXPECT_EQ(f.disputes(), QStringList{"3|C|D|04.03.2014||0|"});

    f.prompter.answers = {true};
    EXPECT_TRUE(EmirReports::remove(f.session(), EmirReports::read(f.session(), other)));
    EXPECT_EQ(f.prompter.texts.last(), "Želite brisati izbrano poročilo ?");
    EXPECT_TRUE(f.disputes().isEmpty());
}

TEST(EmirReports, TheListFiltersByThePeriodStartAndShowsCancellations) {
    EmirFixture f;
    const qint64 april = f.report({.zapSt = 1,
                                   .from = QDate(2014, 4, 1),
                                   .cancelled = true,
                                   .cancelledAt = QDateTime(QDate(2014, 5, 2), QTime(7, 8, 9))});
    f.report({.zapSt = 2, .from = QDate(2014, 3, 1)});
    f.report({.zapSt = 3, .from = QDate(2014, 4, 15), .cancels = april});
    f.report({.zapSt = 4, .from = QDate(2014, 5, 1)});

    struct Case {
        QDate from, to;
        QStringList shown; // ZapSt/Preklicano shown/ZapStPreklicano
    };
    const Case cases[] = {
        {{}, {}, {"2/Ne/", "1/Da/", "3/Ne/1", "4/Ne/"}},
        {QDate(2014, 4, 1), {}, {"1/Da/", "3/Ne/1", "4/Ne/"}},
        {{}, QDate(2014, 4, 1), {"2/Ne/", "1/Da/"}},
        {QDate(2014, 3, 2), QDate(2014, 4, 30), {"1/Da/", "3/Ne/1"}},
    };
    Query q(*f.t.db);
    for (const Case &c : cases) {
        EmirReports::load(q, c.from, c.to);
        QStringList shown;
        for (; !q.eof(); q.next())
            shown << q.asString("ZapSt") + '/' + q.asString("PreklicanoDaNe") + '/' +
                         q.asString("ZapStPreklicano");
        EXPECT_EQ(shown, c.shown);
    }
    EmirReports::load(q, {}, {});
    q.locate("ZapSt", {1});
    const EmirReports::Report r = EmirReports::rowOf(q);
    EXPECT_EQ(r.id, april);
    EXPECT_TRUE(r.preklicano);
    EXPECT_EQ(r.danCasPreklica, QDateTime(QDate(2014, 5, 2), QTime(7, 8, 9)));
}

} // namespace
