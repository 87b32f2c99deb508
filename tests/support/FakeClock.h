#pragma once

#include <functional>

#include "Clock.h"
#include "Waiter.h"

// A clock that stands still until a test or the fake waiter moves it.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2014, 4, 2), QTime(9, 30, 0)))
        : now_(std::move(start)) {}
    QDateTime now() const override { return now_; }
    void set(const QDateTime &t) { now_ = t; }
    void advance(int milliseconds) { now_ = now_.addMSecs(milliseconds); }

private:
    QDateTime now_;
};

// Waiting advances the fake clock at once; no test sleeps.
class FakeWaiter : public Waiter {
public:
    explicit FakeWaiter(FakeClock &clock) : clock_(clock) {}
    void wait(int milliseconds) override {
        waits.push_back(milliseconds);
        clock_.advance(milliseconds);
        if (during)
            during();
    }
    std::vector<int> waits;
    // Runs inside every wait, as the window's events would.
    std::function<void()> during;

private:
    FakeClock &clock_;
};
