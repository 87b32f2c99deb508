#pragma once

#include <QDate>
#include <QDateTime>
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
    // The rejected report as it was when the regeneration started; the generation registers the
    // new report only while it is still so, under a number it takes then.
    struct Regeneration {
        bool active = false;
        qint64 zapSt = 0; // of the rejected report
        QDate reportDate; // the rejected report's sending day: its year numbers the new one
        int status = 0;
        QDateTime sent;
        QString xmlFile;
    } regeneration;

    void endRegeneration() { regeneration = {}; }
};
