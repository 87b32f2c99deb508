#pragma once

#include "ProcessRunner.h"

#include <QFile>
#include <functional>
#include <vector>

// Stands in for GnuPG where a case is about timing or outcomes: records every run and, unless
// told otherwise, "signs" by writing the output file the arguments name.
class FakeProcessRunner : public ProcessRunner {
public:
    struct Call {
        QString program;
        QStringList arguments;
        QByteArray input;
        int timeoutMs = 0;
        bool outputExisted = false; // when the run started
        QString outputPath() const { return arguments.value(arguments.indexOf("--output") + 1); }
        QString inputPath() const { return arguments.value(arguments.size() - 1); }
    };

    std::vector<Call> calls;
    // The outcome of the next runs, in order; a run beyond them succeeds.
    std::vector<std::function<ProcessResult(const Call &)>> outcomes;

    ProcessResult run(const QString &program, const QStringList &arguments, const QByteArray &input,
                      int timeoutMs) override {
        Call call{program, arguments, input, timeoutMs, false};
        call.outputExisted = QFile::exists(call.outputPath());
        calls.push_back(call);
        if (calls.size() <= outcomes.size())
            return outcomes[calls.size() - 1](call);
        return succeed(call);
    }

    static void writeOutput(const Call &call, const QByteArray &content = "signed") {
        QFile out(call.outputPath());
        if (out.open(QIODevice::WriteOnly))
            out.write(content);
    }
    static ProcessResult succeed(const Call &call) {
        writeOutput(call);
        ProcessResult r;
        r.ending = ProcessResult::Ending::Finished;
        r.exitCode = 0;
        return r;
    }
    // GnuPG still running when the time is up; it had written part of its output.
    static ProcessResult timeOut(const Call &call) {
        writeOutput(call, "part of a message");
        ProcessResult r;
        r.ending = ProcessResult::Ending::TimedOut;
        return r;
    }
    static ProcessResult fail(const QString &said) {
        ProcessResult r;
        r.ending = ProcessResult::Ending::Finished;
        r.exitCode = 2;
        r.output = said;
        return r;
    }
};
