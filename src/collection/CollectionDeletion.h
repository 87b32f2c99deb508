#pragma once

#include <QDate>

class Session;

// "Brisanje nabora": discards what was collected but never reported (every collection without
// a report, the import links to them) and the unsent reports of the period. Each of the three
// steps is a transaction of its own; a failing step ends the deletion with its message and
// leaves earlier steps committed.
class CollectionDeletion {
public:
    static void deletePeriod(Session &session, const QDate &from, const QDate &to);
};
