#pragma once

class Database;

// Starts a transaction; rolls it back on destruction unless commit() was called.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();
    void rollback();

private:
    Database &db_;
    bool open_ = true;
};
