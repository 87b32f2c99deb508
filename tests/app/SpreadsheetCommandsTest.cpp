#include "DemoSite.h"
#include "ProgramRun.h"
#include "SheetReader.h"
#include "TempProgramDirectory.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

// "--import": the command confirms the day, the unknown instrument is skipped and named (exit
// 1); a workbook of another day imports nothing.
TEST(SpreadsheetCommands, ImportTakesTheDaysTradesAndNamesTheSkippedRows) {
    TempProgramDirectory dir;
    DemoSite::create("DEMO", dir.path());
    const QString workbook = RAPO_DEMO_DIR "uvoz-28.03.2014.xls";

    const ProgramRun wrongDay = rapo(dir, {"--import", workbook, "29.03.2014"});
    EXPECT_EQ(wrongDay.exitCode, 1);
    EXPECT_TRUE(wrongDay.err.contains("Datum v Excelu ne ustreza izbranemu dnevu 29.03.2014 !"))
        << wrongDay.err.toStdString();
    EXPECT_EQ(wrongDay.out, "Uvoženih novih transakcij: 0, posodobljenih: 0\n");

    const ProgramRun day = rapo(dir, {"--import", workbook, "28.03.2014"});
    EXPECT_EQ(day.exitCode, 1);
    EXPECT_EQ(day.out, "Uvoženih novih transakcij: 3, posodobljenih: 0\n");
    EXPECT_TRUE(day.err.contains("Vrstica 4 ni uvožena: Za ISIN \"XS0123456789\" in kratico "
                                 "\"NEZNAN\" ne najdem ustreznega fin. instrumenta!"))
        << day.err.toStdString();

    const ProgramRun again =
        rapo(dir, {"--import", RAPO_DEMO_DIR "storno-28.03.2014.xls", "28.03.2014"});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(again.out, "Uvoženih novih transakcij: 0, posodobljenih: 1\n");
}

// "--export": the period collected and written as a workbook whose path is printed; the name
// must be an ".xlsx"; one command at a time.
TEST(SpreadsheetCommands, ExportWritesTheCollectedPeriod) {
    TempProgramDirectory dir;
    DemoSite::create("DEMO", dir.path());
    const QString file = dir.file("nabor.xlsx");
    const ProgramRun exported = rapo(dir, {"--export", "28.03.2014", "28.03.2014", file});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out.trimmed(), file);
    const auto sheet = openWorkbook(file);
    EXPECT_EQ(sheet->rowCount(), 6); // the heading, three trades, two cancellations
    EXPECT_EQ(sheet->cell(0, 18).text(), "Referenčna št. transakcije");

    const ProgramRun notXlsx = rapo(dir, {"--export", "28.03.2014", "28.03.2014", "nabor.xls"});
    EXPECT_EQ(notXlsx.exitCode, 1);
    EXPECT_TRUE(notXlsx.err.contains("DATOTEKA.xlsx")) << notXlsx.err.toStdString();
    const ProgramRun two = rapo(dir, {"--export", "28.03.2014", "28.03.2014", file, "--report",
                                      "28.03.2014", "28.03.2014"});
    EXPECT_EQ(two.exitCode, 1);
    // A period of cancellations alone has no report, but its workbook.
    const ProgramRun cancellations = rapo(dir, {"--export", "30.03.2014", "30.03.2014", file});
    EXPECT_EQ(cancellations.exitCode, 0) << cancellations.err.toStdString();
    EXPECT_EQ(openWorkbook(file)->rowCount(), 3);
}
