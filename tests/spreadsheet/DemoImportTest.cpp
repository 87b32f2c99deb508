#include "CollectionRun.h"
#include "Configuration.h"
#include "Database.h"
#include "DemoSite.h"
#include "FakeClock.h"
#include "Query.h"
#include "ReportGeneration.h"
#include "RunState.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TempProgramDirectory.h"
#include "TradeImport.h"
#include "WorkingSet.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
const QDate day(2014, 3, 28);

struct DemoSiteImport {
    DemoSiteImport() {
        DemoSite::create("DEMO", dir.path());
        QFile::copy(RAPO_DEMO_DIR "NTRS.xsd", dir.file("NTRS.xsd"));
        configuration = Configuration::read(dir.path());
        db = std::make_unique<Database>("DEMO", "demo", "demo", dir.path());
        session = std::make_unique<Session>(*db, configuration, "DEMO", dir.path(), prompter, clock,
                                            waiter);
    }
    // Collects the day and generates its report (unless it holds only cancellations); gives the
    // imported rows of the working set.
    QStringList collectAndReport() {
        WorkingSet workingSet(*session);
        RunState state;
        const CollectionRun::Result run = CollectionRun::run(*session, workingSet, state, day, day);
        EXPECT_EQ(run.ending, CollectionRun::Ending::Loaded)
            << prompter.texts.join('\n').toStdString();
        QStringList imported;
        Query &q = workingSet.qDPATVPPSL;
        for (q.first(); !q.eof(); q.next())
            if (q.asString("VRSTA") == "I")
                imported << QStringList{q.asString("ISSTN"), q.asString("IdPsl"),
                                        q.asString("ISIN"), q.asString("Cas")}
                                .join('/');
        if (run.generationEnabled) { // not for cancellations alone
            const ReportGeneration::Result report = ReportGeneration::generate(
                *session, workingSet.qDPATVPPSL, workingSet.qSifrantFinInstr, state, day, day);
            EXPECT_TRUE(report.valid) << report.errorLine.toStdString();
        }
        return imported;
    }

    TempProgramDirectory dir;
    Configuration configuration;
    std::unique_ptr<Database> db;
    ScriptedPrompter prompter;
    FakeClock clock{QDateTime(day, QTime(17, 0))};
    FakeWaiter waiter{clock};
    std::unique_ptr<Session> session;
};
} // namespace

// The demo workbook imports three trades (the unknown instrument ignored); the day's collection
// reports them; the cancellation workbook returns the first to the next collection as cancelled.
TEST(DemoImport, ImportedTradesAreCollectedAndReported) {
    DemoSiteImport demo;
    demo.prompter.answers = {true, false};
    const TradeImport::Result result =
        TradeImport::run(*demo.session, RAPO_DEMO_DIR "uvoz-28.03.2014.xls", day,
                         TradeImport::nextId(*demo.session));
    EXPECT_EQ(result.inserted, 3);
    EXPECT_EQ(result.errors, "\r\nZa ISIN \"XS0123456789\" in kratico \"NEZNAN\" ne najdem "
                             "ustreznega fin. instrumenta!");
    QStringList imported = demo.collectAndReport();
    imported.sort();
    EXPECT_EQ(imported,
              (QStringList{"N/101/SI0031110198/28.03.2014 11:20:00", "N/102/N/28.03.2014 14:05:30",
                           "N/104/SI0031110198/28.03.2014 15:45:00"}));

    Query sent(*demo.db); // the report is sent, so the next collection keeps its trades away
    sent.setText("update DPATVP set DAN = julianday('2014-03-28 17:10:00') where DAN is null");
    sent.exec();
    demo.prompter.answers = {true};
    TradeImport::run(*demo.session, RAPO_DEMO_DIR "storno-28.03.2014.xls", day,
                     TradeImport::nextId(*demo.session));
    EXPECT_EQ(demo.collectAndReport(), QStringList{"D/101/SI0031110198/28.03.2014 11:20:00"});
}
