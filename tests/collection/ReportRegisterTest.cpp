#include "ReportRegister.h"
#include "CollectionFixture.h"
#include "DemoSite.h"
#include "RapoError.h"
#include "ReportGeneration.h"
#include "ReportRegeneration.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {
const QDateTime sentAt(QDate(2014, 4, 2), QTime(10, 0));

ReportRegister::Row row(qint64 id, qint64 zapSt, int status, const QDateTime &sent,
                        const QString &file = {}) {
    ReportRegister::Row r;
    r.id = id;
    r.zapSt = zapSt;
    r.status = status;
    r.sent = sent;
    r.xmlFile = file;
    r.reportingDay = QDate(2014, 4, 1);
    return r;
}

struct ActionCase {
    const char *name;
    int status;
    bool sent;
    qint64 zapSt; // the collection's latest is 2
    bool regenerate, confirm, reject, remove;
    friend void PrintTo(const ActionCase &c, std::ostream *os) { *os << c.name; }
};

class RegisterActions : public ::testing::TestWithParam<ActionCase> {};

TEST_P(RegisterActions, FollowStatusAndSending) {
    const ActionCase &c = GetParam();
    CollectionFixture f;
    f.host.report(5, QDate(2014, 4, 1), 1, sentAt, 2);
    f.host.report(5, QDate(2014, 4, 1), 2, QVariant(), 3);
    const auto a = ReportRegister::actionsFor(
        f.session(), row(5, c.zapSt, c.status, c.sent ? sentAt : QDateTime()));
    EXPECT_EQ(a.regenerate, c.regenerate);
    EXPECT_EQ(a.confirm, c.confirm);
    EXPECT_EQ(a.reject, c.reject);
    EXPECT_EQ(a.remove, c.remove);
}

INSTANTIATE_TEST_SUITE_P(
    ReportRegister, RegisterActions,
    ::testing::Values(ActionCase{"UnsentGenerated", 0, false, 2, false, false, false, true},
                      ActionCase{"SentGenerated", 0, true, 2, false, true, true, false},
                      ActionCase{"SentRejectedLatest", 2, true, 2, true, false, false, false},
                      ActionCase{"SentRejectedNotLatest", 2, true, 1, false, false, false, false},
                      ActionCase{"Confirmed", 1, true, 2, false, false, false, false},
                      ActionCase{"SentRegenerated", 3, true, 2, false, true, true, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ReportRegister, StatusTexts) {
    EXPECT_EQ(ReportRegister::statusText(0), "Generirano");
    EXPECT_EQ(ReportRegister::statusText(1), "Potrjeno");
    EXPECT_EQ(ReportRegister::statusText(2), "Zavrnjeno");
    EXPECT_EQ(ReportRegister::statusText(3), "Ponovno generirano");
    EXPECT_EQ(ReportRegister::statusText(4), "Ponovno generirano");
    EXPECT_EQ(ReportRegister::statusText(-1), "");
    EXPECT_EQ(ReportRegister::statusText(QVariant()), "");
}

TEST(ReportRegister, TheListShowsTheNewestReportingDayFirstWithItsStatusAsText) {
    CollectionFixture f;
    f.host.report(1, QDate(2013, 12, 30), 7, sentAt, 1);
    f.host.report(2, QDate(2014, 3, 28), 2, sentAt, 2);
    f.host.report(2, QDate(2014, 3, 28), 4, QVariant(), 3);
    f.host.report(3, QDate(2014, 3, 31), 3, sentAt, 0);
    Query list(f.session().db);
    ReportRegister::load(list, QDate(2013, 1, 1), QDate(2014, 12, 31));
    QStringList rows;
    for (; !list.eof(); list.next())
        rows << list.asString("DPATVPID") + '/' + list.asString("ZAPST") + '/' +
                    list.asString("StatusLKP");
    EXPECT_EQ(rows, QStringList({"3/3/Generirano", "2/4/Ponovno generirano", "2/2/Zavrnjeno",
                                 "1/7/Potrjeno"}));
}

TEST(ReportRegister, CancelInTheQuestionChangesNothing) {
    CollectionFixture f;
    f.host.report(5, QDate(2014, 4, 1), 1, QVariant());
    f.host.assignment(5, 10, "N", 1);
    f.prompter.answers = {false};
    EXPECT_FALSE(ReportRegister::remove(f.session(), row(5, 1, 0, {})));
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVP").toInt(), 1);
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVPPSL").toInt(), 1);
}

TEST(ReportRegister, DeletingAGeneratedReportFreesItsTradesImportsAndFile) {
    CollectionFixture f;
    f.host.report(5, QDate(2014, 4, 1), 1, QVariant());
    f.host.assignment(5, 10, "N", 1);
    f.host.assignment(6, 11, "N", 2);
    f.host.import(1, QDate(2014, 4, 1), 100, "SI0031102120", 900001, "", 5);
    QFile file(f.t.dir.file("TRDAT01_5.xml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    f.prompter.answers = {true};
    EXPECT_TRUE(ReportRegister::remove(f.session(), row(5, 1, 0, {}, "TRDAT01_5.xml")));
    EXPECT_EQ(f.prompter.texts.last(), "Prosim potrdi brisanje vseh pripadajočih podatkov !");
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVP").toInt(), 0);
    EXPECT_EQ(f.t.scalar("select group_concat(IDPSL) from DPATVPPSL").toString(), "11");
    EXPECT_TRUE(f.t.scalar("select DPATVPID from DPATVPIMP").isNull());
    EXPECT_FALSE(QFile::exists(f.t.dir.file("TRDAT01_5.xml")));
    EXPECT_EQ(f.t.scalar("select count(*) from ACT where Tbl='DPATVP' and SfAct='-'").toInt(), 1);
}

TEST(ReportRegister, DeletingAnUnsentRegeneratedReportRemovesItsRowAndFileOnly) {
    CollectionFixture f;
    f.host.report(5, QDate(2014, 4, 1), 1, sentAt, 2);
    f.host.report(5, QDate(2014, 4, 1), 2, QVariant(), 3);
    f.host.exec("update DPATVP set XML_FILE = 'TRDAT01_5b.xml' where ZAPST = 2");
    f.host.assignment(5, 10, "N", 1);
    f.host.import(1, QDate(2014, 4, 1), 100, "SI0031102120", 900001, "", 5);
    QFile file(f.t.dir.file("TRDAT01_5b.xml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    f.prompter.answers = {true};
    EXPECT_TRUE(ReportRegister::remove(f.session(), row(5, 2, 3, {}, "TRDAT01_5b.xml")));
    EXPECT_EQ(f.t.scalar("select group_concat(ZAPST) from DPATVP").toString(), "1");
    EXPECT_EQ(f.t.scalar("select count(*) from DPATVPPSL").toInt(), 1) << "the sent report's";
    EXPECT_EQ(f.t.scalar("select DPATVPID from DPATVPIMP").toInt(), 5);
    EXPECT_FALSE(QFile::exists(f.t.dir.file("TRDAT01_5b.xml")));
}

// The list was loaded; meanwhile another workstation or the scheduler changed the row.
TEST(ReportRegister, AnActionOnARowChangedElsewhereIsRefused) {
    struct Case {
        const char *what;
        int status;
        bool sent;
        const char *elsewhere;
        std::function<void(Session &, const ReportRegister::Row &)> action;
        QString message;
    };
    const auto remove = [](Session &s, const ReportRegister::Row &r) {
        ReportRegister::remove(s, r);
    };
    const auto regenerate = [](Session &s, const ReportRegister::Row &r) {
        RunState state;
        WorkingSet workingSet(s);
        ReportRegeneration::start(s, workingSet, state, r);
    };
    const QString again = " Dejanje ni izvedeno; seznam je osvežen.";
    const std::vector<Case> cases{
        {"delete after signed elsewhere", 0, false, "update DPATVP set DAN = 2456749.0", remove,
         "Poročilo TRDAT01_5.xml se je medtem spremenilo: status je zdaj 0 (Generirano), datum "
         "pošiljanja "
         "01.04.2014 12:00:00." +
             again},
        {"confirm after rejected elsewhere", 0, true, "update DPATVP set STATUS = 2",
         ReportRegister::confirm,
         "Poročilo TRDAT01_5.xml se je medtem spremenilo: status je zdaj 2 (Zavrnjeno), datum "
         "pošiljanja 02.04.2014 10:00:00." +
             again},
        {"reject after confirmed elsewhere", 0, true, "update DPATVP set STATUS = 1",
         ReportRegister::reject,
         "Poročilo TRDAT01_5.xml se je medtem spremenilo: status je zdaj 1 (Potrjeno), datum "
         "pošiljanja 02.04.2014 10:00:00." +
             again},
        {"regenerate after another regeneration", 2, true,
         "insert into DPATVP (DPATVPID, DANPOROCANJA, ZAPST, XML_FILE, STATUS) values (5, "
         "2456748.5, 2, 'TRDAT01_5b.xml', 3)",
         regenerate,
         "Poročilo TRDAT01_5.xml ni zadnje poročilo nabora 5; ponovno generirati je mogoče le "
         "zadnje."},
        {"delete after deleted elsewhere", 0, false, "delete from DPATVP where ZAPST = 1", remove,
         "Poročila TRDAT01_5.xml (nabor 5, zaporedna številka 1) ni več v registru: medtem ga je "
         "nekdo zbrisal." +
             again},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        CollectionFixture f;
        f.host.report(5, QDate(2014, 4, 1), 1, c.sent ? QVariant(sentAt) : QVariant(), c.status);
        f.host.assignment(5, 10, "N", 1);
        f.host.assignment(5, 11, "N", 2);
        f.host.import(1, QDate(2014, 4, 1), 100, "SI0031102120", 900001, "", 5);
        QFile file(f.t.dir.file("TRDAT01_5.xml"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        const ReportRegister::Row loaded =
            row(5, 1, c.status, c.sent ? sentAt : QDateTime(), "TRDAT01_5.xml");
        f.host.exec(c.elsewhere);
        const auto state = [&] {
            return f.t
                .scalar("select (select group_concat(DPATVPID || '/' || ZAPST || '/' || STATUS "
                        "|| '/' || ifnull(DAN, '-')) from DPATVP) || ' ' || (select "
                        "group_concat(IDPSL) from DPATVPPSL) || ' ' || (select DPATVPID from "
                        "DPATVPIMP)")
                .toString();
        };
        const QString before = state();
        f.prompter.answers = {true};
        try {
            c.action(f.session(), loaded);
            ADD_FAILURE() << "the changed row was acted on";
        } catch (const RapoError &e) {
            EXPECT_EQ(e.message(), c.message);
        }
        EXPECT_EQ(state(), before);
        EXPECT_EQ(f.t.scalar("select count(*) from ACT").toInt(), 0);
        EXPECT_TRUE(QFile::exists(f.t.dir.file("TRDAT01_5.xml")));
        EXPECT_FALSE(f.t.db->inTransaction());
    }
}

TEST(ReportRegister, AConfirmationClearsTheInstrumentsReferenceMarks) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.trade({10, QDate(2014, 4, 1)});
    f.host.report(5, QDate(2014, 4, 1), 1, sentAt);
    f.host.assignment(5, 10, "N", 1);
    f.host.exec("INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK, SFVP_POROCANJE, SFVP_OLD, XML, DANSPR) "
                "VALUES ('SI0031102120', 100, 100, 99, 'D', 2456700.5)");
    ReportRegister::confirm(f.session(), row(5, 1, 0, sentAt));
    EXPECT_EQ(f.t.scalar("select STATUS from DPATVP").toInt(), 1);
    EXPECT_TRUE(f.t.scalar("select XML from DPATVP_SFVP").isNull());
    EXPECT_EQ(f.t.scalar("select USRSPR from DPATVP_SFVP").toString(), "MARKO");
    EXPECT_EQ(f.t.scalar("select datetime(DANSPR) from DPATVP_SFVP").toString(),
              "2014-04-02 09:00:00");
    EXPECT_TRUE(f.waiter.waits.empty());
}

// The confirmation writes the entries of 30 instruments with as many statements as those of 3;
// two current entries of one ISIN still take distinct change times.
TEST(ReportRegister, AConfirmationSendsTheSameStatementsHoweverManyInstruments) {
    qint64 sent[2] = {};
    for (const int n : {3, 30}) {
        CollectionFixture f;
        f.host.report(5, QDate(2014, 4, 1), 1, sentAt);
        for (int i = 0; i < n; ++i) {
            const QString isin = QString("SI%1").arg(i, 10, 10, QChar('0'));
            f.host.instrument(100 + i, isin);
            f.host.trade({10 + i, QDate(2014, 4, 1), 100 + i});
            f.host.assignment(5, 10 + i, "N", 1 + i);
            f.host.exec(QString("INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK, SFVP_POROCANJE, XML, "
                                "DANSPR) VALUES ('%1', %2, %2, 'D', 2456700.5)")
                            .arg(isin)
                            .arg(100 + i));
        }
        f.host.exec("INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK, SFVP_POROCANJE, XML, DANSPR) VALUES "
                    "('SI0000000000', 200, 100, 'D', 2456700.5)");
        const qint64 before = f.t.db->statementLog().traffic().statements;
        ReportRegister::confirm(f.session(), row(5, 1, 0, sentAt));
        sent[n == 30] = f.t.db->statementLog().traffic().statements - before;
        EXPECT_EQ(f.t.scalar("select count(*) from DPATVP_SFVP where XML is null and USRSPR = "
                             "'MARKO' and datetime(DANSPR) = '2014-04-02 09:00:00'")
                      .toInt(),
                  n);
        EXPECT_EQ(f.t.scalar("select datetime(DANSPR) from DPATVP_SFVP where XML is null and "
                             "datetime(DANSPR) <> '2014-04-02 09:00:00'")
                      .toString(),
                  "2014-04-02 09:00:01");
    }
    EXPECT_EQ(sent[0], sent[1]);
}

TEST(ReportRegeneration, ARejectedReportIsCollectedAgainAndRegisteredAsRegenerated) {
    CollectionFixture f;
    f.host.instrument(100, "SI0031102120");
    f.host.trade({1, QDate(2014, 3, 31)});
    f.host.trade({2, QDate(2014, 4, 1)});
    QFile::copy(RAPO_DEMO_SCHEMA, f.t.dir.file("NTRS.xsd"));
    f.clock.set(QDateTime(QDate(2014, 4, 1), QTime(18, 0)));
    const auto collected = f.run(QDate(2014, 3, 31), QDate(2014, 4, 1));
    const auto first = ReportGeneration::generate(f.session(), f.workingSet().qDPATVPPSL,
                                                  f.workingSet().qSifrantFinInstr, f.state,
                                                  QDate(2014, 3, 31), QDate(2014, 4, 1));
    ASSERT_TRUE(first.valid) << first.errorLine.toStdString();
    const qint64 reference1 =
        f.t.scalar("select IDREFATVP from DPATVPPSL where IDPSL=1").toLongLong();
    // Sent at the end of 2014, rejected in 2015.
    f.host.exec("UPDATE DPATVP SET DAN = 2457023.0");
    ReportRegister::reject(f.session(), row(collected.collectionId, 1, 0,
                                            QDateTime(QDate(2014, 12, 31), QTime(12, 0)),
                                            first.path.mid(f.t.dir.path().size())));
    f.clock.set(QDateTime(QDate(2015, 1, 10), QTime(9, 0)));
    f.host.report(99, QDate(2015, 1, 5), 1, QDateTime(QDate(2015, 1, 5), QTime(9, 0)));

    // Since then: a new trade of the period, and trade 2 cancelled.
    f.host.trade({3, QDate(2014, 3, 31)});
    f.host.exec("INSERT INTO DPATVPPSLSTN (IDPSL, DAN, CAS, SFPSL, SFDJV, GLVTCJ, LOT, IDPOG, "
                "SFTRG, SFVP, SFVLT) SELECT IdPsl, Dan, CAS, SfPsl, SFDJV, GlvTcj, Lot, IdPog, "
                "SfTrg, SFVP, SfVlt FROM PSL WHERE IdPsl = 2");
    ReportRegister::Row rejected =
        row(collected.collectionId, 1, 2, QDateTime(QDate(2014, 12, 31), QTime(12, 0)),
            first.path.mid(f.t.dir.path().size()));
    rejected.reportingDay = QDate(2014, 4, 1);
    rejected.firstDay = QDate(2014, 3, 31);
    const auto regenerated =
        ReportRegeneration::start(f.session(), f.workingSet(), f.state, rejected);
    EXPECT_EQ(regenerated.from, QDate(2014, 3, 31));
    EXPECT_EQ(regenerated.to, QDate(2014, 4, 1));
    EXPECT_TRUE(f.state.regeneration.active);
    EXPECT_EQ(f.assignments(collected.collectionId), (QStringList{"1:N", "2:D", "2:N", "3:N"}));
    EXPECT_EQ(
        f.t.scalar("select IDREFATVP from DPATVPPSL where IDPSL=2 and ISSTN='D'").toLongLong(),
        f.t.scalar("select IDREFATVP from DPATVPPSL where IDPSL=2 and ISSTN='N'").toLongLong());
    EXPECT_EQ(f.t.scalar("select IDREFATVP from DPATVPPSL where IDPSL=1").toLongLong(), reference1);

    const auto second = ReportGeneration::generate(f.session(), f.workingSet().qDPATVPPSL,
                                                   f.workingSet().qSifrantFinInstr, f.state,
                                                   regenerated.from, regenerated.to);
    ASSERT_TRUE(second.valid) << second.errorLine.toStdString();
    EXPECT_TRUE(second.path.endsWith("_0002_14.xml")) << second.path.toStdString();
    QFile xml(second.path);
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(xml.readAll());
    EXPECT_TRUE(text.contains("<TransactionReferenceNumber>3</TransactionReferenceNumber>"));
    EXPECT_TRUE(text.contains("<CancelledTransactionReferenceNumber>2<"));
    Query q(*f.t.db);
    q.setText("select DPATVPID, ZAPST, STATUS, DANOD, DANPOROCANJA from DPATVP where STATUS = 3");
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.asInteger("DPATVPID"), collected.collectionId);
    EXPECT_EQ(q.asInteger("ZAPST"), 2);
    EXPECT_EQ(q.asDateTime("DANOD").date(), QDate(2014, 3, 31)) << "the whole period";
    EXPECT_EQ(q.asDateTime("DANPOROCANJA").date(), QDate(2014, 4, 1));
    EXPECT_FALSE(f.state.regeneration.active);
}
} // namespace
