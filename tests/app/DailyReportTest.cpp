#include "Database.h"
#include "DemoSite.h"
#include "ProgramRun.h"
#include "TempProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

TEST(DailyReport, TheSchedulersRunsOnTheDemoSite) {
    TempProgramDirectory dir;
    DemoSite::create("DEMO", dir.path());
    ASSERT_TRUE(QFile::copy(RAPO_DEMO_SCHEMA, dir.file("NTRS.xsd")));

    const ProgramRun day = rapo(dir, {"--report", "28.03.2014", "28.03.2014"});
    ASSERT_EQ(day.exitCode, 0) << day.err.toStdString();
    const QString path = day.out.trimmed();
    EXPECT_TRUE(path.startsWith(dir.path() + "TRDAT01_5842735000_")) << path.toStdString();
    EXPECT_TRUE(QFile::exists(path));
    for (const char *step : {"Faza 1", "Faza 5", "Faza 7", "Generiranje", "Preverjanje"})
        EXPECT_TRUE(day.err.contains(step)) << step;

    const ProgramRun list = rapo(dir, {"--list-reports", "28.03.2014", "28.03.2014"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.contains(path.mid(dir.path().size()))) << list.out.toStdString();
    EXPECT_TRUE(list.out.contains("neposlano\t"));

    const ProgramRun choice = rapo(dir, {"--report", "02.04.2014", "02.04.2014"});
    EXPECT_EQ(choice.exitCode, 2) << choice.err.toStdString();
    EXPECT_EQ(choice.out.trimmed(), "SI0031128356");

    const ProgramRun empty = rapo(dir, {"--report", "30.03.2014", "30.03.2014"});
    EXPECT_EQ(empty.exitCode, 3) << empty.err.toStdString();

    const ProgramRun unsigned_ = rapo(dir, {"--report", "31.03.2014", "31.03.2014", "--sign"});
    EXPECT_EQ(unsigned_.exitCode, 1);
    EXPECT_TRUE(unsigned_.err.contains("PassPhrase")) << unsigned_.err.toStdString();
    EXPECT_FALSE(unsigned_.err.contains("Faza 1")) << "nothing is collected without credentials";

    const ProgramRun bad = rapo(dir, {"--report", "31.02.2014", "01.03.2014"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("\"31.02.2014\" ni datum")) << bad.err.toStdString();
}
// Three trades of the day wrong in three ways: the run lists all three and writes nothing.
TEST(DailyReport, AWrongWorkingSetListsEveryFailingRowAndWritesNothing) {
    TempProgramDirectory dir;
    DemoSite::create("DEMO", dir.path());
    ASSERT_TRUE(QFile::copy(RAPO_DEMO_SCHEMA, dir.file("NTRS.xsd")));
    {
        Database db("DEMO", "demo", "demo", dir.path());
        db.execDirect("UPDATE OSB SET KRTBNK = '123456789012' WHERE SfOsb = (SELECT G.SfOsb "
                      "FROM POG G JOIN PSL P ON P.IdPog = G.IdPog WHERE P.IdPsl = 1005)");
        db.execDirect("UPDATE VLT SET KRT = 'u5d' WHERE SfVlt = (SELECT SfVlt FROM PSL WHERE "
                      "IdPsl = 1007)");
        db.execDirect("UPDATE KTC SET DanPrk = 2456700.5 WHERE SFVP = (SELECT SFVP FROM PSL WHERE "
                      "IdPsl = 1006)");
    }
    const ProgramRun run = rapo(dir, {"--report", "28.03.2014", "28.03.2014"});
    EXPECT_EQ(run.exitCode, 1);
    for (const char *line :
         {"100000001005\tKratica banke\t123456789012\t10(x)\t", "100000001007\tValuta\tU5D\t3(a)\t",
          "100000001006\tInstrument\tGTKS\todprta kotacija\t"})
        EXPECT_TRUE(run.err.contains(line)) << line << "\n" << run.err.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList({"TRDAT01_*"}).isEmpty());
}
} // namespace
