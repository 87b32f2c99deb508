#pragma once

#include "ParamValue.h"

#include <QList>
#include <QPair>
#include <QString>

class Query;
class Session;
class EditableTable;

// The debug lines written for every assignment copied.
struct AssignmentTrace {
    const char *id;
    const char *trade;
    const char *isStn;
    const char *reference;

    static AssignmentTrace collection() {
        return {"INSERT DPATVPPSL: ID:", "INSERT DPATVPPSL: IdPsl:", "INSERT DPATVPPSL: IsStn:",
                "INSERT DPATVPPSL: IDREFATVP:"};
    }
    static AssignmentTrace regeneration() {
        return {"uDPATVPPSL.DpAtvpId:", "uDPATVPPSL.IdPsl:", "uDPATVPPSL.IsStn:",
                "uDPATVPPSL.IDREFATVP:"};
    }
};

// Copies the rows of a phase's selection (DpAtvpId, IdPsl, IsStn, IDREFATVP) into DPATVPPSL
// through the logged table component.
void copyAssignments(Session &session, Query &selection, EditableTable &tDPATVPPSL,
                     const AssignmentTrace &trace);

// Logs the assignments of a collection that one statement inserted into DPATVPPSL (the
// collection's only rows so far), as the table component logs a row, and traces them, in the
// order of their reference numbers, which is the order they were selected in.
void logInsertedAssignments(Session &session, qint64 collectionId, const AssignmentTrace &trace);
// The same for the assignments that `condition` selects (a phase's rows among the
// collection's), numbered in the order of `order`.
void logInsertedAssignments(Session &session, const QString &condition,
                            const QList<QPair<QString, ParamValue>> &params, const QString &order,
                            const AssignmentTrace &trace);
