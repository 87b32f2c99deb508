#pragma once

// "Wait N milliseconds while the window processes its events."
class Waiter {
public:
    virtual ~Waiter() = default;
    virtual void wait(int milliseconds) = 0;
};

// Runs an event loop for the time, so the window stays responsive.
class EventLoopWaiter : public Waiter {
public:
    void wait(int milliseconds) override;
};
