#include "DbError.h"

#include <QSqlError>

DbError DbError::fromSql(const QSqlError &error, const QString &statement) {
    const QString database = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    QString text = database.isEmpty() ? driver : database;
    if (!database.isEmpty() && !driver.isEmpty() && driver != database)
        text += QStringLiteral(" (") + driver + u')';
    if (!statement.isEmpty())
        text += QStringLiteral("\n") + statement.trimmed();
    return DbError(text);
}
