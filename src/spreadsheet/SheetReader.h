#pragma once

#include "SheetCell.h"

#include <QString>
#include <memory>

// The one way the program reads tabular data: a workbook's first worksheet, a separated text
// file or rows held in memory, cell by cell. Rows and columns count from 0.
class SheetReader {
public:
    virtual ~SheetReader() = default;

    // The rows up to the last one that holds anything.
    virtual int rowCount() const = 0;
    // A cell at or beyond this column of the row cannot be read at all (a workbook's column
    // limit, the end of a row held in memory); below it, a cell without value is empty.
    virtual int columnLimit(int row) const = 0;
    virtual SheetCell cell(int row, int column) const = 0;
    // The file read, for messages; empty for rows in memory.
    virtual QString fileName() const { return {}; }
};

// Opens the first worksheet of a workbook, ".xls" or ".xlsx" as its content says, whatever its
// name ends in. Fails with a message naming the file when it is missing, not a workbook,
// protected by a password or damaged.
std::unique_ptr<SheetReader> openWorkbook(const QString &fileName);
