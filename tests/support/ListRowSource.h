#pragma once

#include "RowSource.h"

#include <QStringList>
#include <QVariantList>

// Rows held in memory, for the list's own tests: fetched in steps as a database cursor would.
class ListRowSource : public RowSource {
public:
    ListRowSource(QStringList columns, QList<QVariantList> rows, std::vector<FieldDef> fields = {})
        : columns_(std::move(columns)), rows_(std::move(rows)), fields_(std::move(fields)) {}

    bool active() const override { return true; }
    const std::vector<FieldDef> &fields() const override { return fields_; }
    int columnCount() const override { return static_cast<int>(columns_.size()); }
    QString columnName(int index) const override { return columns_.value(index); }
    int columnIndex(const QString &column) const override {
        for (int i = 0; i < columns_.size(); ++i)
            if (columns_[i].compare(column, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    int fetchedRowCount() const override { return fetched_; }
    bool canFetchMore() const override { return fetched_ < rows_.size(); }
    int fetchMore(int count) override {
        const int before = fetched_;
        fetched_ = std::min<int>(static_cast<int>(rows_.size()), fetched_ + count);
        return fetched_ - before;
    }
    QVariant valueAt(int row, int column) const override {
        return row < fetched_ ? rows_[row].value(column) : QVariant();
    }
    int recordCount() override {
        fetched_ = static_cast<int>(rows_.size());
        return fetched_;
    }
    int recNo() const override { return current_; }
    bool moveTo(int row) override {
        if (row >= fetched_)
            fetchMore(row - fetched_ + 1);
        if (row < 0 || row >= fetched_)
            return false;
        current_ = row;
        return true;
    }
    void reload() override {
        fetched_ = 0;
        current_ = 0;
        ++reloads;
    }
    // The current row's value of a column.
    QVariant value(const QString &column) const { return valueAt(current_, columnIndex(column)); }

    int reloads = 0;

private:
    QStringList columns_;
    QList<QVariantList> rows_;
    std::vector<FieldDef> fields_;
    int fetched_ = 0;
    int current_ = 0;
};
