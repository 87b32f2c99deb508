#pragma once

#include "ProcessRunner.h"

class Clock;
class Waiter;

// Runs the program with QProcess. The time is measured on the clock and passed in short waits of
// the waiter, so the window stays responsive and the run is seen to end soon after it does.
class QProcessRunner : public ProcessRunner {
public:
    QProcessRunner(Waiter &waiter, const Clock &clock);

    ProcessResult run(const QString &program, const QStringList &arguments, const QByteArray &input,
                      int timeoutMs) override;

    // The length of one wait while the program runs.
    static constexpr int pollMs = 20;

private:
    Waiter &waiter_;
    const Clock &clock_;
};
