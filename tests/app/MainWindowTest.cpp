#include "MainWindow.h"
#include "AtvpTab.h"
#include "DataModule.h"
#include "Database.h"
#include "DemoSite.h"
#include "EmirTab.h"
#include "FakeClock.h"
#include "ImportXlsTab.h"
#include "NaborTab.h"
#include "PdfTab.h"
#include "PorocilaTab.h"
#include "ProgramArguments.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TempProgramDirectory.h"
#include "Waiter.h"
#include "WorkingSet.h"

#include "DataGrid.h"
#include "FinInstrTab.h"
#include "GridDataSource.h"
#include "QtTranslation.h"
#include "Session.h"
#include "TypedEdit.h"
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// What the window remembers between runs goes to a folder of the test, never the user's.
struct UserSettings {
    explicit UserSettings(const QString &folder) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    }
};

struct WindowFixture {
    explicit WindowFixture(const QStringList &arguments = {"LB", "vek", "geslo", "MARKO"},
                           const QString &settingsFolder = {})
        : settings(settingsFolder.isEmpty() ? dir.path() : settingsFolder),
          dataModule(ProgramArguments::parse(arguments).login(), dir.path()),
          window(dataModule, prompter, clock, waiter, dir.path()) {
        dir.writeWindows1250(
            "RAPO.ini", QString::fromUtf8("[Splošno]\nATVP_Uporabnik=A\nPosli_VEK_Prefiks=\n"));
        // The window opens the database of its alias when it starts.
        Database::createEmbedded("LB", dir.path());
    }
    TempProgramDirectory dir;
    UserSettings settings;
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

TEST(MainWindow, AReversedPeriodIsRefusedAndThePendingCollectionKept) {
    WindowFixture f;
    f.window.start();
    NaborTab *nabor = f.window.tsNabor;
    nabor->bbNaborClick();
    ASSERT_TRUE(nabor->workingSet()->qDPATVPPSL.active());

    nabor->dtpDan->setDate(QDate(2026, 12, 10));
    f.prompter.texts.clear();
    nabor->bbNaborClick();
    EXPECT_EQ(f.prompter.texts.value(0),
              "\"Datum od\" (10.12.2026) je za \"Datum do\" (09.12.2026). Popravite obdobje; "
              "nabor ni spremenjen.");
    EXPECT_TRUE(nabor->workingSet()->qDPATVPPSL.active());
    EXPECT_EQ(f.window.runState().collectedPeriod, "09.12.2026;09.12.2026");
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
    EXPECT_EQ(f.window.stResult->text(),
              "Poročilo TRDAT01_5842735000_0001_26.xml je zapisano in skladno s shemo.");
}

TEST(MainWindow, TheTimeZoneButtonSaysForWhichVenueAndDayItsOffsetIs) {
    WindowFixture f;
    f.window.start();
    f.window.tsNabor->dtpDanDo->setDate(QDate(2014, 3, 31));
    f.window.tsNabor->bTZInfoClick();
    EXPECT_EQ(f.prompter.texts.last(),
              QString::fromUtf8("Časovni pas : +01\n\nTo je časovni pas trga poročevalca (8) "
                                "zdaj, 09.12.2026 10:00.\nNa zadnji dan obdobja, 31.03.2014, je "
                                "+02. Vrstice nabora kažejo časovni pas trga svojega dne."));
}

TEST(MainWindow, ProgressStepsAndResultsReachTheStatusBar) {
    WindowFixture f;
    f.window.start();
    f.window.session().progress("Faza 3");
    EXPECT_EQ(f.window.statusBar()->currentMessage(), QString::fromUtf8("Poteka: Faza 3 …"));
    QApplication::processEvents();
    EXPECT_EQ(f.window.statusBar()->currentMessage(), "") << "gone once the action has ended";

    struct Case {
        QDate from, to;
        QString told, status;
    };
    const Case cases[] = {
        {QDate(2026, 12, 9), QDate(2026, 12, 9),
         QString::fromUtf8("V obdobju 09.12.2026 – 09.12.2026 ni transakcij za poročanje."),
         QString::fromUtf8("Nabor 09.12.2026 – 09.12.2026: ni transakcij za poročanje.")},
        {QDate(2026, 12, 9), QDate(2026, 12, 8),
         QString::fromUtf8("\"Datum od\" (09.12.2026) je za \"Datum do\" (08.12.2026). "
                           "Popravite obdobje; nabor ni spremenjen."),
         QString::fromUtf8("Nabor 09.12.2026 – 09.12.2026: ni transakcij za poročanje.")},
    };
    for (const Case &c : cases) {
        f.prompter.texts.clear();
        f.window.tsNabor->dtpDan->setDate(c.from);
        f.window.tsNabor->dtpDanDo->setDate(c.to);
        f.window.tsNabor->bbNaborClick();
        EXPECT_EQ(f.prompter.texts, QStringList{c.told});
        EXPECT_EQ(f.window.stResult->text(), c.status);
    }
}

TEST(MainWindow, StandardDialogsSpeakSlovenian) {
    ASSERT_TRUE(QtTranslation::install());
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                             QDialogButtonBox::Save);
    QStringList texts;
    for (const auto which :
         {QDialogButtonBox::Cancel, QDialogButtonBox::Yes, QDialogButtonBox::Save})
        texts << buttons.button(which)->text().remove('&');
    EXPECT_EQ(texts, QStringList({QString::fromUtf8("Prekliči"), "Da", "Shrani"}));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Shrani kot");
    EXPECT_EQ(QLocale().monthName(3), "marec");
}

TEST(MainWindow, EveryListTitlesItsColumnsForAClerkAndShowsThemWhole) {
    WindowFixture f;
    f.window.start();
    // Titles that are the column's own name because that is the word a clerk uses.
    const QStringList ownNames = {"ISIN", "MIC", "Valuta", "Stranka", "Vrednost", "Opombe"};
    const QStringList named = {"dbgDPATVPPSL",   "dbSifrantFinInstr", "dbPorocila",
                               "dbgDPATVP_SFVP", "dbgEMIRPorocila",   "dbgEMIRPsl"};
    const QList<DataGrid *> grids = f.window.findChildren<DataGrid *>();
    for (const QString &name : named)
        EXPECT_NE(f.window.findChild<DataGrid *>(name), nullptr) << name.toStdString();
    for (DataGrid *grid : grids) {
        GridDataSource *source = grid->dataSource();
        QStringList titles;
        for (int c = 0; c < source->columnCount(); ++c) {
            const FieldDef field = source->fieldAt(c);
            const QString title = GridDataSource::title(field);
            const std::string where = (grid->objectName() + " " + field.name).toStdString();
            if (named.contains(grid->objectName())) {
                EXPECT_TRUE(title != field.name || ownNames.contains(title)) << where;
                EXPECT_FALSE(titles.contains(title)) << where << " has a twin";
            }
            titles << title;
            EXPECT_GE(grid->view()->columnWidth(c),
                      grid->view()->horizontalHeader()->sectionSizeHint(c))
                << where;
        }
    }
}

TEST(MainWindow, TheWindowRemembersItsSizeAndColumnWidths) {
    QTemporaryDir settings;
    {
        WindowFixture f({"LB", "vek", "geslo", "MARKO"}, settings.path());
        f.window.start();
        f.window.resize(701, 503);
        f.window.tsPorocila->dbPorocila->view()->horizontalHeader()->resizeSection(1, 321);
        EXPECT_TRUE(f.window.close());
    }
    WindowFixture f({"LB", "vek", "geslo", "MARKO"}, settings.path());
    f.window.start();
    EXPECT_EQ(f.window.size(), QSize(701, 503));
    EXPECT_EQ(f.window.tsPorocila->dbPorocila->view()->columnWidth(1), 321);
    QFile ini(f.dir.file("RAPO.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("stolpci")) << "not in the site's settings";
    EXPECT_FALSE(f.window.windowIcon().isNull());
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
