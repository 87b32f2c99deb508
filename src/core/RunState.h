#pragma once

#include <QDate>
#include <QString>

// What the main window remembers between actions of one run.
struct RunState {
    // "dd.mm.yyyy;dd.mm.yyyy" of the last collection run; empty before the first.
    QString collectedPeriod;
    // The report number the last collection run gave its pending collection.
    qint64 collectionId = 0;
    // Set while the working set is loaded when a row is not a cancellation.
    bool hasUnreversedRows = false;

    // What a regeneration remembers for the next generation.
    struct Regeneration {
        bool active = false;
        qint64 zapSt = 0;
        QDate reportDate;
        int status = 0;
    } regeneration;

    void endRegeneration() { regeneration = {}; }
};
