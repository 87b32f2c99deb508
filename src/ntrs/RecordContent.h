#pragma once

#include "NtrsDocument.h"

#include <vector>

class InstrumentLookup;
class Query;
struct Configuration;

// How each record of a report is filled from the current row of its query: the instrument
// register entry from the instrument query, the transaction and the cancellation from the
// working set. Every value passes its format check and every record its rules; a value that
// fails stops the report with the check's message, or, when a failure list is given, is added
// to it and the filling goes on.
class RecordContent {
public:
    // One value that breaks its rule.
    struct Failure {
        QString reference; // the transaction reference, or "FI <code>" for an instrument
        QString field;
        QString value;
        QString rule;
        QString message;
    };

    // `reference` is the transaction reference of the working set's current row, for messages.
    RecordContent(const Configuration &configuration, QString reference = {},
                  std::vector<Failure> *failures = nullptr);

    void fillInstrument(InstrumentRecord record, const Query &instrument) const;
    // Moves the instrument query to the transaction's instrument for its derivative data.
    void fillTransaction(TransactionRecord record, const Query &row,
                         InstrumentLookup &instruments) const;
    void fillCancellation(CancellationRecord record, const Query &row) const;

    // Whether an instrument row describes a derivative without ISIN (an option or a future).
    static bool isDerivative(const Query &instrument);
    // A trade crossed inside the firm with an own-account trade is reported once, through the
    // own-account side: this is the other side.
    static bool isLeftOut(const Query &row);

private:
    // Stops with the message, or adds it to the failure list.
    void fail(const QString &field, const QString &value, const QString &rule,
              const QString &message) const;
    template <typename Fill> void guard(Fill fill) const;
    QString label(const Query &q, const QString &column) const;
    QString pf(const Query &q, const QString &column, const QString &format,
               const QString &prefix = {}, const QString &suffix = {}) const;
    QString firm(const Query &q) const;
    qint32 internalCode(const Query &q, const QString &column) const;
    void fillDerivative(AlternativeInstrumentId aii, const Query &instrument) const;
    QString bic(const Query &q, const QString &column) const;

    const Configuration &configuration_;
    QString reference_;
    std::vector<Failure> *failures_;
};
