#pragma once

#include "CollectionRun.h"
#include "ReportRegister.h"

class Session;
class WorkingSet;
struct RunState;

// "Ponovno generiraj": collects a rejected report's period again under the report's own
// collection number, so that trades added, cancelled or corrected since join it, brings the
// instrument register up to date, loads the working set of that collection and arms the next
// generation to register its file as the regenerated report (same number, the sequence number
// and year of the rejected report's sending date, status + 1).
class ReportRegeneration {
public:
    struct Result : CollectionRun::Result {
        QDate from; // the period: the rejected report's first day (its reporting day when
        QDate to;   // none was recorded) to its reporting day
    };

    static Result start(Session &session, WorkingSet &workingSet, RunState &state,
                        const ReportRegister::Row &report);
};
