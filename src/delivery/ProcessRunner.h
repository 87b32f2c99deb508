#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// How a run of an outside program ended.
struct ProcessResult {
    enum class Ending { Finished, Crashed, TimedOut, NotStarted };
    Ending ending = Ending::NotStarted;
    int exitCode = -1;
    // What the program wrote, its error output first.
    QString output;
    // The system's text when the program could not be started or did not end normally.
    QString errorText;
    qint64 processId = 0;

    bool succeeded() const { return ending == Ending::Finished && exitCode == 0; }
};

// Starts an outside program (GnuPG) with an argument list, never through a shell, feeds it its
// standard input and waits for it to end, at most `timeoutMs` milliseconds, while the window
// keeps processing its events. A program still running after that is ended.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    virtual ProcessResult run(const QString &program, const QStringList &arguments,
                              const QByteArray &input, int timeoutMs) = 0;
};
