#include "ImportXlsTab.h"
#include "DataGrid.h"
#include "DataSet.h"
#include "SessionFixture.h"
#include "TypedEdit.h"

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

// The page imports the demo workbook: the unknown instrument ignored and listed in the error
// panel, the imported trades of the day in the grid, the progress bar hidden again; "Brisanje
// nabora" empties the day.
TEST(ImportXlsTab, ImportsAWorkbookAndShowsItsTradesAndErrors) {
    SessionFixture f;
    f.host.instrument(101, "SI0031110198");
    f.host.exec("update SFVP set KRT='DEMF' where SFVP=101");
    f.host.instrument({.sfvp = 106,
                       .isin = "N",
                       .venue = 8,
                       .maturity = QDate(2014, 6, 20),
                       .cfi = "FFICSX",
                       .strike = 0.0});
    f.host.exec("update SFVP set KRT='FDAX0614' where SFVP=106");
    ImportXlsTab page;
    page.attach(f.session());
    page.pteImpDan->setDate(QDate(2014, 3, 28));
    f.prompter.fileNames = {RAPO_DEMO_DIR "uvoz-28.03.2014.xls"};
    f.prompter.answers = {true, false};
    page.bbImportXLS->click();

    EXPECT_FALSE(page.pbImportXLS->isVisibleTo(&page));
    EXPECT_TRUE(page.Panel7->isVisibleTo(&page));
    EXPECT_EQ(page.mImportXLSNapake->toPlainText(),
              "\nZa ISIN \"XS0123456789\" in kratico \"NEZNAN\" ne najdem ustreznega fin. "
              "instrumenta!");
    RowSource *shown = page.dbgImport->dataSet();
    ASSERT_EQ(shown->recordCount(), 3);
    const auto cell = [&](int row, const char *column) {
        return DataSet::valueText(shown->valueAt(row, shown->columnIndex(column)));
    };
    EXPECT_EQ(cell(1, "KRTVP") + " " + cell(1, "Trg_MIC") + " " + cell(1, "CFI") + " " +
                  cell(1, "ZPDVP"),
              "FDAX0614 xlju FFICSX 20.06.2014");
    EXPECT_EQ(cell(0, "KRTVP") + " " + cell(0, "CFI"), "DEMF ");

    f.prompter.answers = {true};
    page.bbImpBrisi->click();
    EXPECT_EQ(page.dbgImport->dataSet()->recordCount(), 0);

    // Stopped at the unknown instrument: the rows saved before it are shown, and so is the stop.
    QStringList told;
    QObject::connect(&page, &MainTab::statusMessage, [&](const QString &text) { told << text; });
    f.prompter.fileNames = {RAPO_DEMO_DIR "uvoz-28.03.2014.xls"};
    f.prompter.answers = {true, true};
    page.bbImportXLS->click();
    EXPECT_FALSE(page.pbImportXLS->isVisibleTo(&page));
    EXPECT_EQ(page.dbgImport->dataSet()->recordCount(), 2);
    EXPECT_EQ(told, QStringList{"Uvoz je prekinjen; vrstice pred prekinitvijo so uvožene."});
}
