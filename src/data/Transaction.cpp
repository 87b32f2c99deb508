#include "Transaction.h"

#include "Database.h"

Transaction::Transaction(Database &db) : db_(db) {
    db_.begin();
}

Transaction::~Transaction() {
    if (!open_)
        return;
    try {
        db_.rollback();
    } catch (...) {
        // A failed rollback during unwinding must not hide the error that caused it.
    }
}

void Transaction::commit() {
    db_.commit();
    open_ = false;
}

void Transaction::rollback() {
    open_ = false;
    db_.rollback();
}
