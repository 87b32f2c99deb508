#pragma once

#include "SheetReader.h"

#include <QStringList>
#include <vector>

// The first worksheet of an Office Open XML workbook (".xlsx"): the zip package read with
// minizip, its parts (workbook, relations, shared strings, styles, the sheet) with
// QXmlStreamReader. The cells' number formats tell dates and times from numbers.
class XlsxReader : public SheetReader {
public:
    // Reads the whole sheet; fails with a message naming the file when the package or one of
    // its parts is damaged.
    explicit XlsxReader(const QString &fileName);

    int rowCount() const override { return rowCount_; }
    // The format's 16,384 columns.
    int columnLimit(int) const override { return maxColumns; }
    SheetCell cell(int row, int column) const override;
    QString fileName() const override { return fileName_; }

    static constexpr int maxColumns = 16384;
    static constexpr int maxRows = 1048576;

private:
    struct StoredCell {
        int column;
        SheetCell cell;
    };
    struct StoredRow {
        int row;
        std::vector<StoredCell> cells; // by column
    };

    void readSheet(const QByteArray &xml, const QStringList &sharedStrings,
                   const std::vector<SheetCell::Type> &styleTypes, bool date1904);
    [[noreturn]] void damaged(const QString &why) const;

    QString fileName_;
    std::vector<StoredRow> rows_; // by row
    int rowCount_ = 0;
};
