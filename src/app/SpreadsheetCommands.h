#pragma once

#include "ProgramArguments.h"

#include <QTextStream>

class Clock;
class Waiter;

// Workbooks without a window: "--import FILE DAY" imports a day's trades as "Uvoz transakcij"
// does (the command is the confirmation; an unknown instrument is skipped and listed), and
// "--export FROM TO FILE" collects the period as "--report" does and writes the working set to an
// ".xlsx" workbook instead of a report. Exit codes as "--report".
class SpreadsheetCommands {
public:
    enum ExitCode { Done = 0, Failed = 1, ChoiceNeeded = 2, NothingToDo = 3 };

    static bool wanted(const ProgramArguments &arguments);
    static int run(const ProgramArguments &arguments, const QString &programDirectory,
                   const Clock &clock, Waiter &waiter, QTextStream &out, QTextStream &err);
};
