#pragma once

#include "DataGrid.h"
#include "Query.h"

#include <QStringList>

class DataSet;
class Session;

// The list of the "Fin. instr." page: the register rows whose instrument choice is open, the
// ISINs for which the host holds several live instruments, and the latest row of every ISIN
// with a history of choices, filtered by the leading characters of the ISIN.
class InstrumentRegisterView {
public:
    explicit InstrumentRegisterView(Session &session);

    Query qDPATVP_SFVP;

    // The statement of the list, without its order.
    static QStringList statementLines();
    // The list's one order: ISIN ascending, then the newest change first.
    static SortDefinition defaultSort();
    // The order of the following openings.
    void setSort(const SortDefinition &sort);
    const SortDefinition &sort() const { return sort_; }

    // Closes the list and opens it again for the ISINs that begin with `filter`.
    void reopen(const QString &filter);
    void close() { qDPATVP_SFVP.close(); }

    // The colours of the list's current row: red while it has no reported instrument, silver
    // once it remembers an earlier one (silver wins); otherwise the grid's own.
    static void rowColors(const DataSet &list, CellColors &colors);

    // Register rows the list can show that still wait for the user's choice of a reported
    // instrument, whatever the list's filter.
    static int openChoices(Session &session);
    // The ISINs of those rows, in order.
    static QStringList openChoiceIsins(Session &session);

private:
    QString orderLine() const;

    SortDefinition sort_;
};
