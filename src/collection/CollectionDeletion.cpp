#include "CollectionDeletion.h"

#include "ActivityLog.h"
#include "EditableTable.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "ReportRegister.h"
#include "Session.h"
#include "Transaction.h"

namespace {
// Runs a step in its transaction; any failure becomes the step's message.
template <typename Step> void step(Session &session, const QString &message, Step work) {
    try {
        Transaction tx(session.db);
        work();
        tx.commit();
    } catch (const RapoError &e) {
        const RapoError failed = stepError(message, e);
        session.debugLog.write(failed.message()); // the cause, also in the log
        throw failed;
    }
}

qint64 count(Session &session, const QString &sql, qint64 id = 0) {
    Query q(session.db);
    q.setText(sql);
    if (sql.contains(QStringLiteral(":Id")))
        q.setInteger(QStringLiteral("Id"), id);
    q.open();
    return q.asInteger(QStringLiteral("N"));
}

// A regenerated report shares its collection with the sent report it replaces; the
// assignments then belong to the sent one.
bool ownsAssignments(Session &session, qint64 id) {
    return count(session,
                 QStringLiteral("select count(*) as N from DPATVP where DPATVPID = :Id and DAN is "
                                "not null"),
                 id) == 0;
}

void openUnsentReports(Query &q, const QDate &from, const QDate &to) {
    q.clearSql();
    q.addLine(QStringLiteral(" SELECT DPATVPID, ZAPST, XML_FILE FROM DPATVP "));
    q.addLine(QStringLiteral(
        " WHERE DAN is NULL AND DANPOROCANJA >= :Datum AND DanPorocanja <= :DatumDo "));
    q.addLine(QStringLiteral(" ORDER BY DPATVPID, ZAPST "));
    q.setDate(QStringLiteral("Datum"), from);
    q.setDate(QStringLiteral("DatumDo"), to);
    q.open();
    q.recordCount();
}
} // namespace

CollectionDeletion::Summary CollectionDeletion::summarize(Session &session, const QDate &from,
                                                          const QDate &to) {
    Summary summary;
    summary.pendingAssignments =
        count(session, QStringLiteral("select count(*) as N from DPATVPPSL where DPATVPID not in "
                                      "(select DPATVPID from DPATVP)"));
    summary.pendingImports =
        count(session, QStringLiteral("select count(*) as N from DPATVPIMP where DPATVPID not in "
                                      "(select DPATVPID from DPATVP)"));
    Query reports(session.db);
    openUnsentReports(reports, from, to);
    for (reports.first(); !reports.eof(); reports.next()) {
        const qint64 id = reports.asInteger(QStringLiteral("DPATVPID"));
        const qint64 own =
            ownsAssignments(session, id)
                ? count(session,
                        QStringLiteral("select count(*) as N from DPATVPPSL where DPATVPID = :Id"),
                        id)
                : 0;
        summary.reports.push_back({reports.asString(QStringLiteral("XML_FILE")), own});
    }
    return summary;
}

bool CollectionDeletion::deletePeriodAsked(Session &session, const QDate &from, const QDate &to) {
    const Summary summary = summarize(session, from, to);
    const QString period = from.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" do ") +
                           to.toString(QStringLiteral("dd.MM.yyyy"));
    qint64 trades = summary.pendingAssignments;
    QStringList files;
    for (const Summary::Report &r : summary.reports) {
        files << r.file + QStringLiteral(" (") + QString::number(r.ownAssignments) +
                     QStringLiteral(" poslov)");
        trades += r.ownAssignments;
    }
    const QString reports =
        files.isEmpty()
            ? QStringLiteral("\u2022 neposlanih poročil od ") + period + QStringLiteral(" ni;")
            : QStringLiteral("\u2022 neposlana poročila od ") + period +
                  QStringLiteral(" in njihove datoteke: ") + files.join(QStringLiteral(", ")) +
                  u';';
    const QString text =
        QStringLiteral("Brisanje nabora odstrani:\n") + reports +
        QStringLiteral("\n\u2022 nabrane, še neporočane posle vseh obdobij.\nZa ponovni nabor "
                       "se sprosti ") +
        QString::number(trades) + QStringLiteral(" poslov in ") +
        QString::number(summary.pendingImports) + QStringLiteral(" uvoženih poslov.\nNadaljujem?");
    if (!session.prompter.okCancel(text))
        return false;
    deletePeriod(session, from, to);
    return true;
}

QString CollectionDeletion::pendingAssignmentsDeleteSql() {
    return QStringLiteral(
        " DELETE FROM DPATVPPSL WHERE DPATVPID NOT IN (select DPATVPID from dpatvp) ");
}

QString CollectionDeletion::pendingImportsFreeSql() {
    return QStringLiteral(" UPDATE DPATVPIMP SET DPATVPID=NULL "
                          " WHERE DPATVPID NOT IN (select DPATVPID from dpatvp) ");
}

void CollectionDeletion::deletePeriod(Session &session, const QDate &from, const QDate &to) {
    Database &db = session.db;
    Query uDPATVPPSL(db, QStringLiteral("uDPATVPPSL"));
    Query delDPATVPPSL(db, QStringLiteral("delDPATVPPSL"));

    // One statement a step, whatever the number of trades: the statement takes exactly the
    // rows a selection inside the same transaction would have given.
    step(session, QStringLiteral("Napaka pri brisanju iz DPATVPPSL!"), [&] {
        delDPATVPPSL.setText(CollectionDeletion::pendingAssignmentsDeleteSql());
        delDPATVPPSL.exec();
    });

    step(session, QStringLiteral("Napaka pri popravku DPATVPID v DPATVPIMP!"), [&] {
        Query qDPATVPIMPPopravek(db, QStringLiteral("qDPATVPIMPPopravek"));
        qDPATVPIMPPopravek.setText(CollectionDeletion::pendingImportsFreeSql());
        qDPATVPIMPPopravek.exec();
    });

    step(session, QStringLiteral("Napaka pri brisanju iz DPATVP!"), [&] {
        openUnsentReports(uDPATVPPSL, from, to);
        EditableTable tDPATVP(db, QStringLiteral("DPATVP"));
        session.activityLog.attach(tDPATVP);
        for (uDPATVPPSL.first(); !uDPATVPPSL.eof(); uDPATVPPSL.next()) {
            const qint64 id = uDPATVPPSL.asInteger(QStringLiteral("DPATVPID"));
            if (ownsAssignments(session, id)) {
                delDPATVPPSL.setText(QStringLiteral("DELETE FROM DPATVPPSL WHERE DPATVPID=") +
                                     QString::number(id));
                delDPATVPPSL.exec();
            }
            // A regenerated report shares its number with the sent one it replaces; only the
            // unsent row goes.
            if (tDPATVP.restrictToKey({id, uDPATVPPSL.value(QStringLiteral("ZAPST"))}))
                tDPATVP.deleteRow();
            ReportRegister::removeReportFile(session,
                                             uDPATVPPSL.asString(QStringLiteral("XML_FILE")));
        }
        uDPATVPPSL.close();
    });
}
