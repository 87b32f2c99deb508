#include "ReportGeneration.h"
#include "CollectionRun.h"
#include "Configuration.h"
#include "Database.h"
#include "DemoSite.h"
#include "FakeClock.h"
#include "NtrsDocument.h"
#include "Query.h"
#include "RapoError.h"
#include "RecordContent.h"
#include "RunState.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TempProgramDirectory.h"
#include "TestDatabase.h"
#include "WorkingSet.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
struct DemoReport {
    explicit DemoReport(QDateTime now = QDateTime(QDate(2014, 3, 28), QTime(17, 0))) : clock(now) {
        DemoSite::create("DEMO", dir.path());
        QFile::copy(RAPO_DEMO_SCHEMA, dir.file("NTRS.xsd"));
        configuration = Configuration::read(dir.path());
        db = std::make_unique<Database>("DEMO", "demo", "demo", dir.path());
        session = std::make_unique<Session>(*db, configuration, "DEMO", dir.path(), prompter, clock,
                                            waiter);
        workingSet = std::make_unique<WorkingSet>(*session);
    }
    CollectionRun::Result collect(const QDate &day) {
        from = to = day;
        return CollectionRun::run(*session, *workingSet, state, day, day);
    }
    ReportGeneration::Result generate() {
        return ReportGeneration::generate(*session, workingSet->qDPATVPPSL,
                                          workingSet->qSifrantFinInstr, state, from, to);
    }
    QString read(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QVariant scalar(const QString &sql) {
        Query q(*db);
        q.setText(sql);
        q.open();
        return q.valueAt(0, 0);
    }

    TempProgramDirectory dir;
    Configuration configuration;
    std::unique_ptr<Database> db;
    ScriptedPrompter prompter;
    FakeClock clock;
    FakeWaiter waiter{clock};
    RunState state;
    QDate from, to;
    std::unique_ptr<Session> session;
    std::unique_ptr<WorkingSet> workingSet;
};

TEST(ReportGeneration, ADemoCollectionBecomesAValidRegisteredReport) {
    DemoReport demo;
    ASSERT_TRUE(demo.collect(QDate(2014, 3, 28)).generationEnabled);
    const auto r = demo.generate();
    EXPECT_TRUE(r.valid) << r.errorLine.toStdString();
    EXPECT_EQ(r.path, demo.dir.file("TRDAT01_5842735000_0002_14.xml"));
    const QString xml = demo.read(r.path);
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    EXPECT_TRUE(xml.contains("MaticnaStevilkaZavezanca=\"5842735000\""));
    EXPECT_TRUE(xml.contains("CreationDate=\"2014-03-28\""));
    EXPECT_TRUE(xml.contains("CreationTimeOffset=\"+01\""));
    EXPECT_TRUE(
        xml.contains("<TransactionReferenceNumber>100000001005</TransactionReferenceNumber>"));
    EXPECT_TRUE(xml.contains("<CancelledTransactionReferenceNumber>100000001002<"));
    EXPECT_EQ(demo.scalar("select count(*) from DPATVP where ZAPST = 2 and STATUS = 0 and DAN is "
                          "null and XML_FILE = 'TRDAT01_5842735000_0002_14.xml'")
                  .toInt(),
              1);
    EXPECT_EQ(demo.scalar("select count(*) from ACT where Tbl = 'DPATVP' and SfAct = '+'").toInt(),
              1);
}

TEST(ReportGeneration, TheDb2DialectNumbersAndRegistersAlike) {
    DemoReport demo;
    demo.configuration.isDb2 = true;
    demo.workingSet = std::make_unique<WorkingSet>(*demo.session);
    ASSERT_TRUE(demo.collect(QDate(2014, 3, 28)).generationEnabled);
    const auto r = demo.generate();
    EXPECT_TRUE(r.valid) << r.errorLine.toStdString();
    EXPECT_TRUE(r.path.endsWith("TRDAT01_5842735000_0002_14.xml")) << r.path.toStdString();
}

TEST(ReportGeneration, OnlyCancellationsGiveAnInvalidFileRenamedBad) {
    DemoReport demo(QDateTime(QDate(2014, 3, 29), QTime(17, 0)));
    demo.collect(QDate(2014, 3, 29));
    const auto r = demo.generate();
    EXPECT_FALSE(r.valid);
    EXPECT_TRUE(r.path.endsWith("TRDAT01_5842735000_0002_14.bad")) << r.path.toStdString();
    EXPECT_TRUE(QFile::exists(r.path));
    EXPECT_FALSE(QFile::exists(demo.dir.file("TRDAT01_5842735000_0002_14.xml")));
    EXPECT_TRUE(r.errorLine.contains(",")) << r.errorLine.toStdString();
    EXPECT_EQ(demo.scalar("select count(*) from DPATVP").toInt(), 1) << "nothing registered";
}

TEST(ReportGeneration, TheDemoFileOfTheFirstOfAprilPassesXmllint) {
    DemoReport demo(QDateTime(QDate(2014, 4, 1), QTime(17, 0)));
    ASSERT_EQ(demo.collect(QDate(2014, 4, 1)).ending, CollectionRun::Ending::Loaded);
    const auto r = demo.generate();
    ASSERT_TRUE(r.valid) << r.errorLine.toStdString();
    QProcess xmllint;
    xmllint.setWorkingDirectory(demo.dir.path());
    xmllint.start("xmllint", {"--noout", "--schema", "NTRS.xsd", r.path});
    ASSERT_TRUE(xmllint.waitForFinished(30000));
    EXPECT_EQ(xmllint.exitCode(), 0) << xmllint.readAllStandardError().toStdString();
    const QString xml = demo.read(r.path);
    EXPECT_EQ(xml.count("<TransactionRecordInfo>"), 8) << "1016 is left out, 1020 never collected";
    EXPECT_EQ(demo.scalar("select STATUS from DPATVP where ZAPST = 2").toInt(), 0);
}

TEST(ReportGeneration, AWaitingReportOfTheSameNumberIsNotReplaced) {
    DemoReport demo;
    demo.collect(QDate(2014, 3, 28));
    const auto first = demo.generate();
    ASSERT_TRUE(first.valid);
    const QString content = demo.read(first.path);
    demo.collect(QDate(2014, 3, 31));
    try {
        demo.generate();
        FAIL() << "the waiting report would be replaced";
    } catch (const RapoError &e) {
        EXPECT_TRUE(e.message().contains("TRDAT01_5842735000_0002_14.xml"))
            << e.message().toStdString();
    }
    EXPECT_EQ(demo.read(first.path), content);
    EXPECT_EQ(demo.scalar("select count(*) from DPATVP").toInt(), 2);
}

TEST(ReportGeneration, AFirmNumberBeginningWithZeroAndAVenueWithoutZone) {
    DemoReport demo(QDateTime(QDate(2014, 3, 28), QTime(17, 0)));
    demo.configuration.matStev = "0123456789";
    demo.configuration.sfTrgaPorocevalca = "9"; // over the counter: no time zone
    demo.clock.set(QDateTime(QDate(2014, 7, 1), QTime(9, 0)));
    demo.collect(QDate(2014, 3, 28));
    const auto r = demo.generate();
    EXPECT_TRUE(r.path.endsWith("TRDAT01_1234560000_0002_14.xml")) << r.path.toStdString();
    const QString xml = demo.read(r.path);
    EXPECT_TRUE(xml.contains("MaticnaStevilkaZavezanca=\"0123456000\""));
    EXPECT_TRUE(xml.contains("CreationTimeOffset=\"+02\"")) << "+01 of venue 8, in summer";
}

TEST(ReportGeneration, AFailingRegisterInsertLeavesTheValidFile) {
    DemoReport demo;
    demo.collect(QDate(2014, 3, 28));
    // The activity log cannot draw its identity, so the register row cannot be written.
    demo.db->execDirect("DELETE FROM RAPO_SEQUENCE WHERE NAME = 'ACT_IDACT_SEQ'");
    try {
        demo.generate();
        FAIL();
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Napaka pri insertu v DPATVP!");
    }
    EXPECT_TRUE(QFile::exists(demo.dir.file("TRDAT01_5842735000_0002_14.xml")));
    EXPECT_EQ(demo.scalar("select count(*) from DPATVP").toInt(), 1);
}

TEST(ReportGeneration, AnEmptyWorkingSetIsRefused) {
    DemoReport demo;
    demo.collect(QDate(2014, 3, 28));
    demo.workingSet->qDPATVPPSL.close();
    try {
        demo.generate();
        FAIL();
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), "Nabor je prazen! Generiranje XML ni možno!");
    }
}

// An instrument record filled from a row of literal values: the rules host data never reach.
QString fillInstrument(const QString &columns) {
    TestDatabase t;
    Configuration config;
    Query row(*t.db);
    row.setText("select 'BROKSI22' as Swift_BPH, 7 as IntIdent, 'Ime' as ImeInstrumenta, "
                "'Izdajatelj' as ImeIzdajatelja, 'SI' as ISOKODA, 1 as GlvNmn, 'EUR' as VLT, "
                "0 as LOTEMS, null as Referenca, 'N' as KOS, " +
                columns + " from dual");
    row.open();
    NtrsDocument document;
    RecordContent(config, "42").fillInstrument(document.root().Sifrant().append(), row);
    // Compact: the layout between elements carries no meaning.
    return QString::fromUtf8(document.xml()).replace(QRegularExpression(">\\s+<"), "><");
}

TEST(RecordContent, AnInstrumentWithoutChangeDateGivesTheEmptyDate) {
    EXPECT_TRUE(fillInstrument("'SI0031102120' as ISIN, 'ESVUFR' as TipInstr, null as DanSpr, "
                               "null as DatumPrenehanja")
                    .contains("<LastChangeDate>1899-12-30</LastChangeDate>"));
}

TEST(RecordContent, ADerivativeWithANegativeStrikeStops) {
    try {
        fillInstrument("'N' as ISIN, 'FXXXXX' as TipInstr, null as DanSpr, 'XEUR' as TRG_MIC, "
                       "'FDAX' as KRT, 2456829.5 as DatumPrenehanja, -1 as IZVCEN");
        FAIL();
    } catch (const RapoError &e) {
        EXPECT_EQ(e.message(), QString::fromUtf8("Manjka izvršilna cena za FI FDAX ."));
    }
}
} // namespace
