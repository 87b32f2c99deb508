#include "TextRowsReader.h"

int TextRowsReader::columnLimit(int row) const {
    return row >= 0 && row < rows_.size() ? int(rows_[row].size()) : 0;
}

SheetCell TextRowsReader::cell(int row, int column) const {
    if (column < 0 || column >= columnLimit(row))
        return {};
    return SheetCell::text(rows_[row][column]);
}
