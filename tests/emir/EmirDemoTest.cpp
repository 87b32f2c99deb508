#include "Configuration.h"
#include "Database.h"
#include "DemoSite.h"
#include "EmirDisputeImport.h"
#include "EmirFile.h"
#include "EmirReports.h"
#include "FakeClock.h"
#include "Query.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TempProgramDirectory.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
// Every EMIR report of the demo site writes a file that the demo's stand-in schema accepts:
// the cancelled one as its cancellation, its cancellation report without disputes, and the
// March report with its three disputes and the three of the demo's dispute workbook.
TEST(EmirDemo, EveryReportWritesAValidFileOfItsKind) {
    TempProgramDirectory dir;
    DemoSite::create("DEMO", dir.path());
    ASSERT_TRUE(QFile::copy(RAPO_EMIR_SCHEMA, dir.file("EMIR.xsd")));
    const Configuration configuration = Configuration::read(dir.path());
    Database db("DEMO", "demo", "demo", dir.path());
    ScriptedPrompter prompter;
    FakeClock clock{QDateTime(QDate(2014, 4, 3), QTime(16, 0))};
    FakeWaiter waiter{clock};
    Session session(db, configuration, "DEMO", dir.path(), prompter, clock, waiter);

    Query list(db);
    EmirReports::load(list, QDate(2014, 1, 1), QDate(2014, 12, 31));
    QStringList kinds;
    for (; !list.eof(); list.next()) {
        const EmirReports::Report report = EmirReports::rowOf(list);
        if (report.zapSt == 3) {
            EXPECT_EQ(EmirDisputeImport::run(session, report.id, RAPO_EMIR_DEMO_DISPUTES), 3);
        }
        prompter.answers = {true, true};
        const EmirFile::Result result =
            EmirFile::write(session, report.id, QDate(2014, 1, 1), QDate(2014, 12, 31));
        EXPECT_TRUE(result.errorLine.isEmpty()) << result.errorLine.toStdString();
        QFile file(result.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << result.path.toStdString();
        const QByteArray text = file.readAll();
        const int items = int(text.count("<Postavka>"));
        kinds << QString::number(report.zapSt) + ':' +
                     (text.contains("<Preklici>")            ? QStringLiteral("preklic")
                      : text.contains("<SifraPorocila>EMSP") ? QStringLiteral("EMSP")
                                                             : QStringLiteral("EMTR")) +
                     '/' + QString::number(items);
    }
    kinds.sort();
    EXPECT_EQ(kinds, QStringList({"1:preklic/0", "2:EMTR/1", "3:EMSP/6"}));
}
} // namespace
