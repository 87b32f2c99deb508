#pragma once

#include <QHash>
#include <QString>

class Query;

// The rows of the instrument query by internal code, so that each transaction of a report
// finds its instrument at once instead of by a walk over the query.
class InstrumentLookup {
public:
    // Reads every row of `instruments` (an open instrument query).
    explicit InstrumentLookup(Query &instruments);

    // Moves the query to the first row of that internal code; false when there is none.
    bool moveTo(qint64 internalCode);
    Query &query() const { return instruments_; }

private:
    Query &instruments_;
    QHash<QString, int> rows_; // internal code as text -> first row
};
