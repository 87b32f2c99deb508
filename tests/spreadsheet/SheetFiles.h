#pragma once

#include <QString>

// The test files: those kept in files/ (written by make_files.py) and the ".xlsx" twin of
// files/sheet.xls, written with libxlsxwriter.
namespace SheetFiles {
QString kept(const QString &name);
// Writes the cells of sheet.xls (same values, same display formats) to an ".xlsx" file.
void writeSheetXlsx(const QString &fileName);
} // namespace SheetFiles
