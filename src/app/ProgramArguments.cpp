#include "ProgramArguments.h"

int ProgramArguments::valueCount(const QString &option) {
    static const QMap<QString, int> counts = {
        {QStringLiteral("--create-db"), 1},  {QStringLiteral("--create-demo"), 1},
        {QStringLiteral("--report"), 2},     {QStringLiteral("--list-reports"), 2},
        {QStringLiteral("--confirm"), 1},    {QStringLiteral("--reject"), 1},
        {QStringLiteral("--regenerate"), 1}, {QStringLiteral("--delete-report"), 1},
        {QStringLiteral("--sign-file"), 1},  {QStringLiteral("--import"), 2},
        {QStringLiteral("--export"), 3},
    };
    return counts.value(option, 0);
}

ProgramArguments ProgramArguments::parse(const QStringList &arguments) {
    ProgramArguments a;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(QStringLiteral("--"))) {
            a.positional << argument;
            continue;
        }
        QStringList values;
        for (int v = 0; v < valueCount(argument); ++v)
            values << (i + 1 < arguments.size() ? arguments[++i] : QString());
        a.options.insert(argument, values);
    }
    // With one or two arguments nothing is taken: the first database access then fails.
    if (a.positional.size() > 2) {
        a.alias = a.positional[0];
        a.user = a.positional[1];
        a.password = a.positional[2];
    }
    // The application user counts only when exactly four arguments are given.
    if (a.positional.size() == 4)
        a.applicationUser = a.positional[3];
    return a;
}
