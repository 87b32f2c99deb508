#pragma once

#include "Query.h"

#include <QDate>

class Session;
struct RunState;

// The working set (the pending collection with every reported value derived) and the
// instruments it reports. Both are loaded from their templates, adapted to the dialect once at
// start-up, with the period and the collection id.
class WorkingSet {
public:
    explicit WorkingSet(Session &session);

    Query qDPATVPPSL;
    Query qSifrantFinInstr;

    const QString &workingSetTemplate() const { return workingSetTemplate_; }
    const QString &instrumentTemplate() const { return instrumentTemplate_; }

    // Loads the working set; marks in `state` whether a row is not a cancellation. A reference
    // that fails its format check fails the loading.
    // `regenerated`: the collection of a rejected report, which has register rows, instead of
    // the collection that has none yet.
    void load(const QDate &from, const QDate &to, qint64 collectionId, RunState &state,
              bool regenerated = false);
    void loadInstruments(const QDate &from, const QDate &to, qint64 collectionId,
                         bool regenerated = false);
    void close();

    // The 12-digit transaction reference of a row: the configured prefix of its kind, zeros,
    // then its reference number.
    static QString transactionReference(const QString &reference, bool imported,
                                        const QString &hostPrefix, const QString &importPrefix);

    static std::vector<FieldDef> workingSetFields();
    static std::vector<FieldDef> instrumentFields();

private:
    void setPeriod(Query &q, const QDate &from, const QDate &to, qint64 collectionId);

    Session &session_;
    QString workingSetTemplate_;
    QString instrumentTemplate_;
    RunState *state_ = nullptr;
};
