#include "Query.h"
#include "DbError.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

namespace {
void addReport(TestDatabase &t, int id, const QDate &day, int zapSt, const QString &file) {
    Query q(*t.db);
    q.setText("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST, XML_FILE, STATUS) "
              "VALUES (:Id, :Dan, :ZapSt, :Xml, 0)");
    q.setInteger("Id", id);
    q.setDate("Dan", day);
    q.setInteger("ZapSt", zapSt);
    q.setString("Xml", file);
    EXPECT_EQ(q.exec(), 1);
}

TEST(Query, AParameterUsedSeveralTimesIsSetOnce) {
    TestDatabase t;
    addReport(t, 1, QDate(2014, 4, 1), 1, "a.xml");
    addReport(t, 2, QDate(2014, 4, 2), 2, "b.xml");
    addReport(t, 3, QDate(2014, 4, 5), 3, "c.xml");
    Query q(*t.db);
    q.addLine("select count(*) as N from DPATVP");
    q.addLine(" where DANPOROCANJA >= :Datum and DANPOROCANJA <= :DatumDo");
    q.addLine("   and :DatumDo >= :Datum and DANPOROCANJA <= :DatumDo and :DatumDo is not null");
    EXPECT_EQ(q.parameterNames(), (QStringList{"Datum", "DatumDo"}));
    q.setDate("Datum", QDate(2014, 4, 1));
    q.setDate("DatumDo", QDate(2014, 4, 2));
    q.open();
    EXPECT_EQ(q.asInteger("n"), 2);
}

TEST(Query, NamesInsideLiteralsAndCommentsAreNotParameters) {
    const Query::Positional p = Query::positional(
        "select ':Ne', \"A:B\" from x -- :Komentar\n where a = :Da and b = 'it''s :no' and c=:Da");
    EXPECT_EQ(p.names, (QStringList{"Da", "Da"}));
    EXPECT_EQ(p.text, "select ':Ne', \"A:B\" from x -- :Komentar\n where a = ? and b = 'it''s :no' "
                      "and c=?");
}

TEST(Query, AMissingParameterValueIsAnErrorNamingIt) {
    TestDatabase t;
    Query q(*t.db);
    q.setText("select * from DPATVP where DPATVPID = :Id");
    try {
        q.open();
        FAIL();
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(":Id"));
    }
}

TEST(Query, NullsReadAsEmptyZeroAndNoDate) {
    TestDatabase t;
    t.exec("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST) VALUES (1, 2456748.5, 1)");
    Query q(*t.db);
    q.setText("select DAN, STATUS, XML_FILE, DANOD from DPATVP");
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_TRUE(q.isNull("dan"));
    EXPECT_EQ(q.asInteger("Status"), 0);
    EXPECT_EQ(q.asFloat("STATUS"), 0.0);
    EXPECT_EQ(q.asString("xml_file"), "");
    EXPECT_FALSE(q.asDateTime("DANOD").isValid()) << "the zero date-time is no date";
    EXPECT_THROW(q.value("NOSUCH"), DbError);
}

TEST(Query, AnEmptyTextBindsAsNull) {
    TestDatabase t;
    addReport(t, 1, QDate(2014, 4, 1), 1, "");
    EXPECT_EQ(t.scalar("select count(*) from DPATVP where XML_FILE is null").toInt(), 1);
}

TEST(Query, ReadsForwardCountsAndLocates) {
    TestDatabase t;
    for (int i = 1; i <= 5; ++i)
        addReport(t, i, QDate(2014, 4, i), i, QString("F%1.xml").arg(i));
    Query q(*t.db);
    q.setText("select DPATVPID, XML_FILE from DPATVP order by DPATVPID");
    q.open();
    QList<qint64> seen;
    for (q.first(); !q.eof(); q.next())
        seen << q.asInteger("DPATVPID");
    EXPECT_EQ(seen, (QList<qint64>{1, 2, 3, 4, 5}));
    EXPECT_EQ(q.recordCount(), 5);
    EXPECT_TRUE(q.locate("XML_FILE", {"f4.xml"}, true));
    EXPECT_EQ(q.asInteger("DPATVPID"), 4);
    EXPECT_FALSE(q.locate("XML_FILE", {"f4.xml"}));
    EXPECT_TRUE(q.locate("DPATVPID;XML_FILE", {2, "F2.xml"}));
    EXPECT_EQ(q.recNo(), 1);
}

TEST(Query, ChangingTheTextClosesButKeepsParameterValues) {
    TestDatabase t;
    addReport(t, 7, QDate(2014, 4, 1), 1, "a.xml");
    Query q(*t.db);
    q.setText("select DPATVPID from DPATVP where DPATVPID = :Id");
    q.setInteger("Id", 7);
    q.open();
    EXPECT_TRUE(q.active());
    q.setText("select DPATVPID + 1 as NEXTID from DPATVP where DPATVPID = :Id");
    EXPECT_FALSE(q.active());
    q.open();
    EXPECT_EQ(q.asInteger("NEXTID"), 8);
}

TEST(Query, CalculatedFieldsAreFilledForEveryFetchedRow) {
    TestDatabase t;
    addReport(t, 1, QDate(2014, 4, 1), 1, "a.xml");
    addReport(t, 2, QDate(2014, 4, 2), 2, "b.xml");
    Query q(*t.db);
    q.setText("select DPATVPID, STATUS from DPATVP order by DPATVPID");
    q.setFields({{"DPATVPID", FieldDef::Type::Whole, "Št."},
                 {"STATUS", FieldDef::Type::Whole, "Status", 0, false},
                 {"StatusLKP", FieldDef::Type::Text, "Status", 20, true, {}, true}});
    q.setCalcFields([](const DataSet &ds, DataSet::Row &row) {
        row[ds.columnIndex("StatusLKP")] =
            QString("Poročilo %1").arg(row[ds.columnIndex("DPATVPID")].toInt());
    });
    q.open();
    EXPECT_EQ(q.columnCount(), 3);
    q.next();
    EXPECT_EQ(q.asString("statuslkp"), QString::fromUtf8("Poročilo 2"));
}

TEST(Query, ADatabaseErrorCarriesTheDriversMessage) {
    TestDatabase t;
    Query q(*t.db);
    q.setText("select * from NOSUCHTABLE");
    try {
        q.open();
        FAIL();
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains("no such table")) << e.message().toStdString();
        EXPECT_EQ(e.className(), "EDatabaseError");
    }
}

TEST(Database, AnUnknownAliasNamesBothPlacesLookedIn) {
    TempProgramDirectory dir;
    Database db("nosuch", "u", "p", dir.path());
    try {
        db.connection();
        FAIL();
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains("nosuch"));
        EXPECT_TRUE(e.message().contains("ODBC"));
        EXPECT_TRUE(e.message().contains(dir.path() + "NOSUCH.sqlite"));
    }
}

TEST(Database, CreatingAnExistingEmbeddedDatabaseIsRefused) {
    TestDatabase t("DEMO");
    EXPECT_THROW(Database::createEmbedded("demo", t.dir.path()), DbError);
}
} // namespace
