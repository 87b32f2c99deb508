// The reporting day's road on the demo site: a generated report is listed, signed with the real
// GnuPG, marked sent and delivered, and the lists follow.
#include "CollectionRun.h"
#include "Configuration.h"
#include "Database.h"
#include "DemoSite.h"
#include "FakeClock.h"
#include "GnupgHomes.h"
#include "QProcessRunner.h"
#include "Query.h"
#include "ReportFileLists.h"
#include "ReportGeneration.h"
#include "ReportSigning.h"
#include "RunState.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TempProgramDirectory.h"
#include "WorkingSet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QStringList withMarks(Session &session) {
    const QStringList entries = ReportFileLists::signedFiles(session);
    const QList<bool> marks = ReportFileLists::sentMarks(session, entries);
    QStringList out;
    for (qsizetype i = 0; i < entries.size(); ++i)
        out << entries[i] + (marks[i] ? "+" : "");
    out.sort();
    return out;
}

TEST(DemoReportDelivery, AGeneratedReportIsListedSignedMarkedAndDelivered) {
    GnupgHomes homes("demo geslo");
    ASSERT_TRUE(homes.ready());
    TempProgramDirectory dir;
    QTemporaryDir xmlServer;
    QTemporaryDir sigServer;
    DemoSite::create("DEMO", dir.path());
    QFile::copy(RAPO_DEMO_SCHEMA, dir.file("NTRS.xsd"));
    Configuration configuration = Configuration::read(dir.path());
    ASSERT_EQ(configuration.atvpUporabnik, "ATVP-NTRS");
    configuration.xmlPathServer = xmlServer.path();
    configuration.sigPathServer = sigServer.path() + "/";
    Database db("DEMO", "demo", "demo", dir.path());
    ScriptedPrompter prompter;
    FakeClock clock(QDateTime(QDate(2014, 3, 28), QTime(17, 0)));
    FakeWaiter waiter(clock);
    Session session(db, configuration, "DEMO", dir.path(), prompter, clock, waiter);
    WorkingSet workingSet(session);
    RunState state;
    const QDate day(2014, 3, 28);
    ASSERT_TRUE(CollectionRun::run(session, workingSet, state, day, day).generationEnabled);
    const ReportGeneration::Result generated = ReportGeneration::generate(
        session, workingSet.qDPATVPPSL, workingSet.qSifrantFinInstr, state, day, day);
    ASSERT_TRUE(generated.valid) << generated.errorLine.toStdString();
    const QString name = QFileInfo(generated.path).fileName();
    const QString signature = ReportFileLists::signatureName(name);

    EXPECT_TRUE(ReportFileLists::unsent(session).contains(name));
    EXPECT_FALSE(withMarks(session).contains(signature + "+"));

    EventLoopWaiter eventLoop;
    SystemClock systemClock;
    QProcessRunner runner(eventLoop, systemClock);
    clock.set(QDateTime(QDate(2014, 3, 31), QTime(8, 15)));
    ReportSigning(session, runner)
        .signAndDeliver(ReportSigning::Credentials{GnupgHomes::brokerageUser, "demo geslo"},
                        {name});

    EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
    EXPECT_FALSE(ReportFileLists::unsent(session).contains(name));
    EXPECT_TRUE(withMarks(session).contains(signature + "+"));
    EXPECT_TRUE(QFile::exists(QDir(xmlServer.path()).filePath(name)));
    const GnupgHomes::Opened opened = homes.openAsRegulator(sigServer.filePath(signature));
    EXPECT_TRUE(opened.decrypted);
    EXPECT_TRUE(opened.text.contains("MaticnaStevilkaZavezanca=\"5842735000\""));
    Query q(db);
    q.setText("select DAN from DPATVP where XML_FILE = :F");
    q.setString("F", name);
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.asDateTime("DAN"), clock.now());
}
} // namespace
