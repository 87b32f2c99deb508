#pragma once

#include "DataModule.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class QTextStream;

// One of the program's own options: its name, the names of the values it takes (their number is
// how many follow it) and what it does, in one line of the usage text.
struct ProgramOption {
    QString name;
    QStringList values;
    QString description;
};

// The command line as the host system passes it: alias, user, password and, optionally, the
// application user. Arguments beginning with "--" are the program's own options; they and the
// values they take are not counted among these. A lone "--" ends the options: what follows is
// taken as it stands (a password that begins with "--").
struct ProgramArguments {
    QString alias;
    QString user;
    QString password;
    QString applicationUser;
    QStringList positional;             // every argument that is neither option nor its value
    QMap<QString, QStringList> options; // option name (with "--") -> its values
    // The first thing wrong with the command line (an unknown option, a missing value); empty
    // when nothing is.
    QString error;

    bool hasArguments() const { return !positional.isEmpty(); }
    bool hasOption(const QString &name) const { return options.contains(name); }
    Login login() const { return {alias, user, password, applicationUser, hasArguments()}; }

    // `arguments` excludes the program name. An option takes the arguments that follow it (as
    // many as it has values); an unknown option or a missing value sets `error`.
    static ProgramArguments parse(const QStringList &arguments);
    // How many values the program's option takes (0 for an unknown option).
    static int valueCount(const QString &option);
    // Every option the program knows, in the order the usage lists them.
    static const QList<ProgramOption> &table();
    // The usage text: the ways to start the program, every option, the environment and the exit
    // codes.
    static QString usage();

    // A password given as "-" is the first line of `in` (the scheduler's way of keeping it off
    // the command line); false when `in` has no line.
    bool readPasswordFrom(QTextStream &in);
};
