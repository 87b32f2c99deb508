#include "CollectionRun.h"
#include "Configuration.h"
#include "Database.h"
#include "DemoSite.h"
#include "FakeClock.h"
#include "RunState.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TempProgramDirectory.h"
#include "WorkingSet.h"

#include <gtest/gtest.h>

namespace {
// The demo site behaves as its README says.
struct DemoSiteRun {
    DemoSiteRun() {
        DemoSite::create("DEMO", dir.path());
        configuration = Configuration::read(dir.path());
        db = std::make_unique<Database>("DEMO", "demo", "demo", dir.path());
        session = std::make_unique<Session>(*db, configuration, "DEMO", dir.path(), prompter, clock,
                                            waiter);
        workingSet = std::make_unique<WorkingSet>(*session);
    }
    CollectionRun::Result run(const QDate &day) {
        return CollectionRun::run(*session, *workingSet, state, day, day);
    }
    QStringList rows(const QStringList &columns) {
        QStringList out;
        Query &q = workingSet->qDPATVPPSL;
        for (q.first(); !q.eof(); q.next()) {
            QStringList values;
            for (const QString &c : columns)
                values << q.asString(c);
            out << values.join('/');
        }
        return out;
    }

    TempProgramDirectory dir;
    Configuration configuration;
    std::unique_ptr<Database> db;
    ScriptedPrompter prompter;
    FakeClock clock{QDateTime(QDate(2014, 3, 28), QTime(17, 0))};
    FakeWaiter waiter{clock};
    RunState state;
    std::unique_ptr<Session> session;
    std::unique_ptr<WorkingSet> workingSet;
};

TEST(DemoSiteCollection, TheFirstRunTakesTheDaysTradesAndTheCancellations) {
    DemoSiteRun demo;
    const auto r = demo.run(QDate(2014, 3, 28));
    ASSERT_EQ(r.ending, CollectionRun::Ending::Loaded)
        << demo.prompter.texts.join('\n').toStdString();
    EXPECT_TRUE(r.generationEnabled);
    QStringList rows = demo.rows({"ISSTN", "IdPsl", "Offset", "MIC", "RefStTransaC"});
    EXPECT_EQ(rows.mid(0, 3).join(' ').count("/N/"), 0) << "trades come before cancellations";
    rows.sort();
    EXPECT_EQ(rows, (QStringList{"D/1002/+01/XLJU/100000001002", "D/1003/+01//100000001003",
                                 "N/1005/+01/XLJU/100000001005", "N/1006/+01/XLJM/100000001006",
                                 "N/1007/-05/XNYS/100000001007"}));
}

TEST(DemoSiteCollection, TheIsinWithTwoInstrumentsStopsForTheChoice) {
    DemoSiteRun demo;
    const auto r = demo.run(QDate(2014, 4, 2));
    EXPECT_EQ(r.ending, CollectionRun::Ending::ChoiceNeeded);
}

TEST(DemoSiteCollection, CrossedTradesAndInstrumentsWithoutIsin) {
    DemoSiteRun demo;
    demo.run(QDate(2014, 3, 28));
    demo.db->execDirect("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST, DAN, STATUS) VALUES "
                        "(2, 2456744.5, 2, 2456744.9, 1)");
    const auto r = demo.run(QDate(2014, 4, 1));
    ASSERT_EQ(r.ending, CollectionRun::Ending::Loaded);
    const QStringList rows = demo.rows({"IdPsl", "Lot", "ISIN", "IntIndInstr", "Offset"});
    EXPECT_TRUE(rows.contains("1013/250/SI0031122748/102/+02")) << "the opposite trade's quantity";
    EXPECT_TRUE(rows.contains("1021/10/N/105/+02")) << "no ISIN: reported as itself";
    EXPECT_TRUE(rows.contains("1022/2/N/106/+02")) << "ISIN N: reported as itself";
    EXPECT_FALSE(rows.join(' ').contains("1020/")) << "no remote member";
}
} // namespace
