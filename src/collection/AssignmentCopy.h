#pragma once

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
