#include "MainWindow.h"
#include "AtvpTab.h"
#include "DataModule.h"
#include "Database.h"
#include "DemoSite.h"
#include "EmirTab.h"
#include "FakeClock.h"
#include "ImportXlsTab.h"
#include "NaborTab.h"
#include "PorocilaTab.h"
#include "ProgramArguments.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TempProgramDirectory.h"
#include "Waiter.h"
#include "WorkingSet.h"

#include "TypedEdit.h"
#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <gtest/gtest.h>

namespace {
struct WindowFixture {
    explicit WindowFixture(const QStringList &arguments = {"LB", "vek", "geslo", "MARKO"})
        : dataModule(ProgramArguments::parse(arguments).login(), dir.path()),
          window(dataModule, prompter, clock, waiter, dir.path()) {
        dir.writeWindows1250(
            "RAPO.ini", QString::fromUtf8("[Splošno]\nATVP_Uporabnik=A\nPosli_VEK_Prefiks=\n"));
    }
    TempProgramDirectory dir;
    ScriptedPrompter prompter;
    FakeClock clock{QDateTime(QDate(2026, 12, 9), QTime(10, 0))};
    FakeWaiter waiter{clock};
    DataModule dataModule;
    MainWindow window;
};

TEST(MainWindow, CaptionAndSevenPagesInOrder) {
    WindowFixture f;
    f.window.start();
    EXPECT_EQ(f.window.windowTitle(), "RAPO v4.0.1.0");
    const QStringList expected = {
        "Nabor",       "Import .xls", "ATVP", QString::fromUtf8("Poročila"),
        "Fin. instr.", "PDF",         "EMIR"};
    ASSERT_EQ(f.window.pcMain->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(f.window.pcMain->tabText(i), expected[i]);
    EXPECT_EQ(f.window.pcMain->currentIndex(), MainWindow::Nabor);
    EXPECT_FALSE(f.window.terminating());
    EXPECT_TRUE(f.prompter.texts.isEmpty()) << f.prompter.texts.join('\n').toStdString();
}

TEST(MainWindow, RefusesToRunWithoutArguments) {
    WindowFixture f(QStringList{});
    f.window.start();
    EXPECT_TRUE(f.window.terminating());
    ASSERT_FALSE(f.prompter.texts.isEmpty());
    EXPECT_EQ(f.prompter.texts.first(),
              QString::fromUtf8("Napačen zagon! RAPO poročanje morate zagnati iz VEK-ja "
                                "(Meni:Obdelave\\RAPO Poročanje)!"));
}

TEST(MainWindow, ShowsTheConfigurationMessages) {
    WindowFixture f;
    QFile::remove(f.dir.file("RAPO.ini"));
    f.window.start();
    EXPECT_EQ(f.prompter.texts, QStringList{"Manjka .ini datoteka!"});
}

TEST(MainWindow, DateFieldsShowTheRunsTodayWhenTheWindowOpens) {
    WindowFixture f;
    f.window.start();
    EXPECT_EQ(f.window.tsNabor->dtpDan->text(), "09.12.2026");
    EXPECT_EQ(f.window.tsNabor->dtpDanDo->text(), "09.12.2026");
    EXPECT_EQ(f.window.tsNabor->periodText(), "09.12.2026;09.12.2026");
}

TEST(MainWindow, LeavingAPeriodFieldClosesAWorkingSetOfAnotherPeriod) {
    WindowFixture f;
    Database::createEmbedded("LB", f.dir.path());
    f.window.start();
    NaborTab *nabor = f.window.tsNabor;
    nabor->bbNaborClick();
    ASSERT_TRUE(nabor->workingSet()->qDPATVPPSL.active())
        << f.prompter.texts.join('\n').toStdString();
    EXPECT_EQ(f.window.runState().collectedPeriod, "09.12.2026;09.12.2026");

    f.window.dtpDanExit();
    EXPECT_TRUE(nabor->workingSet()->qDPATVPPSL.active()) << "an unchanged period keeps it";

    nabor->dtpDan->setDate(QDate(2026, 12, 8));
    f.window.dtpDanExit();
    EXPECT_FALSE(nabor->workingSet()->qDPATVPPSL.active());
    EXPECT_FALSE(nabor->workingSet()->qSifrantFinInstr.active());
}

TEST(MainWindow, AnInstrumentChoiceShowsOnlyTheInstrumentPages) {
    WindowFixture f;
    f.window.start();
    f.window.showInstrumentChoice();
    EXPECT_EQ(f.window.pcMain->currentIndex(), MainWindow::FinInstr);
    for (int page = MainWindow::Nabor; page <= MainWindow::Porocila; ++page)
        EXPECT_FALSE(f.window.pcMain->isTabVisible(page));
    EXPECT_TRUE(f.window.pcMain->isTabVisible(MainWindow::Emir));
    f.window.showCollectionPages();
    EXPECT_TRUE(f.window.pcMain->isTabVisible(MainWindow::Nabor));
}

TEST(MainWindow, ImportPageUpperPanelFollowsTheErrorPanel) {
    WindowFixture f;
    f.window.start();
    ImportXlsTab *page = f.window.tsImportXLS;
    f.window.pcMain->setCurrentIndex(MainWindow::ImportXls);
    EXPECT_EQ(page->Panel4->height(), 26);
    f.window.pcMain->setCurrentIndex(MainWindow::Nabor);
    page->Panel7->setVisible(true);
    f.window.pcMain->setCurrentIndex(MainWindow::ImportXls);
    EXPECT_EQ(page->Panel4->height(), 186);
}

TEST(MainWindow, EnteringEmirShowsTheCurrentMonth) {
    WindowFixture f;
    f.window.start();
    f.window.pcMain->setCurrentIndex(MainWindow::Emir);
    EXPECT_EQ(f.window.tsEMIR->pteEMIRDatOd->date(), QDate(2026, 12, 1));
    EXPECT_EQ(f.window.tsEMIR->pteEMIRDatDo->date(), QDate(2026, 12, 9));
}

TEST(MainWindow, ActionsNotYetOfferedAreDisabledAndSaySo) {
    WindowFixture f;
    f.window.start();
    QPushButton *button = f.window.tsNabor->bbExportXLS;
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(button->toolTip().isEmpty());
}
} // namespace

namespace {
TEST(MainWindow, ACollectionOnTheDemoSiteIsGeneratedAndTheAtvpPageShown) {
    WindowFixture f({"DEMO", "demo", "demo", "DEMO"});
    DemoSite::create("DEMO", f.dir.path());
    QFile::copy(RAPO_DEMO_SCHEMA, f.dir.file("NTRS.xsd"));
    f.window.start();
    NaborTab *nabor = f.window.tsNabor;
    nabor->dtpDan->setDate(QDate(2014, 3, 28));
    nabor->dtpDanDo->setDate(QDate(2014, 3, 28));
    EXPECT_FALSE(nabor->bbGenXML->isEnabled());
    nabor->bbNaborClick();
    ASSERT_TRUE(nabor->bbGenXML->isEnabled()) << f.prompter.texts.join('\n').toStdString();
    nabor->bbGenXMLClick();
    EXPECT_FALSE(nabor->bbGenXML->isEnabled()) << "a registered working set is not generated again";
    EXPECT_EQ(f.window.pcMain->currentIndex(), MainWindow::Atvp);
    EXPECT_TRUE(f.window.tsATVP->mXMLNapake->isHidden())
        << f.prompter.texts.join('\n').toStdString();
    EXPECT_TRUE(QFile::exists(f.dir.file("TRDAT01_5842735000_0001_26.xml")))
        << "the first report sent in 2026";
}

TEST(MainWindow, TheTimeZoneButtonShowsTheReportingVenuesOffsetNow) {
    WindowFixture f;
    f.window.start();
    f.window.tsNabor->bTZInfoClick();
    EXPECT_EQ(f.prompter.texts.last(), QString::fromUtf8("Časovni pas : +01")) << "9 December";
}
} // namespace

namespace {
TEST(MainWindow, NoOtherActionStartsWhileOneWaits) {
    WindowFixture f({"DEMO", "demo", "demo", "DEMO"});
    DemoSite::create("DEMO", f.dir.path());
    f.window.start();
    NaborTab *nabor = f.window.tsNabor;
    nabor->dtpDan->setDate(QDate(2014, 3, 28));
    nabor->dtpDanDo->setDate(QDate(2014, 3, 28));
    int waits = 0;
    f.waiter.during = [&] {
        ++waits;
        EXPECT_FALSE(f.window.pcMain->isEnabled());
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        const QStringList before = f.prompter.texts;
        // Both would ask a question; disabled with the pages, they do nothing.
        nabor->BitBtn3->click();
        f.window.tsPorocila->BitBtn4->click();
        EXPECT_EQ(f.prompter.texts, before);
        EXPECT_FALSE(f.window.close()) << "the window stays until the action ends";
    };
    // An action's wait (GnuPG's run is the one left).
    f.window.session().waiter.wait(5000);
    f.waiter.during = nullptr;
    EXPECT_GT(waits, 0);
    EXPECT_TRUE(f.window.pcMain->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(MainWindow, PagesCannotBeSwitchedWhileGnupgSigns) {
    WindowFixture f;
    f.window.start();
    Q_EMIT f.window.tsATVP->signingStarted();
    EXPECT_FALSE(f.window.pcMain->tabBar()->isEnabled());
    Q_EMIT f.window.tsATVP->signingFinished();
    EXPECT_TRUE(f.window.pcMain->tabBar()->isEnabled());
}
} // namespace
