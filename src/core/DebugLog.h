#pragma once

#include <QString>

class Clock;

// "Log.txt" in the program directory, written only when the configuration switches debugging
// on. Long operations write a line before and after each step, so a failed run can be traced.
class DebugLog {
public:
    DebugLog(bool enabled, const QString &programDirectory, const Clock &clock);

    bool enabled() const { return enabled_; }
    QString path() const { return path_; }

    // Appends "dd.mm.yyyy hh:mm:ss : message" (creating the file with its first line). The file
    // is opened and closed for every line, so another program may read it in between. A file
    // that cannot be written fails the operation that was logging.
    void write(const QString &message) const;

private:
    bool enabled_;
    QString path_;
    const Clock &clock_;
};
