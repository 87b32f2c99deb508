#pragma once

#include "Configuration.h"
#include "FakeClock.h"
#include "HostData.h"
#include "ScriptedPrompter.h"
#include "Session.h"
#include "TestDatabase.h"

#include <memory>

// A fresh embedded database with the basic host data and a session over it, with a scripted
// prompter and a clock that moves only when the session waits.
struct SessionFixture {
    explicit SessionFixture(Configuration c = {}) : configuration(std::move(c)), host(*t.db) {
        host.basics();
    }

    Session &session() {
        if (!session_)
            session_ = std::make_unique<Session>(*t.db, configuration, "MARKO", t.dir.path(),
                                                 prompter, clock, waiter);
        return *session_;
    }

    Configuration configuration;
    TestDatabase t;
    HostData host;
    ScriptedPrompter prompter;
    FakeClock clock{QDateTime(QDate(2014, 4, 2), QTime(9, 0))};
    FakeWaiter waiter{clock};

private:
    std::unique_ptr<Session> session_;
};
