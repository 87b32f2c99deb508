#pragma once

#include "Database.h"

#include <QString>
#include <QStringList>

// What the host system passes on the command line to log on; `given` is false when the program
// was started without any of it.
struct Login {
    QString alias;
    QString user;
    QString password;
    QString applicationUser;
    bool given = false;
};

// The data module: the run-wide values of the command line and the one database connection
// of the run. Nothing is opened here; the connection opens with the first access.
class DataModule {
public:
    DataModule(const Login &login, const QString &programDirectory);

    const QString &alias() const { return alias_; }
    const QString &user() const { return user_; }
    const QString &password() const { return password_; }
    const QString &applicationUser() const { return applicationUser_; }
    bool hasArguments() const { return hasArguments_; }

    // The connection `dbMain` is named by the upper-cased alias.
    QString connectionName() const { return alias_.toUpper(); }
    // Exactly the two lines the connection is given.
    QStringList connectionParameters() const;
    // The connection `dbMain`.
    Database &dbMain() { return dbMain_; }

private:
    QString alias_;
    QString user_;
    QString password_;
    QString applicationUser_;
    bool hasArguments_ = false;
    Database dbMain_;
};
