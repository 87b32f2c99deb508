#pragma once

#include "DataModule.h"

#include <QMap>
#include <QString>
#include <QStringList>

// The command line as the host system passes it: alias, user, password and, optionally, the
// application user. Arguments beginning with "--" are the program's own options; they and the
// values they take are not counted among these.
struct ProgramArguments {
    QString alias;
    QString user;
    QString password;
    QString applicationUser;
    QStringList positional;             // every argument that is neither option nor its value
    QMap<QString, QStringList> options; // option name (with "--") -> its values

    bool hasArguments() const { return !positional.isEmpty(); }
    bool hasOption(const QString &name) const { return options.contains(name); }
    Login login() const { return {alias, user, password, applicationUser, hasArguments()}; }

    // `arguments` excludes the program name. An option known to take values takes the
    // arguments that follow it (as many as it has); a missing value is an empty text.
    static ProgramArguments parse(const QStringList &arguments);
    // How many values the program's option takes (0 for an unknown option).
    static int valueCount(const QString &option);
};
