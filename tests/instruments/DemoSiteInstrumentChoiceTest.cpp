#include "CollectionRun.h"
#include "Configuration.h"
#include "DataGrid.h"
#include "Database.h"
#include "DemoSite.h"
#include "FakeClock.h"
#include "FinInstrTab.h"
#include "InstrumentRegisterView.h"
#include "RunState.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TempProgramDirectory.h"
#include "WorkingSet.h"

#include "ReportGeneration.h"
#include <QPushButton>
#include <QSignalSpy>

#include <QFile>
#include <gtest/gtest.h>

namespace {
// On the demo site, the collection of 02.04.2014 meets SI0031128356, held by the host as 107
// and 108: it stops for the choice, and the return loads the working set.
TEST(DemoSiteInstrumentChoice, TheChoiceLetsTheCollectionLoadItsWorkingSet) {
    TempProgramDirectory dir;
    DemoSite::create("DEMO", dir.path());
    const Configuration configuration = Configuration::read(dir.path());
    Database db("DEMO", "demo", "demo", dir.path());
    ScriptedPrompter prompter;
    FakeClock clock{QDateTime(QDate(2014, 4, 2), QTime(17, 0))};
    FakeWaiter waiter{clock};
    Session session(db, configuration, "DEMO", dir.path(), prompter, clock, waiter);
    WorkingSet workingSet(session);
    RunState state;
    const QDate day(2014, 4, 2);

    ASSERT_EQ(CollectionRun::run(session, workingSet, state, day, day).ending,
              CollectionRun::Ending::ChoiceNeeded);

    FinInstrTab tab;
    tab.attach(session, state);
    tab.setPeriodEnd([day] { return day; });
    std::vector<InstrumentChoice::Offer> offers;
    tab.chooseInstrument = [&](const InstrumentChoice::Offer &offer) -> std::optional<QString> {
        offers.push_back(offer);
        return offer.entries.filter("107-").value(0);
    };
    tab.showAfterCollectionChoice();
    Query &list = tab.registerView()->qDPATVP_SFVP;
    ASSERT_EQ(list.recordCount(), 2);
    for (int choice = 0; choice < 2; ++choice) {
        clock.advance(60 * 1000);
        for (int row = 0; row < list.recordCount(); ++row) {
            list.moveTo(row);
            if (list.isNull("SFVP_POROCANJE")) {
                tab.dbgDPATVP_SFVP->setCurrentRow(row);
                tab.dbgDPATVP_SFVP->zoom();
                break;
            }
        }
    }
    ASSERT_EQ(offers.size(), 2u);
    EXPECT_EQ(offers[0].isin, "SI0031128356");
    EXPECT_EQ(offers[0].entries, (QStringList{"107-ZAVR", "108-ZAVN"}));
    EXPECT_TRUE(prompter.texts.filter("Napaka").isEmpty())
        << prompter.texts.join('\n').toStdString();
    EXPECT_EQ(InstrumentRegisterView::openChoices(session), 0);
    EXPECT_FALSE(tab.bNabor->isHidden());

    QSignalSpy returned(&tab, &FinInstrTab::returnToCollection);
    tab.bNabor->click();
    ASSERT_EQ(returned.count(), 1);

    const auto loaded = CollectionRun::loadWorkingSet(session, workingSet, state, day, day);
    EXPECT_EQ(loaded.ending, CollectionRun::Ending::Loaded);
    EXPECT_TRUE(loaded.generationEnabled);
    QStringList trades;
    for (Query &q = workingSet.qDPATVPPSL; !q.eof(); q.next())
        trades << q.asString("IdPsl") + '/' + q.asString("ISIN") + '/' + q.asString("IntIndInstr");
    EXPECT_TRUE(trades.contains("1023/SI0031128356/107")) << trades.join(' ').toStdString();
    EXPECT_TRUE(trades.contains("1024/SI0031128356/107")) << trades.join(' ').toStdString();
    QStringList instruments;
    for (Query &q = workingSet.qSifrantFinInstr; !q.eof(); q.next())
        if (q.asString("ISIN") == "SI0031128356")
            instruments << q.asString("INTIDENT") + '/' + q.asString("KRT");
    EXPECT_EQ(instruments, QStringList{"107/ZAVR"});

    // The chosen instrument's trades make a valid report.
    QFile::copy(RAPO_DEMO_SCHEMA, session.programDirectory + "NTRS.xsd");
    const ReportGeneration::Result report = ReportGeneration::generate(
        session, workingSet.qDPATVPPSL, workingSet.qSifrantFinInstr, state, day, day);
    EXPECT_TRUE(report.valid) << report.errorLine.toStdString();

    // The register is complete: the next run for the day does not stop again.
    clock.advance(60 * 1000);
    EXPECT_EQ(CollectionRun::run(session, workingSet, state, day, day).ending,
              CollectionRun::Ending::Loaded);
}
} // namespace
