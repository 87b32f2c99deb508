#pragma once

#include "DataImportError.h"
#include "DataImportItem.h"
#include "DataImportStructure.h"

#include <QList>
#include <QSet>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class Prompter;
class SheetReader;

// Reads a tabular file (a workbook's first sheet, a tab- or semicolon-separated text, rows in
// memory) into rows of texts, one per structure item, checking typed values while loading, so a
// caller gets either texts that convert cleanly or an error naming the file, row and column.
class DataImport {
public:
    // The prompter asks about a column that cannot be read.
    explicit DataImport(Prompter &prompter);
    ~DataImport();
    DataImport(const DataImport &) = delete;
    DataImport &operator=(const DataImport &) = delete;

    QString fileName;
    int firstRow = 0; // rows skipped before the first one read
    DataImportDataSource dataSource = DataImportDataSource::didsExcel;
    bool skipErrorCells = true;    // a cell holding an error value reads as empty
    bool readWholeRange = false;   // a workbook's rows end with its last used row, not at an
                                   // empty cell in column A
    bool columnsByHeading = false; // a workbook's first row read names the columns
    QString emptyValue;            // the text of an empty value
    std::optional<QList<QStringList>> stringListData; // the rows of didsStringList

    DataImportStructure &structure() { return structure_; }
    const DataImportStructure &structure() const { return structure_; }

    // Clears the loaded rows and reads the source. Fails with a DataImportError (or the
    // reader's error for a damaged workbook); the rows loaded before a failure stay. An "Abort"
    // to the question about a missing column ends the load quietly with the rows so far.
    void load();

    int count() const { return int(items_.size()); }
    const DataImportItem &item(int index) const { return *items_.at(size_t(index)); }
    void clear() { items_.clear(); }

    // Column letters of a workbook column counted from 1: 1 "A", 27 "AA", 256 "IV"; fails
    // outside 1 to 256.
    static QString columnLetters(int column);

private:
    bool atEnd(const SheetReader &reader, int row) const;
    // The text of a cell; false when it cannot be read.
    bool readValue(const SheetReader &reader, int row, int column, QString &text) const;
    QStringList headingRow(const SheetReader &reader, int row) const;
    QString checked(const SheetReader &reader, int row, int column,
                    const DataImportStructureItem &item, const QString &text) const;

    Prompter &prompter_;
    DataImportStructure structure_;
    std::vector<std::unique_ptr<DataImportItem>> items_;
};
