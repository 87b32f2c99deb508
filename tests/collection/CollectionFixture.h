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

    // Host instruments 100 and 101 share an ISIN and are both reported as 100: two complete
    // register entries, 100's the current one, each equal to 100's host data but for its short
    // code, so that a collection finds nothing to refresh.
    void twoEntriesForOneIsin() {
        host.instrument(100, "SI0031102120");
        host.instrument(101, "SI0031102120");
        host.exec(
            "INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK, SFVP_POROCANJE, AII_MIC, AII_PRODUCT, "
            "AII_CFI, IZD, DRZ_IZD, GLVNMN, VLT, LOTEMS, INSTRUMENTNAME, DANSPR, DANSPR_SFVP) "
            "VALUES ('SI0031102120', 100, 100, 'xlju', 'VP100', 'ESVUFR', 'Izdajatelj d.d.', "
            "'SI', 1, 'EUR', 1000000, 'Vrednostni papir 100', 2456700.5, 2456293.5), "
            "('SI0031102120', 101, 100, 'xlju', 'VP100A', 'ESVUFR', 'Izdajatelj d.d.', "
            "'SI', 1, 'EUR', 1000000, 'Vrednostni papir 100', 2456690.5, 2456293.5)");
    }

    RunState state;

private:
    std::unique_ptr<WorkingSet> workingSet_;
};
