#pragma once

#include "NtrsDocument.h"

class Query;
struct Configuration;

// How each record of a report is filled from the current row of its query: the instrument
// register entry from the instrument query, the transaction and the cancellation from the
// working set. Every value passes its format check; a value that fails stops the report with
// the check's message.
class RecordContent {
public:
    // `reference` is the transaction reference of the working set's current row, for messages.
    RecordContent(const Configuration &configuration, QString reference = {});

    void fillInstrument(InstrumentRecord record, const Query &instrument) const;
    // Moves the instrument query to the transaction's instrument for its derivative data.
    void fillTransaction(TransactionRecord record, const Query &row, Query &instruments) const;
    void fillCancellation(CancellationRecord record, const Query &row) const;

    // Whether an instrument row describes a derivative without ISIN (an option or a future).
    static bool isDerivative(const Query &instrument);

private:
    QString pf(const Query &q, const QString &column, const QString &format,
               const QString &prefix = {}, const QString &suffix = {}) const;
    QString firm(const Query &q) const;
    qint32 internalCode(const Query &q, const QString &column) const;
    void fillDerivative(AlternativeInstrumentId aii, const Query &instrument) const;
    QString bic(const Query &q, const QString &column) const;

    const Configuration &configuration_;
    QString reference_;
};
