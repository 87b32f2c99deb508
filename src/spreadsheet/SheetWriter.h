#pragma once

#include "SheetCell.h"

#include <QList>
#include <QString>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// Writes a workbook (".xlsx") of one worksheet with libxlsxwriter, row after row, in its
// constant-memory mode: a row is on disk once the next one begins. Dates, times and date-times
// are written as such with their display formats, numbers as numbers, texts as texts.
class SheetWriter {
public:
    SheetWriter(const QString &fileName, const QString &sheetName);
    ~SheetWriter();
    SheetWriter(const SheetWriter &) = delete;
    SheetWriter &operator=(const SheetWriter &) = delete;

    void writeRow(const QList<SheetCell> &cells);
    // Saves the workbook; false when it could not be written (the reason in error()).
    bool close();
    const QString &error() const { return error_; }

private:
    void remember(int code);

    QString fileName_;
    lxw_workbook *book_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    lxw_format *date_ = nullptr;
    lxw_format *time_ = nullptr;
    lxw_format *dateTime_ = nullptr;
    int row_ = 0;
    QString error_;
};
