#include "QProcessRunner.h"

#include "Clock.h"
#include "Waiter.h"

#include <QProcess>
#include <algorithm>

QProcessRunner::QProcessRunner(Waiter &waiter, const Clock &clock)
    : waiter_(waiter), clock_(clock) {}

ProcessResult QProcessRunner::run(const QString &program, const QStringList &arguments,
                                  const QByteArray &input, int timeoutMs) {
    ProcessResult result;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    const QDateTime deadline = clock_.now().addMSecs(timeoutMs);
    process.start();
    if (!process.waitForStarted(timeoutMs)) {
        result.ending = ProcessResult::Ending::NotStarted;
        result.errorText = process.errorString();
        return result;
    }
    result.processId = process.processId();
    // The input is small (a pass phrase and a line end): it fits the pipe at once.
    if (!input.isEmpty()) {
        process.write(input);
        process.waitForBytesWritten(timeoutMs);
    }
    process.closeWriteChannel();

    while (process.state() != QProcess::NotRunning) {
        const qint64 left = clock_.now().msecsTo(deadline);
        if (left <= 0)
            break;
        waiter_.wait(static_cast<int>(std::min<qint64>(left, pollMs)));
    }

    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        result.ending = ProcessResult::Ending::TimedOut;
    } else if (process.exitStatus() == QProcess::CrashExit) {
        result.ending = ProcessResult::Ending::Crashed;
        result.errorText = process.errorString();
    } else {
        result.ending = ProcessResult::Ending::Finished;
        result.exitCode = process.exitCode();
    }
    result.output = (QString::fromLocal8Bit(process.readAllStandardError()) +
                     QString::fromLocal8Bit(process.readAllStandardOutput()))
                        .trimmed();
    return result;
}
