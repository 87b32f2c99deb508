// The reporting day's road on the demo site: a generated report is listed, signed with the real
// GnuPG, marked sent and delivered, and the lists follow.
#include "CollectionRun.h"
#include "Configuration.h"
#include "Database.h"
#include "DemoSite.h"
#include "FakeClock.h"
#include "FakeProcessRunner.h"
#include "GnupgHomes.h"
#include "QProcessRunner.h"
#include "Query.h"
#include "RapoError.h"
#include "ReportFileLists.h"
#include "ReportGeneration.h"
#include "ReportRegeneration.h"
#include "ReportRegister.h"
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

// A sent report is rejected and regenerated while the next day's report waits to be signed: the
// generation is refused until that one is sent, then the regenerated report gets a number and file
// of its own, and nothing sent is touched.
TEST(DemoReportDelivery, ARegenerationNeverTakesTheFileOfAnotherReport) {
    TempProgramDirectory dir;
    QTemporaryDir xmlServer;
    QTemporaryDir sigServer;
    DemoSite::create("DEMO", dir.path());
    QFile::copy(RAPO_DEMO_SCHEMA, dir.file("NTRS.xsd"));
    Configuration configuration = Configuration::read(dir.path());
    configuration.xmlPathServer = xmlServer.path() + "/";
    configuration.sigPathServer = sigServer.path() + "/";
    Database db("DEMO", "demo", "demo", dir.path());
    ScriptedPrompter prompter;
    FakeClock clock(QDateTime(QDate(2014, 3, 28), QTime(17, 0)));
    FakeWaiter waiter(clock);
    Session session(db, configuration, "DEMO", dir.path(), prompter, clock, waiter);
    WorkingSet workingSet(session);
    RunState state;
    FakeProcessRunner runner;
    ReportSigning signing(session, runner);
    QDate from, to;
    const auto collectAndGenerate = [&](const QDate &day) {
        from = to = day;
        EXPECT_TRUE(CollectionRun::run(session, workingSet, state, day, day).generationEnabled);
        return ReportGeneration::generate(session, workingSet.qDPATVPPSL,
                                          workingSet.qSifrantFinInstr, state, from, to);
    };
    const auto sign = [&](const QString &file, const QDateTime &at) {
        clock.set(at);
        EXPECT_EQ(
            signing.signAndDeliver(ReportSigning::Credentials{"Borzni posrednik", "geslo"}, {file}),
            QStringList{file});
    };
    const auto delivered = [&](const QString &file) {
        QFile f(QDir(xmlServer.path()).filePath(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QString a = "TRDAT01_5842735000_0002_14.xml";
    const QString b = "TRDAT01_5842735000_0003_14.xml";
    const QString c = "TRDAT01_5842735000_0004_14.xml";
    const QDateTime t1(QDate(2014, 3, 28), QTime(17, 30));
    const QDateTime t2(QDate(2014, 4, 1), QTime(9, 0));

    ASSERT_TRUE(collectAndGenerate(QDate(2014, 3, 28)).valid);
    sign(a, t1);
    clock.set(QDateTime(QDate(2014, 3, 31), QTime(17, 0)));
    ASSERT_TRUE(collectAndGenerate(QDate(2014, 3, 31)).valid);
    const QByteArray sentA = delivered(a);

    Query list(db);
    ReportRegister::load(list, QDate(2014, 3, 28), QDate(2014, 3, 28));
    for (; !list.eof() && list.asString("XML_FILE") != a; list.next()) {
    }
    ASSERT_FALSE(list.eof());
    ReportRegister::reject(session, ReportRegister::rowOf(list));
    ReportRegister::load(list, QDate(2014, 3, 28), QDate(2014, 3, 28));
    for (; !list.eof() && list.asString("XML_FILE") != a; list.next()) {
    }
    const ReportRegister::Row rejected = ReportRegister::rowOf(list);
    ASSERT_EQ(rejected.status, 2);
    const auto regeneration = ReportRegeneration::start(session, workingSet, state, rejected);
    from = regeneration.from;
    to = regeneration.to;
    // The rejected report's number is the next of its year, held by the report still waiting:
    // the regeneration passes to the one after it and leaves the waiting file as it is.
    const auto regenerated = ReportGeneration::generate(
        session, workingSet.qDPATVPPSL, workingSet.qSifrantFinInstr, state, from, to);
    ASSERT_TRUE(regenerated.valid) << regenerated.errorLine.toStdString();
    EXPECT_EQ(regenerated.path, dir.file(c));
    sign(b, t2);
    const QByteArray sentB = delivered(b);
    EXPECT_FALSE(sentB.isEmpty());

    Query q(db);
    q.setText("select * from DPATVP order by ZAPST");
    q.open();
    QStringList rows;
    for (; !q.eof(); q.next())
        rows << q.asString("ZAPST") + "/" + q.asString("STATUS") + "/" + q.asString("XML_FILE") +
                    "/" +
                    (q.isNull("DAN") ? "-" : q.asDateTime("DAN").toString("dd.MM.yyyy hh:mm"));
    EXPECT_EQ(rows, (QStringList{"1/1/TRDAT01_5842735000_0001_14.xml/27.03.2014 17:05",
                                 "2/2/" + a + "/28.03.2014 17:30", "3/0/" + b + "/01.04.2014 09:00",
                                 "4/3/" + c + "/-"}));
    q.close();
    q.setText("select count(*) - count(distinct upper(XML_FILE)) as N from DPATVP");
    q.open();
    EXPECT_EQ(q.asInteger("N"), 0) << "every file name in the register is unique";
    EXPECT_EQ(delivered(a), sentA);
    EXPECT_EQ(delivered(b), sentB);
    EXPECT_TRUE(QFile::exists(dir.file(c)));
}
} // namespace
