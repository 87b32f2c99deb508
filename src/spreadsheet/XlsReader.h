#pragma once

#include "SheetReader.h"

// The first worksheet of a binary workbook (".xls"), read with FreeXL.
class XlsReader : public SheetReader {
public:
    // Fails with a message naming the file when it cannot be read as a workbook.
    explicit XlsReader(const QString &fileName);
    ~XlsReader() override;
    XlsReader(const XlsReader &) = delete;
    XlsReader &operator=(const XlsReader &) = delete;

    int rowCount() const override { return rows_; }
    // The format's 256 columns.
    int columnLimit(int) const override { return 256; }
    SheetCell cell(int row, int column) const override;
    QString fileName() const override { return fileName_; }

private:
    QString fileName_;
    const void *handle_ = nullptr;
    int rows_ = 0;
    int columns_ = 0;
};
