#include "Database.h"

#include "DbError.h"
#include "EmbeddedEngine.h"
#include "JulianDay.h"
#include "Schema.h"

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
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return false;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    bool found = false;
    SQLCHAR dsn[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[512];
    SQLSMALLINT dsnLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDataSources(env, direction, dsn, sizeof dsn, &dsnLength, description,
                                        sizeof description, &descriptionLength))) {
        direction = SQL_FETCH_NEXT;
        if (QString::fromLocal8Bit(reinterpret_cast<const char *>(dsn))
                .compare(name, Qt::CaseInsensitive) == 0) {
            found = true;
            break;
        }
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return found;
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
    if (!QFileInfo::exists(path))
        throw DbError(
            QStringLiteral("Podatkovnega vira ") + alias_ +
            QStringLiteral(" ni: ni ga med viri ODBC te delovne postaje in ni datoteke ") + path +
            u'.');
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
    const QVariant handle = db_.driver()->handle();
    auto *sqlite = *static_cast<sqlite3 *const *>(handle.constData());
    EmbeddedEngine::install(sqlite, &today_);
    embedded_ = true;
    open_ = true;
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
    if (!db.transaction())
        throw DbError(errorText(db.lastError()));
    inTransaction_ = true;
}

void Database::commit() {
    if (!inTransaction_)
        throw DbError(QStringLiteral("Ni odprte transakcije."));
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
