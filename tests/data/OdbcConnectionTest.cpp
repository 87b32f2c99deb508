#include "Database.h"
#include "Query.h"
#include "TempProgramDirectory.h"
#include "Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
// A data source defined in a temporary ODBC configuration, served by the SQLite ODBC driver:
// the same path a site's Oracle or DB2 data source takes.
class OdbcDataSource {
public:
    OdbcDataSource() {
        const QString driver = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so");
        available = QFileInfo::exists(driver);
        write("odbcinst.ini", "[SQLite3]\nDriver=" + driver + "\n");
        write("odbc.ini", "[RAPOTEST]\nDriver=SQLite3\nDatabase=" + dir.path() + "host.db\n");
        previousSys = qgetenv("ODBCSYSINI");
        previousIni = qgetenv("ODBCINI");
        qputenv("ODBCSYSINI", QFile::encodeName(dir.path()));
        qputenv("ODBCINI", QFile::encodeName(dir.path() + "odbc.ini"));
    }
    ~OdbcDataSource() {
        qputenv("ODBCSYSINI", previousSys);
        qputenv("ODBCINI", previousIni);
    }
    TempProgramDirectory dir;
    bool available = false;

private:
    void write(const QString &name, const QString &text) {
        QFile f(dir.file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    QByteArray previousSys;
    QByteArray previousIni;
};

int countRows(Database &db) {
    Query q(db);
    q.setText("select count(*) as N from DPATVP where STATUS = :Status");
    q.setInteger("Status", 0);
    q.open();
    return static_cast<int>(q.asInteger("N"));
}

TEST(OdbcConnection, AnAliasNamingADataSourceUsesOdbcWithTransactions) {
    OdbcDataSource source;
    ASSERT_TRUE(source.available) << "the SQLite ODBC driver is not installed";
    ASSERT_TRUE(Database::odbcDataSourceExists("rapotest")) << "aliases ignore letter case";

    Database db("RapoTest", "vek", "geslo", source.dir.path());
    EXPECT_FALSE(db.isEmbedded());
    EXPECT_EQ(db.connectionName(), "RAPOTEST");
    db.execDirect("CREATE TABLE DPATVP (DPATVPID INTEGER, ZAPST INTEGER, XML_FILE VARCHAR(30), "
                  "STATUS INTEGER)");

    Query insert(db);
    insert.setText("INSERT INTO DPATVP (DPATVPID, ZAPST, XML_FILE, STATUS) "
                   "VALUES (:Id, :Id, :Xml, :Status)");
    insert.setInteger("Status", 0);
    {
        Transaction tx(db);
        insert.setInteger("Id", 1);
        insert.setString("Xml", "TRDAT01_1.xml");
        insert.exec();
        tx.commit();
    }
    {
        Transaction tx(db);
        insert.setInteger("Id", 2);
        insert.setString("Xml", "TRDAT01_2.xml");
        insert.exec();
        EXPECT_EQ(countRows(db), 2) << "seen inside its own transaction";
    }
    EXPECT_EQ(countRows(db), 1) << "the uncommitted row is rolled back";
}
} // namespace
