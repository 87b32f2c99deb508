#pragma once

#include "CollectionRun.h"
#include "Query.h"
#include "RunState.h"
#include "SessionFixture.h"
#include "WorkingSet.h"

#include <memory>

// A session over fresh host data, and everything a collection run needs.
struct CollectionFixture : SessionFixture {
    using SessionFixture::SessionFixture;
    WorkingSet &workingSet() {
        if (!workingSet_)
            workingSet_ = std::make_unique<WorkingSet>(session());
        return *workingSet_;
    }
    CollectionRun::Result run(const QDate &from, const QDate &to) {
        return CollectionRun::run(session(), workingSet(), state, from, to);
    }
    CollectionRun::Result run(const QDate &day) { return run(day, day); }

    // The trades a collection holds, "id:N" or "id:D".
    QStringList assignments(qint64 collection) {
        Query q(*t.db);
        q.setText("select IDPSL, ISSTN from DPATVPPSL where DPATVPID = :Id order by IDPSL, ISSTN");
        q.setInteger("Id", collection);
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << q.asString("IDPSL") + ":" + q.asString("ISSTN");
        return out;
    }
    // A column of every working-set row, in order.
    QStringList column(const QString &name) {
        Query &q = workingSet().qDPATVPPSL;
        QStringList out;
        if (!q.active())
            return out;
        for (q.first(); !q.eof(); q.next())
            out << q.asString(name);
        q.first();
        return out;
    }
    // Marks a collection as reported.
    void reportCollection(qint64 id, const QDate &day) {
        host.report(id, day, 1, QDateTime(day, QTime(18, 0)));
    }

    RunState state;

private:
    std::unique_ptr<WorkingSet> workingSet_;
};
