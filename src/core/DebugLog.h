#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class Clock;
class QFile;

// "Log.txt" in the program directory, written only when the configuration switches debugging
// on. Long operations write a line before and after each step, so a failed run can be traced.
class DebugLog {
public:
    DebugLog(bool enabled, const QString &programDirectory, const Clock &clock);
    ~DebugLog();
    DebugLog(const DebugLog &) = delete;
    DebugLog &operator=(const DebugLog &) = delete;

    bool enabled() const { return enabled_; }
    QString path() const { return path_; }

    // Appends "dd.mm.yyyy hh:mm:ss : message" (creating the file with its first line). The file
    // is opened at the first line and stays open; lines are buffered until flush(), which the
    // steps of a run call when they end, and which runs also when the log is destroyed. A file
    // that cannot be opened or written fails the operation that was logging.
    void write(const QString &message) const;
    void flush() const;

    // Flushes the log when a scope ends, also when it ends by an error (a write error is then
    // not reported: the error that ends the scope is).
    class FlushAtEnd {
    public:
        explicit FlushAtEnd(const DebugLog &log) : log_(log) {}
        ~FlushAtEnd();
        FlushAtEnd(const FlushAtEnd &) = delete;
        FlushAtEnd &operator=(const FlushAtEnd &) = delete;

    private:
        const DebugLog &log_;
    };

private:
    void fail() const;

    bool enabled_;
    QString path_;
    const Clock &clock_;
    mutable std::unique_ptr<QFile> file_;
    mutable QByteArray buffer_;
    // The time text of the last line, reused while the second stays the same.
    mutable qint64 stampSecond_ = -1;
    mutable QByteArray stamp_;
};
