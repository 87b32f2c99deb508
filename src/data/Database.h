#pragma once

#include "ParamValue.h"
#include "StatementLog.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <functional>

// The one connection of a run, named by the upper-cased alias and opened at first use.
// The alias names an ODBC data source (a site's Oracle or DB2 host database); when there is
// none, the embedded database file <ALIAS>.sqlite in the program directory.
class Database {
public:
    Database(const QString &alias, const QString &user, const QString &password,
             const QString &programDirectory);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    const QString &alias() const { return alias_; }
    QString connectionName() const { return alias_.toUpper(); }
    // The embedded file this alias would use.
    QString embeddedPath() const;

    // Opens the connection when it is not open yet; throws DbError when it cannot.
    QSqlDatabase &connection();
    bool isOpen() const { return open_; }
    bool isEmbedded();
    void close();

    // What CURRENT_DATE gives in the embedded database (the run's clock).
    void setToday(std::function<QDate()> today) { today_ = std::move(today); }

    // Transactions: one at a time. Prefer the Transaction guard.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return inTransaction_; }

    // Runs `work` in a transaction: committed when it returns, rolled back when it throws.
    template <typename Work> void inTransaction(Work work);

    // The text as it is sent to the database (the embedded engine's rewrite applied).
    QString prepareText(const QString &sql);
    // A value in the form the driver binds.
    QVariant bindValue(const ParamValue &value);
    // Runs a statement without parameters.
    void execDirect(const QString &sql);
    void createSequence(const QString &name);

    // Every statement sent, counted and, with RAPO_SQL_LOG, written for the site's DBA.
    StatementLog &statementLog() { return statementLog_; }

    // Creates the embedded database file of `alias` with every table, sequence and index.
    // Throws when the file already exists or cannot be created.
    static void createEmbedded(const QString &alias, const QString &programDirectory);
    // True when an ODBC data source of that name is configured on this workstation.
    static bool odbcDataSourceExists(const QString &name);

private:
    void openEmbedded(const QString &path);

    QString alias_;
    QString user_;
    QString password_;
    QString programDirectory_;
    QSqlDatabase db_;
    bool open_ = false;
    bool embedded_ = false;
    bool inTransaction_ = false;
    std::function<QDate()> today_;
    StatementLog statementLog_;
};

#include "Transaction.h"

template <typename Work> void Database::inTransaction(Work work) {
    Transaction tx(*this);
    work();
    tx.commit();
}
