#include "InstrumentLookup.h"

#include "Query.h"

namespace {
const QString codeColumn = QStringLiteral("IntIdent");
}

InstrumentLookup::InstrumentLookup(Query &instruments) : instruments_(instruments) {
    if (!instruments.active())
        return;
    const int column = instruments.requireColumn(codeColumn);
    const int count = instruments.recordCount();
    rows_.reserve(count);
    // The first row of a code counts, as a walk from the first row would find it.
    for (int row = 0; row < count; ++row) {
        const QString code = DataSet::valueText(instruments.valueAt(row, column));
        if (!rows_.contains(code))
            rows_.insert(code, row);
    }
}

bool InstrumentLookup::moveTo(qint64 internalCode) {
    if (!instruments_.active())
        instruments_.requireColumn(codeColumn);
    const auto found = rows_.constFind(QString::number(internalCode));
    return found != rows_.constEnd() && instruments_.moveTo(*found);
}
