#pragma once

#include "ProgramArguments.h"

#include <QDate>
#include <QTextStream>
#include <optional>

class Clock;
class ProcessRunner;
class Waiter;

// The main road without a window, for the system scheduler: collect a period and generate
// its report ("--report FROM TO", with "--sign" also sign and deliver it with the credentials
// remembered in RAPO.ini), list the report register ("--list-reports FROM TO"), or act on one
// report named by its file as the "Poročila" page does ("--confirm", "--reject",
// "--regenerate", "--delete-report", "--sign-file" FILE), or sign and deliver the PDF folder's
// files ("--sign-pdf").
// The exit code tells whether a person must step in.
class DailyReport {
public:
    enum ExitCode { Done = 0, Failed = 1, ChoiceNeeded = 2, NothingToReport = 3 };

    static bool wanted(const ProgramArguments &arguments);
    static int run(const ProgramArguments &arguments, const QString &programDirectory,
                   const Clock &clock, Waiter &waiter, QTextStream &out, QTextStream &err,
                   ProcessRunner *runner = nullptr); // GnuPG: the real program when none

    // A day given on the command line (dd.mm.yyyy); a wrong one is said on `err`.
    static std::optional<QDate> dateArgument(const QString &text, QTextStream &err);
};
