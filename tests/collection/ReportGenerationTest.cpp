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
#include "ReportRegeneration.h"
#include "ReportRegister.h"
#include "RunState.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TempProgramDirectory.h"
#include "TestDatabase.h"
#include "WorkingSet.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <functional>
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

// Another workstation registers a report of the same number while this one writes its file:
// through a connection of its own, between the numbering and the register's transaction.
void registerElsewhere(DemoReport &demo, const QString &fileName) {
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "OTHER_WORKSTATION");
        other.setDatabaseName(demo.dir.file("DEMO.sqlite"));
        ASSERT_TRUE(other.open());
        QSqlQuery insert(other);
        ASSERT_TRUE(insert.exec("insert into DPATVP (DPATVPID, DANPOROCANJA, ZAPST, XML_FILE, "
                                "STATUS) values (900, 2456745.0, 2, '" +
                                fileName + "', 0)"))
            << insert.lastError().text().toStdString();
        QFile file(demo.dir.file(fileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the other workstation's report");
    }
    QSqlDatabase::removeDatabase("OTHER_WORKSTATION");
}

TEST(ReportGeneration, ANumberHeldByAWaitingReportPassesToTheNextWithoutReplacingIt) {
    const QString first = "TRDAT01_5842735000_0002_14.xml";
    const QString second = "TRDAT01_5842735000_0003_14.xml";
    for (const bool meanwhile : {false, true}) {
        SCOPED_TRACE(meanwhile ? "registered by another workstation meanwhile"
                               : "generated earlier, still waiting");
        DemoReport demo;
        QString firstContent;
        if (meanwhile) {
            demo.session->onProgress = [&](const QString &step) {
                if (step == "Vpis v register" && !QFile::exists(demo.dir.file(first)))
                    registerElsewhere(demo, first);
            };
        } else {
            demo.collect(QDate(2014, 3, 28));
            ASSERT_TRUE(demo.generate().valid);
            firstContent = demo.read(demo.dir.file(first));
        }
        demo.collect(QDate(2014, 3, 31));
        const auto r = demo.generate();
        ASSERT_TRUE(r.valid) << r.errorLine.toStdString();
        EXPECT_EQ(r.path, demo.dir.file(second));
        if (meanwhile)
            firstContent = "the other workstation's report";
        ASSERT_FALSE(firstContent.isEmpty());
        EXPECT_EQ(demo.read(demo.dir.file(first)), firstContent) << "the other file is kept";
        EXPECT_TRUE(demo.read(r.path).contains("<TransactionReporting>"));
        EXPECT_EQ(demo.scalar("select group_concat(ZAPST || '/' || XML_FILE, ', ') from (select * "
                              "from DPATVP where DAN is null order by ZAPST)")
                      .toString(),
                  "2/" + first + ", 3/" + second);
        EXPECT_TRUE(QDir(demo.dir.path()).entryList({"rapo-porocilo-*"}).isEmpty())
            << "no working folder is left";
    }
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

TEST(ReportGeneration, ACollectionIsRegisteredOnce) {
    DemoReport demo;
    demo.collect(QDate(2014, 3, 28));
    ASSERT_TRUE(demo.generate().valid);
    const qint64 id = demo.scalar("select DPATVPID from DPATVP where ZAPST = 2").toLongLong();
    const QString refusal = "Nabor " + QString::number(id) +
                            " je že vpisan v register kot poročilo TRDAT01_5842735000_0002_14.xml. "
                            "Za novo poročilo teh poslov jih najprej ponovno naberite.";
    for (const char *when : {"still waiting", "sent meanwhile"}) {
        SCOPED_TRACE(when);
        if (QString(when) == "sent meanwhile")
            demo.db->execDirect("update DPATVP set DAN = 2456745.2 where DAN is null");
        try {
            demo.generate();
            ADD_FAILURE() << "registered twice";
        } catch (const RapoError &e) {
            EXPECT_EQ(e.message(), refusal);
        }
        EXPECT_EQ(demo.scalar("select count(*) from DPATVP").toInt(), 2);
        EXPECT_FALSE(QFile::exists(demo.dir.file("TRDAT01_5842735000_0003_14.xml")));
    }
}

// Sent at the end of March, rejected, regenerated: the first attempt fails, the second is
// registered.
TEST(ReportGeneration, AFailedRegenerationKeepsItsStateAndLeavesNoUnregisteredFile) {
    struct Case {
        const char *what;
        std::function<void(DemoReport &)> breakIt, repair;
        QString message; // the start of the error thrown; empty: an invalid file
    };
    const std::vector<Case> cases{
        {"schema refuses the file",
         [](DemoReport &d) {
             QFile::remove(d.dir.file("NTRS.xsd"));
             QFile xsd(d.dir.file("NTRS.xsd"));
             xsd.open(QIODevice::WriteOnly);
             xsd.write("<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
                       "<xs:element name=\"Drugo\"/></xs:schema>");
         },
         [](DemoReport &d) {
             QFile::remove(d.dir.file("NTRS.xsd"));
             QFile::copy(RAPO_DEMO_SCHEMA, d.dir.file("NTRS.xsd"));
         },
         ""},
        {"register insert fails",
         [](DemoReport &d) {
             d.db->execDirect("create trigger DPATVP_LOCKED before insert on DPATVP "
                              "begin select raise(abort, 'zaklenjeno'); end");
         },
         [](DemoReport &d) { d.db->execDirect("drop trigger DPATVP_LOCKED"); },
         "Napaka pri insertu v DPATVP!\r\nzaklenjeno"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DemoReport demo(QDateTime(QDate(2014, 4, 2), QTime(9, 0)));
        demo.collect(QDate(2014, 3, 28));
        ASSERT_TRUE(demo.generate().valid);
        demo.db->execDirect("update DPATVP set DAN = 2456748.5, STATUS = 2 where ZAPST = 2");
        Query q(*demo.db);
        q.setText("select * from DPATVP where ZAPST = 2");
        q.open();
        const ReportRegister::Row rejected = ReportRegister::rowOf(q);
        q.close();
        ReportRegeneration::start(*demo.session, *demo.workingSet, demo.state, rejected);
        demo.from = QDate(2014, 3, 28);
        const QString name = demo.dir.file("TRDAT01_5842735000_0003_14");

        c.breakIt(demo);
        try {
            const auto failed = demo.generate();
            EXPECT_TRUE(c.message.isEmpty());
            EXPECT_FALSE(failed.valid);
        } catch (const RapoError &e) {
            EXPECT_TRUE(e.message().startsWith(c.message)) << e.message().toStdString();
            EXPECT_FALSE(c.message.isEmpty());
        }
        EXPECT_FALSE(QFile::exists(name + ".xml")) << "no valid file without its row";
        EXPECT_TRUE(QFile::exists(name + ".bad"));
        EXPECT_EQ(demo.scalar("select count(*) from DPATVP").toInt(), 2);
        EXPECT_TRUE(demo.state.regeneration.active);

        c.repair(demo);
        const auto second = demo.generate();
        EXPECT_TRUE(second.valid) << second.errorLine.toStdString();
        EXPECT_EQ(second.path, name + ".xml");
        EXPECT_EQ(demo.scalar("select group_concat(DPATVPID || '/' || ZAPST || '/' || STATUS || "
                              "'/' || XML_FILE || '/' || ifnull(strftime('%d.%m.%Y %H:%M', DAN), "
                              "'-'), ', ') from (select * from DPATVP order by ZAPST)")
                      .toString(),
                  QString("1/1/1/TRDAT01_5842735000_0001_14.xml/27.03.2014 17:05, %1/2/2/"
                          "TRDAT01_5842735000_0002_14.xml/01.04.2014 00:00, %1/3/3/"
                          "TRDAT01_5842735000_0003_14.xml/-")
                      .arg(rejected.id));
        EXPECT_FALSE(demo.state.regeneration.active);
    }
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
