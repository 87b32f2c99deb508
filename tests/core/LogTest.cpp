#include "ActivityLog.h"
#include "DebugLog.h"
#include "EditableTable.h"
#include "FakeClock.h"
#include "NextIdentity.h"
#include "Query.h"
#include "RapoError.h"
#include "TestDatabase.h"
#include "Transaction.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <gtest/gtest.h>

namespace {
struct ActRow {
    qint64 id;
    QString usr, mark, app, org, cmp, db, table, content;
    QDateTime at;
};

QList<ActRow> actRows(Database &db) {
    Query q(db);
    q.setText("select * from ACT order by IdAct");
    q.open();
    QList<ActRow> rows;
    for (; !q.eof(); q.next())
        rows.append({q.asInteger("IdAct"), q.asString("Usr"), q.asString("SfAct"),
                     q.asString("SfApp"), q.asString("SfOrg"), q.asString("Cmp"), q.asString("Db"),
                     q.asString("Tbl"), q.asString("Cnt"), q.asDateTime("Cas")});
    return rows;
}

TEST(ActivityLog, AnInsertedAssignmentLeavesItsExactRow) {
    TestDatabase t;
    FakeClock clock;
    ActivityLog log(*t.db, clock, "MARKO");
    EditableTable tDPATVPPSL(*t.db, "DPATVPPSL");
    log.attach(tDPATVPPSL);
    tDPATVPPSL.open();
    tDPATVPPSL.append();
    tDPATVPPSL.setValue("DPATVPID", 12);
    tDPATVPPSL.setValue("IDPSL", 4711);
    tDPATVPPSL.setValue("ISSTN", "N");
    tDPATVPPSL.setValue("IDREFATVP", 1001);
    tDPATVPPSL.post();

    const QList<ActRow> rows = actRows(*t.db);
    ASSERT_EQ(rows.size(), 1);
    const ActRow &r = rows[0];
    EXPECT_EQ(r.id, 1);
    EXPECT_EQ(r.usr, "MARKO");
    EXPECT_EQ(r.mark, "+");
    EXPECT_EQ(r.app, "R");
    EXPECT_EQ(r.org, "0");
    EXPECT_EQ(r.cmp, QSysInfo::machineHostName());
    EXPECT_EQ(r.db, "LB");
    EXPECT_EQ(r.table, "DPATVPPSL");
    EXPECT_EQ(r.at, clock.now());
    EXPECT_EQ(r.content, "12#|DPATVPID#|4711#|IDPSL#|N#|ISSTN#|1001#|IDREFATVP#|");
}

TEST(ActivityLog, ChangesAndDeletionsAreMarkedAndDeletionLogsTheRowAsItWas) {
    TestDatabase t;
    FakeClock clock;
    ActivityLog log(*t.db, clock, "");
    EditableTable tDPATVP(*t.db, "DPATVP");
    log.attach(tDPATVP);
    tDPATVP.open();
    tDPATVP.append();
    tDPATVP.setValue("DPATVPID", 3);
    tDPATVP.setValue("DANPOROCANJA", QDate(2014, 4, 1));
    tDPATVP.setValue("DAN", QDateTime(QDate(2014, 4, 2), QTime(9, 15, 30)));
    tDPATVP.setValue("ZAPST", 7);
    tDPATVP.setValue("XML_FILE", "TRDAT01_x.xml");
    tDPATVP.setValue("STATUS", 0);
    tDPATVP.post();
    tDPATVP.edit();
    tDPATVP.setValue("STATUS", 2.5);
    tDPATVP.post();
    tDPATVP.deleteRow();

    const QList<ActRow> rows = actRows(*t.db);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].mark, "+");
    EXPECT_EQ(rows[1].mark, "^");
    EXPECT_EQ(rows[2].mark, "-");
    EXPECT_TRUE(rows[2].usr.isEmpty()) << "no application user on the command line";
    EXPECT_EQ(rows[2].content, "3#|DPATVPID#|01.04.2014#|DANPOROCANJA#|02.04.2014 09:15:30#|DAN#|"
                               "7#|ZAPST#|TRDAT01_x.xml#|XML_FILE#|2.5#|STATUS#|#|DANOD#|");
    EXPECT_EQ(rows[2].id, 3);
}

TEST(ActivityLog, AFailingLogRowFailsTheChange) {
    TestDatabase t;
    FakeClock clock;
    ActivityLog log(*t.db, clock, "MARKO");
    t.exec("DELETE FROM RAPO_SEQUENCE WHERE NAME = 'ACT_IDACT_SEQ'");
    EditableTable tDPATVPPSL(*t.db, "DPATVPPSL");
    log.attach(tDPATVPPSL);
    tDPATVPPSL.open();
    Transaction tx(*t.db);
    tDPATVPPSL.append();
    tDPATVPPSL.setValue("DPATVPID", 1);
    tDPATVPPSL.setValue("IDPSL", 1);
    tDPATVPPSL.setValue("ISSTN", "N");
    tDPATVPPSL.setValue("IDREFATVP", 1);
    EXPECT_THROW(tDPATVPPSL.post(), RapoError);
    tx.rollback();
    EXPECT_EQ(t.scalar("select count(*) from DPATVPPSL").toInt(), 0);
    EXPECT_EQ(t.scalar("select count(*) from ACT").toInt(), 0);
}

TEST(NextIdentity, DrawsFromTheTablesSequenceInEachDialectAndNamesItWhenItFails) {
    TestDatabase t;
    EXPECT_EQ(nextIdentitySql("ACT_IDACT_SEQ", false),
              "SELECT ACT_IDACT_SEQ.NEXTVAL AS NewId FROM dual");
    // DB2 has no dual.
    EXPECT_EQ(nextIdentitySql("ACT_IDACT_SEQ", true),
              "SELECT NEXTVAL FOR ACT_IDACT_SEQ AS NewId FROM SYSIBM.SYSDUMMY1");
    EXPECT_EQ(nextIdentity(*t.db, "EMIRPOSEL", "ID", false), 1);
    EXPECT_EQ(nextIdentity(*t.db, "EMIRPOSEL", "ID", true), 2);
    try {
        nextIdentity(*t.db, "NOSUCH", "ID", false);
        FAIL();
    } catch (const RapoError &e) {
        EXPECT_TRUE(e.message().startsWith(
            "EDatabaseError: napaka pri sekvenci NOSUCH_ID_SEQ. Sporočilo: "))
            << e.message().toStdString();
    }
}

QString readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST(DebugLog, OffWritesNothing) {
    TempProgramDirectory dir;
    FakeClock clock;
    DebugLog(false, dir.path(), clock).write("Nabor: začetek");
    EXPECT_FALSE(QFile::exists(dir.file("Log.txt")));
}

TEST(DebugLog, FirstLineCreatesTheFileLaterLinesAppendAcrossRuns) {
    TempProgramDirectory dir;
    FakeClock clock(QDateTime(QDate(2014, 4, 1), QTime(13, 5, 9)));
    DebugLog(true, dir.path(), clock).write(QString::fromUtf8("Nabor: začetek"));
    clock.advance(1000);
    DebugLog(true, dir.path(), clock).write("Nabor: konec");
    EXPECT_EQ(readAll(dir.file("Log.txt")),
              QString::fromUtf8("01.04.2014 13:05:09 : Nabor: začetek\n"
                                "01.04.2014 13:05:10 : Nabor: konec\n"));
}

TEST(DebugLog, AFileThatCannotBeWrittenFailsTheOperation) {
    TempProgramDirectory dir;
    FakeClock clock;
    // A directory in the file's place cannot be written, whatever the user's rights.
    ASSERT_TRUE(QDir(dir.path()).mkdir("Log.txt"));
    const DebugLog log(true, dir.path(), clock);
    try {
        log.write("x");
        FAIL() << "writing the debug log must fail";
    } catch (const RapoError &e) {
        EXPECT_TRUE(e.message().contains("Log.txt")) << e.message().toStdString();
    }
}
} // namespace
