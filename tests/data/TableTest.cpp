#include "DbError.h"
#include "EditableTable.h"
#include "Query.h"
#include "TestDatabase.h"
#include "Transaction.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <functional>
#include <gtest/gtest.h>

namespace {
void appendAssignment(EditableTable &t, int report, int trade, const QString &isStn, int ref) {
    t.append();
    t.setValue("DPATVPID", report);
    t.setValue("IDPSL", trade);
    t.setValue("ISSTN", isStn);
    t.setValue("IDREFATVP", ref);
    t.post();
}

TEST(Table, AppendEditDeleteReachTheDatabase) {
    TestDatabase db;
    EditableTable t(*db.db, "DPATVPPSL");
    t.open();
    EXPECT_TRUE(t.eof());
    appendAssignment(t, 1, 100, "N", 11);
    appendAssignment(t, 1, 101, "N", 12);
    EXPECT_EQ(db.scalar("select count(*) from DPATVPPSL").toInt(), 2);

    ASSERT_TRUE(t.restrictToKey({1, 101}));
    t.edit();
    t.setValue("IDREFATVP", 99);
    t.post();
    EXPECT_EQ(db.scalar("select IDREFATVP from DPATVPPSL where IDPSL = 101").toInt(), 99);
    EXPECT_EQ(db.scalar("select IDREFATVP from DPATVPPSL where IDPSL = 100").toInt(), 11);

    t.deleteRow();
    EXPECT_EQ(db.scalar("select count(*) from DPATVPPSL").toInt(), 1);
}

// A table opened only to append reads none of the rows it holds, also when append() opens it.
TEST(Table, AnAppendOnlyOpenReadsNoRow) {
    TestDatabase db;
    {
        EditableTable t(*db.db, "DPATVPPSL");
        appendAssignment(t, 1, 100, "N", 11);
        appendAssignment(t, 1, 101, "N", 12);
    }
    for (const bool explicitOpen : {true, false}) {
        EditableTable t(*db.db, "DPATVPPSL");
        const qint64 rowsBefore = db.db->statementLog().traffic().rows;
        if (explicitOpen)
            t.openToAppend();
        EXPECT_TRUE(t.eof());
        appendAssignment(t, 2, 200 + explicitOpen, "N", 20 + explicitOpen);
        t.refresh();
        EXPECT_EQ(db.db->statementLog().traffic().rows, rowsBefore);
    }
    EXPECT_EQ(db.scalar("select count(*) from DPATVPPSL").toInt(), 4);
}

TEST(Table, TheRowsShownFollowAppendEditAndDelete) {
    TestDatabase db;
    EditableTable t(*db.db, "DPATVPPSL");
    t.open();
    for (int trade : {100, 101, 102})
        appendAssignment(t, 1, trade, "N", trade - 90);
    ASSERT_TRUE(t.moveTo(1));
    t.edit();
    t.setValue("ISSTN", "D");
    t.setValue("IDREFATVP", 77);
    EXPECT_EQ(t.asString("ISSTN"), "D") << "the row being edited shows what was typed";
    t.post();
    ASSERT_TRUE(t.moveTo(0));
    t.deleteRow();
    const auto shown = [&] {
        QStringList rows;
        for (int r = 0; r < t.fetchedRowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < t.columnCount(); ++c)
                cells << t.columnName(c) + '=' + DataSet::valueText(t.valueAt(r, c));
            rows << cells.join(' ');
        }
        return rows;
    };
    EXPECT_EQ(shown(), (QStringList{"DPATVPID=1 IDPSL=101 ISSTN=D IDREFATVP=77",
                                    "DPATVPID=1 IDPSL=102 ISSTN=N IDREFATVP=12"}));
    EXPECT_EQ(t.asString("IDPSL"), "101");
}

TEST(Table, RestrictingToAKeyNoRowHasFindsNothing) {
    TestDatabase db;
    EditableTable t(*db.db, "DPATVPPSL");
    t.open();
    appendAssignment(t, 1, 100, "N", 11);
    EXPECT_FALSE(t.restrictToKey({1, 555}));
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.fetchedRowCount(), 0);
    t.clearRestriction();
    EXPECT_EQ(t.recordCount(), 1);
}

TEST(Table, AFilterRestrictsTheRowsOnOpening) {
    TestDatabase db;
    db.exec("INSERT INTO ACT (IdAct, Usr) VALUES (5, 'X')");
    EditableTable act(*db.db, "ACT");
    act.setFilter("IDACT = 0");
    act.open();
    EXPECT_TRUE(act.eof());
}

TEST(Table, HooksSeeWhetherTheRowIsNew) {
    TestDatabase db;
    EditableTable t(*db.db, "DPATVPPSL");
    QStringList seen;
    t.beforePost = [&](EditableTable &table) {
        seen << (table.isInserting() ? "new" : "changed") + QString(":") + table.asString("IDPSL");
    };
    t.beforeDelete = [&](EditableTable &table) { seen << "delete:" + table.asString("IDPSL"); };
    t.open();
    appendAssignment(t, 1, 100, "N", 11);
    t.edit();
    t.setValue("ISSTN", "D");
    t.post();
    t.deleteRow();
    EXPECT_EQ(seen, (QStringList{"new:100", "changed:100", "delete:100"}));
}

TEST(Table, AFailingHookLeavesTheRowUnsavedAndTheTransactionOpen) {
    TestDatabase db;
    EditableTable t(*db.db, "DPATVPPSL");
    t.open();
    Transaction tx(*db.db);
    appendAssignment(t, 1, 100, "N", 11);
    t.append();
    t.setValue("DPATVPID", 1);
    t.setValue("IDPSL", 200);
    t.setValue("ISSTN", "N");
    t.setValue("IDREFATVP", 1);
    t.beforePost = [](EditableTable &) { throw DbError("log failed"); };
    EXPECT_THROW(t.post(), DbError);
    EXPECT_EQ(t.state(), EditableTable::State::Insert);
    EXPECT_TRUE(db.db->inTransaction());
    EXPECT_EQ(db.scalar("select count(*) from DPATVPPSL").toInt(), 1);
    tx.rollback();
    EXPECT_EQ(db.scalar("select count(*) from DPATVPPSL").toInt(), 0);
    EXPECT_FALSE(db.db->inTransaction());
}

TEST(Transaction, RollsBackUnlessCommitted) {
    TestDatabase db;
    {
        Transaction tx(*db.db);
        db.exec("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST) VALUES (1, 2456748.5, 1)");
    }
    EXPECT_EQ(db.scalar("select count(*) from DPATVP").toInt(), 0);
    {
        Transaction tx(*db.db);
        db.exec("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST) VALUES (2, 2456748.5, 1)");
        tx.commit();
    }
    EXPECT_EQ(db.scalar("select count(*) from DPATVP").toInt(), 1);
    Transaction outer(*db.db);
    EXPECT_THROW(Transaction inner(*db.db), DbError) << "one transaction at a time";
}

TEST(Transaction, AFailedCommitRollsBackAndTheConnectionStaysUsable) {
    TestDatabase db;
    db.exec("PRAGMA busy_timeout = 0");
    {
        // Another process reading the register holds a lock that the COMMIT cannot pass.
        QSqlDatabase reader = QSqlDatabase::addDatabase("QSQLITE", "reader");
        reader.setDatabaseName(db.db->embeddedPath());
        ASSERT_TRUE(reader.open());
        ASSERT_TRUE(reader.transaction());
        QSqlQuery read(reader);
        ASSERT_TRUE(read.exec("select count(*) from DPATVP") && read.next());
        {
            Transaction tx(*db.db);
            db.exec("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST, XML_FILE, STATUS) "
                    "VALUES (1, 2456749.5, 1, 'A.xml', 0)");
            try {
                tx.commit();
                ADD_FAILURE() << "the commit passed the reader's lock";
            } catch (const DbError &e) {
                EXPECT_TRUE(e.message().contains("database is locked"))
                    << e.message().toStdString();
            }
        }
        EXPECT_FALSE(db.db->inTransaction());
        read.finish();
        reader.commit();
        EXPECT_EQ(db.scalar("select count(*) from DPATVP").toInt(), 0) << "nothing half-written";
        {
            Transaction tx(*db.db);
            db.exec("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST) VALUES (2, 2456749.5, 1)");
            tx.commit();
        }
        db.exec("INSERT INTO DPATVP (DPATVPID, DANPOROCANJA, ZAPST) VALUES (3, 2456749.5, 1)");
        QSqlQuery seen(reader);
        ASSERT_TRUE(seen.exec("select group_concat(DPATVPID) from DPATVP") && seen.next());
        EXPECT_EQ(seen.value(0).toString(), "2,3") << "a plain write lands at once, not in a "
                                                      "forgotten transaction";
        reader.close();
    }
    QSqlDatabase::removeDatabase("reader");
}

TEST(Table, AWriteThatMatchesNoRowIsAnError) {
    struct Case {
        const char *name;
        std::function<void(EditableTable &)> write;
    };
    const Case cases[] = {
        {"edit",
         [](EditableTable &t) {
             t.edit();
             t.setValue("IDREFATVP", 99);
             t.post();
         }},
        {"delete", [](EditableTable &t) { t.deleteRow(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestDatabase db;
        EditableTable t(*db.db, "DPATVPPSL");
        t.open();
        appendAssignment(t, 5, 101, "N", 11);
        ASSERT_TRUE(t.restrictToKey({5, 101}));
        db.exec("delete from DPATVPPSL where IDPSL = 101");
        try {
            c.write(t);
            ADD_FAILURE() << "a write that changed no row passed";
        } catch (const DbError &e) {
            EXPECT_EQ(e.message(), "Vrstica tabele DPATVPPSL s ključem DPATVPID=5, IDPSL=101, "
                                   "ISSTN=N ne obstaja več: medtem jo je nekdo spremenil ali "
                                   "zbrisal. Osvežite podatke in ponovite dejanje.");
        }
    }
}

TEST(Filter, ShowsOneKeyValueAndRereadsAfterChanges) {
    TestDatabase db;
    KeyFilteredTable f(*db.db, "DPATVPIMP");
    f.setCurrentKey("DATUM");
    EXPECT_FALSE(f.setKeyValue(QDate(2014, 4, 1)));
    for (int id : {1, 2}) {
        f.append();
        f.setValue("IDIMP", id);
        f.setValue("DATUM", QDate(2014, 4, id));
        f.setValue("ISIN", "SI0031102120");
        f.post();
    }
    EXPECT_EQ(f.recordCount(), 1) << "re-read after saving: only the row of the chosen day";
    EXPECT_EQ(f.asInteger("IDIMP"), 1);
    EXPECT_EQ(f.asDateTime("DATUM").date(), QDate(2014, 4, 1));
    EXPECT_TRUE(f.setKeyValue(QDate(2014, 4, 2)));
    EXPECT_EQ(f.asInteger("IDIMP"), 2);
}
} // namespace
