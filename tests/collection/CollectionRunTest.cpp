#include "CollectionFixture.h"
#include "Query.h"
#include "RapoError.h"

#include <QFile>
#include <QSysInfo>

#include <gtest/gtest.h>

namespace {
const QDate day1(2014, 4, 1);
const QDate day2(2014, 4, 2);

TEST(CollectionRun, NothingToCollectCommitsNothingAndSaysNothing) {
    CollectionFixture f;
    const auto r = f.run(day1);
    EXPECT_EQ(r.collectionId, 1);
    EXPECT_EQ(r.ending, CollectionRun::Ending::Loaded);
    EXPECT_EQ(r.rows, 0);
    EXPECT_FALSE(r.generationEnabled);
    EXPECT_TRUE(f.prompter.texts.isEmpty());
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVPPSL").toInt(), 0);
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVP_SFVP").toInt(), 0);
    EXPECT_EQ(f.state.collectedPeriod, "01.04.2014;01.04.2014");
}

TEST(CollectionRun, CollectsThePeriodsTradesWithReferencesAndActivityLog) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day1});
    f.host.trade({2, day2});
    f.host.trade({3, QDate(2014, 3, 31)});
    const auto r = f.run(day1, day2);
    EXPECT_EQ(f.assignments(r.collectionId), (QStringList{"1:N", "2:N"}));
    EXPECT_EQ(f.t.scalar("select count(distinct IDREFATVP) from DPATVPPSL").toInt(), 2);
    EXPECT_EQ(f.t.scalar("select count(*) from ACT where Tbl='DPATVPPSL' and SfAct='+'").toInt(),
              2);
    EXPECT_EQ(r.rows, 2);
    EXPECT_TRUE(r.generationEnabled);
    EXPECT_EQ(f.column("IdPsl"), (QStringList{"1", "2"}));
    EXPECT_EQ(f.column("ISIN"), (QStringList{"SI0031102120", "SI0031102120"}));
    EXPECT_EQ(f.column("IndNakProd"), (QStringList{"B", "B"}));
    EXPECT_EQ(f.column("TrgZmog"), (QStringList{"A", "A"}));
    EXPECT_EQ(f.column("MTS_BPHCalc"), (QStringList{"5860571", "5860571"}));
    EXPECT_EQ(f.column("SWIFT_BPH"), (QStringList{"BROKSI22", "BROKSI22"}));
    EXPECT_EQ(f.column("Valuta"), (QStringList{"EUR", "EUR"}));
    EXPECT_EQ(f.column("OznakaKlijenta"), (QStringList{"BIC", "BIC"}));
    EXPECT_EQ(f.column("OznakaIdentMesta"), (QStringList{"MIC", "MIC"}));
    EXPECT_EQ(f.column("IdentMesta"), (QStringList{"XLJU", "XLJU"}));
    EXPECT_EQ(f.column("RefStTransaC"), (QStringList{"1", "2"})) << "no prefix: the number itself";
}

// Phase 1 inserts and logs the day's trades by one statement each; the activity log numbers
// them in the order their reference numbers were drawn, as row-by-row logging did.
TEST(CollectionRun, TheActivityLogNumbersTheTradesInTheirReferenceOrder) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day2});
    f.host.trade({2, day1});
    f.host.trade({3, day1});
    const auto r = f.run(day1, day2);
    Query assignments(*f.t.db);
    assignments.setText("select * from DPATVPPSL order by IDREFATVP");
    QStringList expected;
    int idAct = 0;
    for (assignments.open(); !assignments.eof(); assignments.next())
        expected << QString::number(++idAct) + "|MARKO|+|02.04.2014 09:00:00|R|0|" +
                        QSysInfo::machineHostName() + "|LB|DPATVPPSL|" +
                        QString::number(r.collectionId) + "#|DPATVPID#|" +
                        assignments.asString("IDPSL") + "#|IDPSL#|N#|ISSTN#|" +
                        assignments.asString("IDREFATVP") + "#|IDREFATVP#|";
    Query log(*f.t.db);
    log.setText("select * from ACT order by IdAct");
    QStringList logged;
    for (log.open(); !log.eof(); log.next())
        logged << log.asString("IdAct") + '|' + log.asString("Usr") + '|' + log.asString("SfAct") +
                      '|' + log.asString("Cas") + '|' + log.asString("SfApp") + '|' +
                      log.asString("SfOrg") + '|' + log.asString("Cmp") + '|' + log.asString("Db") +
                      '|' + log.asString("Tbl") + '|' + log.asString("Cnt");
    EXPECT_EQ(logged, expected);
    EXPECT_EQ(f.t.scalar("select group_concat(IDPSL) from (select IDPSL from DPATVPPSL order by "
                         "IDREFATVP)")
                  .toString(),
              "2,3,1")
        << "the trades of the earlier day first";
}

// The debug log is buffered for the run; a step that fails leaves its lines in the file.
TEST(CollectionRun, AFailedPhaseLeavesItsDebugLinesInTheLog) {
    Configuration c;
    c.debug = true;
    CollectionFixture f(c);
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day1});
    f.host.exec("DROP TABLE DPATVPPSLSTN");
    EXPECT_THROW(f.run(day1), RapoError);
    QFile log(f.t.dir.file("Log.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains("INSERT DPATVPPSL: IdPsl:1")) << text.toStdString();
    // The log ends with the rollback and the phase's message with its cause.
    const QString tail = text.mid(text.lastIndexOf("po 2 Rollback!"));
    EXPECT_TRUE(tail.contains("Napaka pri insertu v DPATVPPSL (faza 2)!")) << text.toStdString();
    EXPECT_TRUE(tail.contains("Tabele DPATVPPSLSTN v podatkovni zbirki ni")) << text.toStdString();
}

TEST(CollectionRun, OnlyCancellationsDisableGenerationWithAMessage) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day1});
    const auto first = f.run(day1);
    f.reportCollection(first.collectionId, day1);
    f.host.cancellation({1, day1});
    f.prompter.texts.clear();
    const auto r = f.run(day2);
    EXPECT_EQ(f.assignments(r.collectionId), QStringList{"1:D"});
    EXPECT_EQ(r.rows, 1);
    EXPECT_FALSE(r.generationEnabled);
    ASSERT_EQ(f.prompter.texts.size(), 1);
    EXPECT_TRUE(f.prompter.texts[0].startsWith("V naboru ni nobenih nestorniranih transakcij!"));
    EXPECT_EQ(f.column("ISSTN"), QStringList{"D"});
}

TEST(CollectionRun, AReportedTradeIsNeverCollectedAgainItsCancellationOnce) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day1});
    const auto first = f.run(day1);
    const qint64 reference = f.t.scalar("select IDREFATVP from DPATVPPSL").toLongLong();
    f.reportCollection(first.collectionId, day1);
    f.host.cancellation({1, day1});

    const auto second = f.run(QDate(2014, 5, 5));
    EXPECT_EQ(f.assignments(second.collectionId), QStringList{"1:D"});
    EXPECT_EQ(f.t.scalar("select IDREFATVP from DPATVPPSL where ISSTN='D'").toLongLong(),
              reference);
    f.reportCollection(second.collectionId, QDate(2014, 5, 5));

    const auto third = f.run(day1);
    EXPECT_TRUE(f.assignments(third.collectionId).isEmpty());
}

TEST(CollectionRun, ACorrectionIsCollectedWhateverItsTradeType) {
    Configuration c;
    c.tipPosla = "N";
    CollectionFixture f(c);
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day1});
    const auto first = f.run(day1);
    f.reportCollection(first.collectionId, day1);
    f.host.cancellation({1, day1}, 2);
    f.host.trade({2, day2, 100, 8, 1, "P"});
    f.host.trade({3, day2, 100, 8, 1, "P"});
    const auto r = f.run(day2);
    EXPECT_EQ(f.assignments(r.collectionId), (QStringList{"1:D", "2:N"}))
        << "trade 3 is of a type not collected; trade 2 corrects trade 1";
}

TEST(CollectionRun, DomesticKindTwoListRestrictsToDomesticVenuesOfKindTwo) {
    Configuration c;
    c.dmc2 = "K";
    CollectionFixture f(c);
    f.host.venue(9, "XLJM", "+01", "3");
    f.host.venue(20, "XWBO", "+01", "2", "A");
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day1});                      // domestic, kind 2, activity K
    f.host.trade({2, day1, 100, 8, 1, "N", "L"}); // activity not listed
    f.host.trade({3, day1, 100, 9});              // kind 3
    f.host.trade({4, day1, 100, 20});             // foreign
    const auto r = f.run(day1);
    EXPECT_EQ(f.assignments(r.collectionId), QStringList{"1:N"});
}

TEST(CollectionRun, RemoteMemberTradesNeedARemoteMemberContract) {
    CollectionFixture f;
    f.host.contract(7, 10, "CLAN1");
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day1, 100, 8, 1, "N", "K", 10, 12.5, {}, "P"});
    f.host.trade({2, day1, 100, 8, 7, "N", "K", 10, 12.5, {}, "P"});
    f.host.trade({3, day1, 100, 8, 1, "N", "K", 10, 12.5, {}, "X"});
    // An empty or blank member code is no member (a parameter cannot write an empty text).
    f.host.exec("INSERT INTO POG (IdPog, SfOsb, REMOTECLAN) VALUES (8, 10, ''), (9, 10, '   ')");
    f.host.trade({4, day1, 100, 8, 8, "N", "K", 10, 12.5, {}, "P"});
    f.host.trade({5, day1, 100, 8, 9, "N", "K", 10, 12.5, {}, "P"});
    const auto r = f.run(day1);
    EXPECT_EQ(f.assignments(r.collectionId), (QStringList{"2:N", "3:N"}));
}

TEST(CollectionRun, ImportedTradesAreFreedAndRetaken) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.import(1, day1, 100, "SI0031102120", 900001);
    f.host.import(2, day1, 100, "SI0031102120", 900002, "", 77); // held by a reported collection
    f.host.report(77, QDate(2014, 3, 1), 1, QDateTime(QDate(2014, 3, 1), QTime(12, 0)));
    const auto first = f.run(day1);
    EXPECT_EQ(f.t.scalar("select DPATVPID from DPATVPIMP where IDIMP=1").toLongLong(),
              first.collectionId);
    EXPECT_EQ(f.t.scalar("select DPATVPID from DPATVPIMP where IDIMP=2").toLongLong(), 77);
    EXPECT_EQ(f.column("VRSTA"), QStringList{"I"});
    const auto second = f.run(day1);
    EXPECT_EQ(f.t.scalar("select DPATVPID from DPATVPIMP where IDIMP=1").toLongLong(),
              second.collectionId);
    EXPECT_EQ(f.column("RefStTransaC"), QStringList{"900001"});
}

TEST(CollectionRun, AnIsinWithTwoLiveHostInstrumentsEndsOnTheChoice) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.instrument(101, "SI0031102120");
    f.host.trade({1, day1});
    const auto r = f.run(day1);
    EXPECT_EQ(r.ending, CollectionRun::Ending::ChoiceNeeded);
    EXPECT_EQ(f.prompter.texts, QStringList{"Izberi ustrezen finančni instrument za poročanje!"});
    EXPECT_FALSE(f.workingSet().qDPATVPPSL.active());
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVP_SFVP where SFVP_POROCANJE is null").toInt(),
              1);
    EXPECT_EQ(f.assignments(r.collectionId), QStringList{"1:N"}) << "the collection stays";
}

TEST(CollectionRun, AnInstrumentWithoutIsinReportsItself) {
    CollectionFixture f;
    f.host.instrument(300, "N");
    f.host.trade({1, day1, 300});
    const auto r = f.run(day1);
    ASSERT_EQ(r.ending, CollectionRun::Ending::Loaded);
    EXPECT_EQ(f.t.scalar("select SFVP_POROCANJE from DPATVP_SFVP where SFVP_VEK=300").toInt(), 300);
    EXPECT_EQ(f.t.scalar("select INSTRUMENTNAME from DPATVP_SFVP where SFVP_VEK=300").toString(),
              "Vrednostni papir 300");
    EXPECT_EQ(f.column("ISIN"), QStringList{"N"});
    EXPECT_EQ(f.column("IntIndInstr"), QStringList{"300"});
    EXPECT_TRUE(f.waiter.waits.empty()) << "a register write does not wait";
}

TEST(CollectionRun, AMaturedReportedInstrumentSwitchesTheIsinToTheRemainingOne) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120", 8, "A", QDate(2014, 3, 1));
    f.host.instrument(101, "SI0031102120");
    // The register reports instrument 100 for the ISIN.
    f.host.exec("INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK, SFVP_POROCANJE, DANSPR, DANSPR_SFVP, "
                "AII_PRODUCT, INSTRUMENTNAME) VALUES ('SI0031102120', 100, 100, 2456700.5, "
                "2456000.5, 'VP100', 'Vrednostni papir 100')");
    f.host.exec("INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK, SFVP_POROCANJE, DANSPR, DANSPR_SFVP) "
                "VALUES ('SI0031102120', 101, 100, 2456600.5, 2456000.5)");
    f.host.trade({1, day1, 101});
    const auto r = f.run(day1);
    ASSERT_EQ(r.ending, CollectionRun::Ending::Loaded);
    Query q(*f.t.db);
    q.setText("select SFVP_POROCANJE, SFVP_OLD, XML from DPATVP_SFVP where SFVP_VEK=101");
    q.open();
    EXPECT_EQ(q.asInteger("SFVP_POROCANJE"), 101);
    EXPECT_EQ(q.asInteger("SFVP_OLD"), 100);
    EXPECT_EQ(q.asString("XML"), "D");
    EXPECT_EQ(f.column("IntIndInstr"), QStringList{"101"});
}

TEST(CollectionRun, AFailingPhaseRollsBackOnlyItselfWithItsMessage) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day1});
    f.host.exec("DROP TABLE DPATVPPSLSTN");
    try {
        f.run(day1);
        FAIL();
    } catch (const RapoError &e) {
        // The phase's message first, the cause in words on the next line.
        EXPECT_TRUE(e.message().startsWith(QString::fromUtf8(
            "Napaka pri insertu v DPATVPPSL (faza 2)!\r\nTabele DPATVPPSLSTN v podatkovni zbirki "
            "ni: to ni zbirka tega programa ali pa je iz druge različice.\nno such table")))
            << e.message().toStdString();
    }
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVPPSL").toInt(), 1) << "phase 1 stays";
    EXPECT_FALSE(f.state.regeneration.active);
}

TEST(CollectionRun, DebugLinesTraceThePhases) {
    Configuration c;
    c.debug = true;
    CollectionFixture f(c);
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, day1});
    f.run(day1);
    QFile log(f.t.dir.file("Log.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    for (const char *line :
         {"Pre Delete!", "Po Delete!", "Pre 1 StartTransaction!", "Open 1: ", "Params: 01.04.2014",
          "po Open 1! 1", "INSERT DPATVPPSL: IdPsl:1", "po 1 Commit!", "po 4 Commit!",
          "po 5 Commit!", "po 6 .Open!", "po 7 .Open!"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
}

TEST(CollectionRun, RunsInTheDb2DialectToo) {
    Configuration c;
    c.isDb2 = true;
    c.fiksniTimeZoneZaTrg = "20";
    c.fiksniTimeZoneTrgi = {"20"};
    CollectionFixture f(c);
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, QDate(2014, 6, 2)});
    const auto r = f.run(QDate(2014, 6, 2));
    EXPECT_EQ(r.rows, 1);
    EXPECT_EQ(f.column("Offset"), QStringList{"+02"});
}
} // namespace

namespace {
TEST(CollectionRun, ARefreshWritesTheReportingInstrumentsDataOnce) {
    CollectionFixture f;
    f.twoEntriesForOneIsin();
    f.host.exec("UPDATE SFVP SET NZV = 'Novo ime' WHERE SFVP = 100");
    f.host.trade({1, day1, 101});
    f.run(day1);
    const auto entries = [&] {
        Query q(*f.t.db);
        q.setText(
            "select SFVP_VEK, INSTRUMENTNAME, AII_PRODUCT from DPATVP_SFVP order by SFVP_VEK");
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << q.asString("SFVP_VEK") + "|" + q.asString("INSTRUMENTNAME") + "|" +
                       q.asString("AII_PRODUCT");
        return out;
    };
    EXPECT_EQ(entries(), (QStringList{"100|Novo ime|VP100", "101|Novo ime|VP100"}));
    // The clock stands still: the second write of the ISIN is a second later all the same.
    const QString changes = "select group_concat(datetime(DANSPR), '|') from (select DANSPR from "
                            "DPATVP_SFVP order by DANSPR)";
    EXPECT_EQ(f.t.scalar(changes).toString(), "2014-04-02 09:00:00|2014-04-02 09:00:01");
    EXPECT_TRUE(f.waiter.waits.empty());
    f.run(day1);
    EXPECT_EQ(f.t.scalar(changes).toString(), "2014-04-02 09:00:00|2014-04-02 09:00:01")
        << "an unchanged instrument is not written again";
}
} // namespace

namespace {
qint64 statementsSent(CollectionFixture &f) {
    return f.t.db->statementLog().traffic().statements;
}

// A reported collection of n trades; then n new trades, the cancellations of the n reported
// ones, each corrected by a new trade of a type not collected by itself, and n imports.
qint64 collectAfterCancellations(CollectionFixture &f, int n) {
    f.host.instrument(100, "SI0031102120");
    f.host.report(1, day1, 1, QDateTime(day1, QTime(18, 0)));
    for (int i = 1; i <= n; ++i) {
        f.host.trade({i, day1});
        f.host.assignment(1, i, "N", 100000 + i);
        f.host.cancellation({i, day1}, 1000 + i);
        f.host.trade({1000 + i, day2, 100, 8, 1, "P"});
        f.host.trade({2000 + i, day2});
        f.host.import(i, day2, 100, "SI0031102120", 900000 + i);
    }
    const qint64 before = statementsSent(f);
    const auto r = f.run(day2);
    EXPECT_EQ(r.collectionId, 2);
    EXPECT_EQ(f.assignments(2).size(), 3 * n);
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVPIMP where DPATVPID = 2").toInt(), n);
    return statementsSent(f) - before;
}

TEST(CollectionRun, CancellationsCorrectionsAndImportsCostTheSameStatementsHoweverMany) {
    Configuration c;
    c.tipPosla = "N";
    qint64 sent[2] = {};
    for (const int n : {3, 30}) {
        CollectionFixture f(c);
        sent[n == 30] = collectAfterCancellations(f, n);
    }
    EXPECT_EQ(sent[0], sent[1]);
    EXPECT_GT(sent[0], 0);
}

// Every assignment of the phases is logged once, as the table component logged it: the
// period's trades and the corrections in the order of their new references, the cancellations
// (which keep their old references) by trade, in between.
TEST(CollectionRun, EveryPhaseLogsItsOwnAssignmentsOnce) {
    Configuration c;
    c.tipPosla = "N";
    CollectionFixture f(c);
    collectAfterCancellations(f, 3);
    Query assignments(*f.t.db);
    assignments.setText("select * from DPATVPPSL where DPATVPID = 2 order by case when IDPSL > "
                        "2000 then 1 when ISSTN = 'D' then 2 else 3 end, IDREFATVP");
    QStringList expected;
    for (assignments.open(); !assignments.eof(); assignments.next())
        expected << "MARKO|+|R|0|" + QSysInfo::machineHostName() + "|LB|DPATVPPSL|2#|DPATVPID#|" +
                        assignments.asString("IDPSL") + "#|IDPSL#|" +
                        assignments.asString("ISSTN") + "#|ISSTN#|" +
                        assignments.asString("IDREFATVP") + "#|IDREFATVP#|";
    Query log(*f.t.db);
    log.setText("select * from ACT order by IdAct");
    QStringList logged;
    for (log.open(); !log.eof(); log.next())
        logged << log.asString("Usr") + '|' + log.asString("SfAct") + '|' + log.asString("SfApp") +
                      '|' + log.asString("SfOrg") + '|' + log.asString("Cmp") + '|' +
                      log.asString("Db") + '|' + log.asString("Tbl") + '|' + log.asString("Cnt");
    EXPECT_EQ(logged, expected);
}
} // namespace

namespace {
// Phase 5 registers 30 new instruments with as many statements as 3, each entry complete.
TEST(CollectionRun, NewInstrumentsAreRegisteredWithTheSameStatementsHoweverMany) {
    qint64 sent[2] = {};
    for (const int n : {3, 30}) {
        CollectionFixture f;
        for (int i = 0; i < n; ++i) {
            f.host.instrument(100 + i, QString("SI%1").arg(i, 10, 10, QChar('0')));
            f.host.trade({1 + i, day1, 100 + i});
        }
        const qint64 before = statementsSent(f);
        f.run(day1);
        sent[n == 30] = statementsSent(f) - before;
        EXPECT_EQ(
            f.t.scalar("select count(*) from DPATVP_SFVP where SFVP_POROCANJE = SFVP_VEK and "
                       "ISIN = 'SI' || substr('0000000000' || (SFVP_VEK - 100), -10) and "
                       "AII_PRODUCT = 'VP' || SFVP_VEK and INSTRUMENTNAME = 'Vrednostni papir ' "
                       "|| SFVP_VEK and AII_MIC = 'xlju' and IZD = 'Izdajatelj d.d.' and DRZ_IZD "
                       "= 'SI' and VLT = 'EUR' and GLVNMN = 1 and LOTEMS = 1000000 and AII_CFI = "
                       "'ESVUFR' and AII_EXPIRY is null and SFVP_OLD is null and XML is null and "
                       "USRSPR = 'MARKO' and datetime(DANSPR) = '2014-04-02 09:00:00' and "
                       "date(DANSPR_SFVP) = '2013-01-01'")
                .toInt(),
            n);
    }
    EXPECT_EQ(sent[0], sent[1]);
}
} // namespace
