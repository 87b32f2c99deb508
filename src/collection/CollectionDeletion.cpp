#include "CollectionDeletion.h"

#include "ActivityLog.h"
#include "EditableTable.h"
#include "Query.h"
#include "RapoError.h"
#include "Session.h"
#include "Transaction.h"

namespace {
// Runs a step in its transaction; any failure becomes the step's message.
template <typename Step> void step(Session &session, const QString &message, Step work) {
    try {
        Transaction tx(session.db);
        work();
        tx.commit();
    } catch (const RapoError &) {
        throw RapoError(message);
    }
}
} // namespace

void CollectionDeletion::deletePeriod(Session &session, const QDate &from, const QDate &to) {
    Database &db = session.db;
    Query uDPATVPPSL(db, QStringLiteral("uDPATVPPSL"));
    Query delDPATVPPSL(db, QStringLiteral("delDPATVPPSL"));

    step(session, QStringLiteral("Napaka pri brisanju iz DPATVPPSL!"), [&] {
        uDPATVPPSL.clearSql();
        uDPATVPPSL.addLine(QStringLiteral(" SELECT DPATVPID, IDPSL FROM DPATVPPSL "));
        uDPATVPPSL.addLine(QStringLiteral(" WHERE DPATVPID NOT IN (select DPATVPID from dpatvp) "));
        uDPATVPPSL.open();
        uDPATVPPSL.recordCount();
        for (uDPATVPPSL.first(); !uDPATVPPSL.eof(); uDPATVPPSL.next()) {
            delDPATVPPSL.setText(QStringLiteral("DELETE FROM DPATVPPSL WHERE DPATVPID=") +
                                 QString::number(uDPATVPPSL.asInteger(QStringLiteral("DPATVPID"))) +
                                 QStringLiteral(" AND IDPSL=") +
                                 QString::number(uDPATVPPSL.asInteger(QStringLiteral("IDPSL"))));
            delDPATVPPSL.exec();
        }
        uDPATVPPSL.close();
    });

    step(session, QStringLiteral("Napaka pri popravku DPATVPID v DPATVPIMP!"), [&] {
        uDPATVPPSL.clearSql();
        uDPATVPPSL.addLine(QStringLiteral(" select IDIMP from dpatvpimp "));
        uDPATVPPSL.addLine(QStringLiteral(" where DPATVPID NOT IN (select DPATVPID from dpatvp) "));
        uDPATVPPSL.open();
        uDPATVPPSL.recordCount();
        Query qDPATVPIMPPopravek(db, QStringLiteral("qDPATVPIMPPopravek"));
        qDPATVPIMPPopravek.setText(
            QStringLiteral(" UPDATE DPATVPIMP SET DPATVPID=NULL WHERE IDIMP=:IDIMP "));
        for (uDPATVPPSL.first(); !uDPATVPPSL.eof(); uDPATVPPSL.next()) {
            qDPATVPIMPPopravek.setInteger(QStringLiteral("IDIMP"),
                                          uDPATVPPSL.asInteger(QStringLiteral("IDIMP")));
            qDPATVPIMPPopravek.exec();
        }
        uDPATVPPSL.close();
    });

    step(session, QStringLiteral("Napaka pri brisanju iz DPATVP!"), [&] {
        uDPATVPPSL.clearSql();
        uDPATVPPSL.addLine(QStringLiteral(" SELECT DPATVPID, ZAPST FROM DPATVP "));
        uDPATVPPSL.addLine(QStringLiteral(
            " WHERE DAN is NULL AND DANPOROCANJA >= :Datum AND DanPorocanja <= :DatumDo "));
        uDPATVPPSL.setDate(QStringLiteral("Datum"), from);
        uDPATVPPSL.setDate(QStringLiteral("DatumDo"), to);
        uDPATVPPSL.open();
        uDPATVPPSL.recordCount();
        EditableTable tDPATVP(db, QStringLiteral("DPATVP"));
        session.activityLog.attach(tDPATVP);
        for (uDPATVPPSL.first(); !uDPATVPPSL.eof(); uDPATVPPSL.next()) {
            const qint64 id = uDPATVPPSL.asInteger(QStringLiteral("DPATVPID"));
            delDPATVPPSL.setText(QStringLiteral("DELETE FROM DPATVPPSL WHERE DPATVPID=") +
                                 QString::number(id));
            delDPATVPPSL.exec();
            // A regenerated report shares its number with the sent one it replaces; only the
            // unsent row goes.
            if (tDPATVP.restrictToKey({id, uDPATVPPSL.value(QStringLiteral("ZAPST"))}))
                tDPATVP.deleteRow();
        }
        uDPATVPPSL.close();
    });
}
