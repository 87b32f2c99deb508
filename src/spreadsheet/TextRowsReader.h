#pragma once

#include "SheetReader.h"

#include <QList>
#include <QStringList>

// Rows of texts held in memory. A row can be read only as far as it has entries.
class TextRowsReader : public SheetReader {
public:
    explicit TextRowsReader(QList<QStringList> rows) : rows_(std::move(rows)) {}

    int rowCount() const override { return int(rows_.size()); }
    int columnLimit(int row) const override;
    SheetCell cell(int row, int column) const override;

private:
    QList<QStringList> rows_;
};
