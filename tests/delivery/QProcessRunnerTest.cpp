#include "QProcessRunner.h"
#include "FakeClock.h"

#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <numeric>

namespace {
TEST(QProcessRunner, ARunStillGoingWhenTheTimeIsUpIsEnded) {
    FakeClock clock;
    FakeWaiter waiter(clock);
    QProcessRunner runner(waiter, clock);
    const ProcessResult result = runner.run("sleep", {"30"}, {}, 5000);

    EXPECT_EQ(result.ending, ProcessResult::Ending::TimedOut);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(std::accumulate(waiter.waits.begin(), waiter.waits.end(), 0), 5000);
    for (int wait : waiter.waits)
        EXPECT_LE(wait, QProcessRunner::pollMs) << "the window is never kept long";
    ASSERT_GT(result.processId, 0);
    EXPECT_EQ(::kill(static_cast<pid_t>(result.processId), 0), -1) << "the process is gone";
}

TEST(QProcessRunner, TheProgramReadsItsInputAndItsWordsAreKept) {
    EventLoopWaiter waiter;
    SystemClock clock;
    QProcessRunner runner(waiter, clock);
    struct Case {
        QString program;
        QStringList arguments;
        QByteArray input;
        int exitCode;
        QString output;
    };
    const std::vector<Case> cases{
        {"sh",
         {"-c", "read line; echo \"prebral: $line\""},
         "geslo ščž\n",
         0,
         QString::fromUtf8("prebral: geslo ščž")},
        {"sh",
         {"-c", "echo 'gpg: signing failed: Bad passphrase' >&2; exit 2"},
         "",
         2,
         "gpg: signing failed: Bad passphrase"},
        {"sh", {"-c", "echo na izhod; echo na napake >&2"}, "", 0, "na napake\nna izhod"},
    };
    for (const Case &c : cases) {
        const ProcessResult result = runner.run(c.program, c.arguments, c.input, 5000);
        EXPECT_EQ(result.ending, ProcessResult::Ending::Finished);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.output, c.output);
        EXPECT_EQ(result.succeeded(), c.exitCode == 0);
    }
}

TEST(QProcessRunner, AProgramThatCannotStartSaysWhy) {
    FakeClock clock;
    FakeWaiter waiter(clock);
    QProcessRunner runner(waiter, clock);
    const QTemporaryDir dir;
    const ProcessResult result = runner.run(dir.path() + "/gpg", {}, "geslo\n", 5000);
    EXPECT_EQ(result.ending, ProcessResult::Ending::NotStarted);
    EXPECT_FALSE(result.errorText.isEmpty());
    EXPECT_TRUE(waiter.waits.empty());
}
} // namespace
