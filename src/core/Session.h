#pragma once

#include "ActivityLog.h"
#include "Configuration.h"
#include "DebugLog.h"

#include <functional>

class Clock;
class Database;
class Prompter;
class Waiter;

// What a workflow needs for one run: the connection, the configuration and its dialect, the
// application user, the program directory, the two logs, and the user, time and waiting
// interfaces that the tests replace.
class Session {
public:
    Session(Database &db, const Configuration &configuration, const QString &applicationUser,
            const QString &programDirectory, Prompter &prompter, const Clock &clock,
            Waiter &waiter);

    Database &db;
    const Configuration &configuration;
    const QString applicationUser;
    const QString programDirectory;
    Prompter &prompter;
    const Clock &clock;
    Waiter &waiter;
    DebugLog debugLog;
    ActivityLog activityLog;

    bool isDb2() const { return configuration.isDb2; }

    // Told when a long operation starts a step ("Faza 1", ...): progress lines, timing.
    std::function<void(const QString &step)> onProgress;
    // A step starts: the lines of the one before reach the debug log's file.
    void progress(const QString &step) const {
        debugLog.flush();
        if (onProgress)
            onProgress(step);
    }
};
