#pragma once

#include "RapoError.h"

class QSqlError;

// A failure of the database: a failing statement, a lost connection, a constraint violation.
// The message is the database's own.
class DbError : public RapoError {
public:
    using RapoError::RapoError;
    QString className() const override { return QStringLiteral("EDatabaseError"); }

    // The driver's message, with the statement that failed when there is one.
    static DbError fromSql(const QSqlError &error, const QString &statement = {});
};
