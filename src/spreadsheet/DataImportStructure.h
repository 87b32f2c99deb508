#pragma once

#include <QString>
#include <deque>

// Where the rows of an import come from.
enum class DataImportDataSource {
    didsExcel,      // the first worksheet of a workbook (".xls" or ".xlsx")
    didsTAB,        // a text file, fields separated by the tab character
    didsSemicolon,  // a text file, fields separated by ";"
    didsStringList, // rows held in memory
};

// The check a value's text must pass while loading.
enum class DataImportDataType {
    didtString,   // none
    didtInteger,  // a whole number
    didtFloat,    // a decimal number, thousands separators removed first
    didtDate,     // a date "d.m.yyyy"
    didtTime,     // a time of day "h:m[:s]"
    didtDateTime, // a date, or a date and a time of day
};

// One named value of a row: where it stands and what type it has.
struct DataImportStructureItem {
    int column = 0; // 0 for the first column
    DataImportDataType dataType = DataImportDataType::didtString;
    bool checkDataType = true; // whether the text is checked against dataType while loading
    QString name;              // the name under which the caller asks for the value
    QString destName;          // for the caller; the import does not read it
    bool required = false;     // for the caller; the import does not read it

    // The name, or "StructureItem" when there is none.
    QString displayName() const;
};

// The items of an import, in the order of the values of every loaded row.
class DataImportStructure {
public:
    DataImportStructure() = default;
    // The structure belongs to its import and is never replaced.
    DataImportStructure(const DataImportStructure &) = delete;
    DataImportStructure &operator=(const DataImportStructure &) = delete;

    // Adds an item at the end; the reference stays valid until the structure is cleared.
    DataImportStructureItem &add(const QString &name = {}, int column = 0,
                                 DataImportDataType dataType = DataImportDataType::didtString,
                                 bool checkDataType = true);
    int count() const { return int(items_.size()); }
    DataImportStructureItem &item(int index) { return items_.at(size_t(index)); }
    const DataImportStructureItem &item(int index) const { return items_.at(size_t(index)); }
    // The first item of that name, letter case ignored; -1 when none.
    int indexOf(const QString &name) const;
    void clear() { items_.clear(); }

private:
    std::deque<DataImportStructureItem> items_;
};
