#include "Session.h"

#include "Clock.h"
#include "Database.h"

Session::Session(Database &db, const Configuration &configuration, const QString &applicationUser,
                 const QString &programDirectory, Prompter &prompter, const Clock &clock,
                 Waiter &waiter)
    : db(db), configuration(configuration), applicationUser(applicationUser),
      programDirectory(programDirectory), prompter(prompter), clock(clock), waiter(waiter),
      debugLog(configuration.debug, programDirectory, clock),
      activityLog(db, clock, applicationUser, configuration.isDb2) {
    // CURRENT_DATE of the embedded database is the run's today.
    db.setToday([&clock] { return clock.today(); });
}
