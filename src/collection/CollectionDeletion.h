#pragma once

#include <QDate>
#include <QString>
#include <vector>

class Session;

// "Brisanje nabora": discards what was collected but never reported (every collection without
// a report, the import links to them) and the unsent reports of the period with their files; the
// assignments of a sent report stay, also when an unsent regeneration of it goes. Each of the
// three steps is a transaction of its own; a failing step ends the deletion with its message and
// leaves earlier steps committed.
class CollectionDeletion {
public:
    struct Summary {
        struct Report {
            QString file;
            qint64 ownAssignments = 0; // the trades its deletion frees
        };
        qint64 pendingAssignments = 0; // collected, without a report
        qint64 pendingImports = 0;
        std::vector<Report> reports; // the unsent reports of the period
    };

    static Summary summarize(Session &session, const QDate &from, const QDate &to);
    // Says what the deletion removes and deletes on OK; true when it ran.
    static bool deletePeriodAsked(Session &session, const QDate &from, const QDate &to);
    static void deletePeriod(Session &session, const QDate &from, const QDate &to);

    // Every assignment of a collection without a report, in one statement.
    static QString pendingAssignmentsDeleteSql();
    // Frees every import linked to a collection without a report, in one statement.
    static QString pendingImportsFreeSql();
};
