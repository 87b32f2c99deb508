#pragma once

#include "DataSet.h"
#include "DbError.h"
#include "ParamValue.h"
#include "Schema.h"

// One table as an updatable row set: its columns and key from the schema description, an
// optional filter on opening, restriction to key values, append / edit / post / delete, and
// hooks that run before a row is saved or deleted (an error they raise cancels the change).
class EditableTable : public DataSet {
public:
    enum class State { Inactive, Browse, Insert, Edit };
    using Hook = std::function<void(EditableTable &)>;

    EditableTable(Database &db, const QString &tableName);

    const Schema::Table &table() const { return table_; }
    State state() const { return state_; }
    // The hooks see whether the row being saved is new.
    bool isInserting() const { return state_ == State::Insert; }

    // A condition such as "IDACT = 0" that restricts the rows when the table is opened.
    void setFilter(const QString &condition) { filter_ = condition; }
    void open();
    // Opens the table only to append rows: no row is read, so the host neither reads nor
    // sorts the table's history. append() on a closed table opens it so.
    void openToAppend();
    void close() override;
    // Re-reads the rows, keeping filter and restriction.
    void refresh();
    void reload() override { refresh(); }

    // Shows only the rows whose key columns equal the values (in key order); true when any
    // row remains.
    bool restrictToKey(const QVariantList &keyValues);
    // Shows only the rows whose columns equal the values; true when any row remains.
    bool restrict(const QList<QPair<QString, QVariant>> &columnValues);
    void clearRestriction();

    void append();
    void edit();
    // Sets a column of the row being inserted or edited.
    void setValue(const QString &column, const QVariant &value);
    void post();
    void cancel();
    void deleteRow();

    Hook beforePost;
    Hook beforeDelete;

protected:
    const Row *editedRow() const override;
    // Runs after a row was saved or deleted.
    virtual void afterChange() {}

private:
    ParamValue columnValue(int column, const QVariant &value) const;
    int columnOf(const QString &name) const;
    QString selectText(bool appendOnly = false) const;
    // The WHERE condition that finds the row by its key, filling the key's parameters.
    QString keyCondition(const Row &row, QMap<QString, ParamValue> &params) const;
    // The error of a save or deletion that found its row no more.
    DbError rowGone(const Row &row) const;

    const Schema::Table &table_;
    QString filter_;
    bool appendOnly_ = false;
    QList<QPair<QString, QVariant>> restriction_;
    State state_ = State::Inactive;
    Row buffer_;
    Row original_;
};

// A table restricted to one value of its current key column, given at run time; it re-reads
// after each save and deletion.
class KeyFilteredTable : public EditableTable {
public:
    using EditableTable::EditableTable;

    // The column that restricts the rows, such as "Datum".
    void setCurrentKey(const QString &column) { keyColumn_ = column; }
    const QString &currentKey() const { return keyColumn_; }
    // Shows the rows of that value; true when any.
    bool setKeyValue(const QVariant &value);

protected:
    void afterChange() override { refresh(); }

private:
    QString keyColumn_;
};
