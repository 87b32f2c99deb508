#include "AssignmentCopy.h"

#include "EditableTable.h"
#include "Query.h"
#include "Session.h"

namespace {
void trace(Session &session, const AssignmentTrace &trace, qint64 id, qint64 trade,
           const QString &isStn, double reference) {
    session.debugLog.write(QString::fromUtf8(trace.id) + QString::number(id));
    session.debugLog.write(QString::fromUtf8(trace.trade) + QString::number(trade));
    session.debugLog.write(QString::fromUtf8(trace.isStn) + isStn);
    session.debugLog.write(QString::fromUtf8(trace.reference) + DataSet::valueText(reference));
}
} // namespace

void copyAssignments(Session &session, Query &selection, EditableTable &tDPATVPPSL,
                     const AssignmentTrace &trace) {
    selection.recordCount();
    for (selection.first(); !selection.eof(); selection.next()) {
        if (!tDPATVPPSL.active())
            tDPATVPPSL.openToAppend();
        const qint64 id = selection.asInteger(QStringLiteral("DpAtvpId"));
        const qint64 trade = selection.asInteger(QStringLiteral("IdPsl"));
        const QString isStn = selection.asString(QStringLiteral("IsStn")).trimmed();
        const double reference = selection.asFloat(QStringLiteral("IDREFATVP"));
        tDPATVPPSL.append();
        tDPATVPPSL.setValue(QStringLiteral("DPATVPID"), id);
        tDPATVPPSL.setValue(QStringLiteral("IDPSL"), trade);
        tDPATVPPSL.setValue(QStringLiteral("ISSTN"), isStn);
        tDPATVPPSL.setValue(QStringLiteral("IDREFATVP"), reference);
        ::trace(session, trace, id, trade, isStn, reference);
        tDPATVPPSL.post();
    }
}

void logInsertedAssignments(Session &session, qint64 collectionId, const AssignmentTrace &trace) {
    logInsertedAssignments(session, QStringLiteral("DPATVPID = :DPATVPID"),
                           {{QStringLiteral("DPATVPID"), ParamValue::integer(collectionId)}},
                           QStringLiteral("IDREFATVP"), trace);
}

void logInsertedAssignments(Session &session, const QString &condition,
                            const QList<QPair<QString, ParamValue>> &params, const QString &order,
                            const AssignmentTrace &trace) {
    session.activityLog.writeInserted(QStringLiteral("DPATVPPSL"), condition, params, order,
                                      session.isDb2());
    if (!session.debugLog.enabled())
        return;
    Query rows(session.db);
    rows.setText(QStringLiteral("SELECT DPATVPID, IDPSL, ISSTN, IDREFATVP FROM DPATVPPSL WHERE ") +
                 condition + QStringLiteral(" ORDER BY ") + order);
    for (const auto &[name, value] : params)
        rows.setParam(name, value);
    for (rows.open(); !rows.eof(); rows.next())
        ::trace(session, trace, rows.asInteger(QStringLiteral("DPATVPID")),
                rows.asInteger(QStringLiteral("IDPSL")),
                rows.asString(QStringLiteral("ISSTN")).trimmed(),
                rows.asFloat(QStringLiteral("IDREFATVP")));
}
