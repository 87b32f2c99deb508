#include "Database.h"

#include "DbError.h"
#include "EmbeddedEngine.h"
#include "JulianDay.h"
#include "Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

namespace {
QString errorText(const QSqlError &error) {
    return DbError::fromSql(error).message();
}

// How long a statement of the embedded database waits for another program's write to end
// before it fails with the lock message: five seconds, or RAPO_BUSY_TIMEOUT milliseconds.
int busyTimeout() {
    bool ok = false;
    const int milliseconds = qEnvironmentVariableIntValue("RAPO_BUSY_TIMEOUT", &ok);
    return ok && milliseconds >= 0 ? milliseconds : 5000;
}

// The names of the ODBC data sources configured on this workstation.
QStringList odbcDataSources() {
    QStringList names;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return names;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR dsn[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[512];
    SQLSMALLINT dsnLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDataSources(env, direction, dsn, sizeof dsn, &dsnLength, description,
                                        sizeof description, &descriptionLength))) {
        direction = SQL_FETCH_NEXT;
        names << QString::fromLocal8Bit(reinterpret_cast<const char *>(dsn));
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return names;
}

sqlite3 *sqliteHandle(const QSqlDatabase &db) {
    const QVariant handle = db.driver()->handle();
    return *static_cast<sqlite3 *const *>(handle.constData());
}
} // namespace

Database::Database(const QString &alias, const QString &user, const QString &password,
                   const QString &programDirectory)
    : alias_(alias), user_(user), password_(password), programDirectory_(programDirectory),
      today_([] { return QDate::currentDate(); }) {}

Database::~Database() {
    close();
}

QString Database::embeddedPath() const {
    return programDirectory_ + connectionName() + QStringLiteral(".sqlite");
}

bool Database::odbcDataSourceExists(const QString &name) {
    if (name.isEmpty())
        return false;
    return odbcDataSources().contains(name, Qt::CaseInsensitive);
}

QSqlDatabase &Database::connection() {
    if (open_)
        return db_;
    if (alias_.isEmpty())
        throw DbError(QStringLiteral("Povezava z bazo ni mogoča: ukazna vrstica ne navaja "
                                     "podatkovnega vira."));
    const QString name = connectionName();
    if (odbcDataSourceExists(alias_)) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db_.setDatabaseName(alias_);
        db_.setUserName(user_);
        db_.setPassword(password_);
        if (!db_.open()) {
            const QString text = errorText(db_.lastError());
            db_ = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw DbError(QStringLiteral("Povezava s podatkovnim virom ODBC ") + alias_ +
                          QStringLiteral(" ni uspela: ") + text);
        }
        embedded_ = false;
        open_ = true;
        return db_;
    }
    const QString path = embeddedPath();
    if (!QFileInfo::exists(path)) {
        const QStringList sources = odbcDataSources();
        const QFileInfo file(path);
        throw DbError(
            QStringLiteral("Podatkovna zbirka ") + file.fileName() +
            QStringLiteral(" ne obstaja v ") + QDir::toNativeSeparators(programDirectory_) +
            QStringLiteral(".\nPodatkovnega vira ") + alias_ +
            QStringLiteral(" ni med viri ODBC te delovne postaje (") +
            (sources.isEmpty() ? QStringLiteral("ta nima nobenega")
                               : QStringLiteral("ti so: ") + sources.join(QStringLiteral(", "))) +
            QStringLiteral("); iskana datoteka: ") + QDir::toNativeSeparators(path) + u'.');
    }
    openEmbedded(path);
    return db_;
}

void Database::openEmbedded(const QString &path) {
    const QString name = connectionName();
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db_.setDatabaseName(path);
    if (!db_.open()) {
        const QString text = errorText(db_.lastError());
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw DbError(QStringLiteral("Vgrajene baze ") + path +
                      QStringLiteral(" ni mogoče odpreti: ") + text);
    }
    sqlite3 *sqlite = sqliteHandle(db_);
    sqlite3_busy_timeout(sqlite, busyTimeout());
    // SQLite reads the file only with the first statement: a file that is not a database, or
    // whose first page is damaged, is found now rather than in the middle of a step.
    QString failure;
    {
        QSqlQuery check(db_);
        if (!check.exec(QStringLiteral("select count(*) from sqlite_master")))
            failure = errorText(check.lastError());
    }
    if (!failure.isEmpty()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw DbError(QStringLiteral("Vgrajene baze ") + QDir::toNativeSeparators(path) +
                      QStringLiteral(" ni mogoče odpreti.\n") + failure);
    }
    EmbeddedEngine::install(sqlite, &today_);
    embedded_ = true;
    open_ = true;
    Schema::upgradeEmbedded(*this);
}

bool Database::isEmbedded() {
    connection();
    return embedded_;
}

void Database::close() {
    if (!open_)
        return;
    const QString name = db_.connectionName();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    open_ = false;
    inTransaction_ = false;
}

void Database::begin() {
    QSqlDatabase &db = connection();
    if (inTransaction_)
        throw DbError(QStringLiteral("Transakcija je že odprta."));
    if (embedded_) {
        // The write lock is taken at the start, where the busy timeout waits for another
        // program's write; a reading transaction that wanted to write later would be refused at
        // once.
        QSqlQuery begin(db);
        if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
            throw DbError::fromSql(begin.lastError());
        // A file the program may only read is opened for reading; nothing is written to it.
        if (sqlite3_db_readonly(sqliteHandle(db), "main") == 1) {
            begin.exec(QStringLiteral("ROLLBACK"));
            throw DbError(QStringLiteral("V podatkovno zbirko ni mogoče pisati: datoteka ali "
                                         "njena mapa je samo za branje.\n") +
                          QDir::toNativeSeparators(embeddedPath()));
        }
    } else if (!db.transaction()) {
        throw DbError(errorText(db.lastError()));
    }
    inTransaction_ = true;
}

void Database::commit() {
    if (!inTransaction_)
        throw DbError(QStringLiteral("Ni odprte transakcije."));
    statementLog_.sent(QStringLiteral("COMMIT"));
    if (db_.commit()) {
        inTransaction_ = false;
        return;
    }
    const QString cause = errorText(db_.lastError());
    // A failed COMMIT (a reader holding a lock) leaves the transaction open in the database:
    // end it, so that nothing of it lands later and the connection stays usable.
    if (!db_.rollback())
        close(); // closing the connection discards its open transaction
    inTransaction_ = false;
    throw DbError(cause);
}

void Database::rollback() {
    if (!inTransaction_)
        return;
    statementLog_.sent(QStringLiteral("ROLLBACK"));
    if (db_.rollback()) {
        inTransaction_ = false;
        return;
    }
    const QString cause = errorText(db_.lastError());
    close(); // the next statement reopens the connection, without the transaction
    throw DbError(cause);
}

QString Database::prepareText(const QString &sql) {
    return isEmbedded() ? EmbeddedEngine::rewrite(sql) : sql;
}

QVariant Database::bindValue(const ParamValue &value) {
    const bool embedded = isEmbedded();
    switch (value.type) {
    case ParamValue::Type::Null:
        return QVariant(QMetaType::fromType<QString>());
    case ParamValue::Type::Date: {
        const QDate date = value.value.toDate();
        return embedded ? QVariant(JulianDay::fromDate(date)) : QVariant(date);
    }
    case ParamValue::Type::DateTime: {
        const QDateTime dt = value.value.toDateTime();
        return embedded ? QVariant(JulianDay::fromDateTime(dt)) : QVariant(dt);
    }
    case ParamValue::Type::Time: {
        const QTime time = value.value.toTime();
        return embedded ? QVariant(JulianDay::fromDateTime(QDateTime(QDate(1899, 12, 30), time)))
                        : QVariant(time);
    }
    case ParamValue::Type::Integer:
        return QVariant(value.value.toLongLong());
    case ParamValue::Type::Number:
        return QVariant(value.value.toDouble());
    case ParamValue::Type::Text:
        return QVariant(value.value.toString());
    }
    return {};
}

void Database::execDirect(const QString &sql) {
    QSqlQuery query(connection());
    statementLog_.sent(sql);
    if (!query.exec(prepareText(sql)))
        throw DbError::fromSql(query.lastError(), sql);
}

void Database::createSequence(const QString &name) {
    if (isEmbedded())
        execDirect(EmbeddedEngine::createSequence(name));
    else
        execDirect(QStringLiteral("CREATE SEQUENCE ") + name);
}

void Database::createEmbedded(const QString &alias, const QString &programDirectory) {
    Database db(alias, {}, {}, programDirectory);
    const QString path = db.embeddedPath();
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("Baza ") + path + QStringLiteral(" že obstaja."));
    db.openEmbedded(path);
    db.inTransaction([&] {
        for (const QString &statement : EmbeddedEngine::supportTables())
            db.execDirect(statement);
    });
    Schema::createEmbedded(db);
}
