#include "AssignmentCopy.h"

#include "EditableTable.h"
#include "Query.h"
#include "Session.h"

void copyAssignments(Session &session, Query &selection, EditableTable &tDPATVPPSL,
                     const AssignmentTrace &trace) {
    selection.recordCount();
    for (selection.first(); !selection.eof(); selection.next()) {
        if (!tDPATVPPSL.active())
            tDPATVPPSL.open();
        const qint64 id = selection.asInteger(QStringLiteral("DpAtvpId"));
        const qint64 trade = selection.asInteger(QStringLiteral("IdPsl"));
        const QString isStn = selection.asString(QStringLiteral("IsStn")).trimmed();
        const double reference = selection.asFloat(QStringLiteral("IDREFATVP"));
        tDPATVPPSL.append();
        tDPATVPPSL.setValue(QStringLiteral("DPATVPID"), id);
        tDPATVPPSL.setValue(QStringLiteral("IDPSL"), trade);
        tDPATVPPSL.setValue(QStringLiteral("ISSTN"), isStn);
        tDPATVPPSL.setValue(QStringLiteral("IDREFATVP"), reference);
        session.debugLog.write(QString::fromUtf8(trace.id) + QString::number(id));
        session.debugLog.write(QString::fromUtf8(trace.trade) + QString::number(trade));
        session.debugLog.write(QString::fromUtf8(trace.isStn) + isStn);
        session.debugLog.write(QString::fromUtf8(trace.reference) + DataSet::valueText(reference));
        tDPATVPPSL.post();
    }
}
