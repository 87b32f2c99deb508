#pragma once

#include "ProgramArguments.h"

#include <QString>
#include <QStringList>

// The data module: the run-wide values of the command line and the set-up of the one database
// connection of the run. Nothing is opened here; the connection opens with the first access.
class TDMLB {
public:
    explicit TDMLB(const ProgramArguments &arguments);

    const QString &alias() const { return alias_; }
    const QString &user() const { return user_; }
    const QString &password() const { return password_; }
    const QString &applicationUser() const { return applicationUser_; }
    bool hasArguments() const { return hasArguments_; }

    // The connection `dbMain` is named by the upper-cased alias.
    QString connectionName() const { return alias_.toUpper(); }
    // Exactly the two lines the connection is given.
    QStringList connectionParameters() const;

private:
    QString alias_;
    QString user_;
    QString password_;
    QString applicationUser_;
    bool hasArguments_ = false;
};
