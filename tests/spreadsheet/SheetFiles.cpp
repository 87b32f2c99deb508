#include "SheetFiles.h"

#include <xlsxwriter.h>

QString SheetFiles::kept(const QString &name) {
    return QStringLiteral(RAPO_SHEET_FILES) + name;
}

void SheetFiles::writeSheetXlsx(const QString &fileName) {
    lxw_workbook *book = workbook_new(fileName.toUtf8().constData());
    lxw_worksheet *ws = workbook_add_worksheet(book, "Podatki");
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "dd.mm.yyyy");
    lxw_format *time = workbook_add_format(book);
    format_set_num_format(time, "hh:mm:ss");
    lxw_format *stamp = workbook_add_format(book);
    format_set_num_format(stamp, "dd.mm.yyyy hh:mm:ss");
    const char *heading[] = {"Stranka", "Datum", "Vrednost", "Čas", "Opombe", "Trenutek"};
    for (lxw_col_t c = 0; c < 6; ++c)
        worksheet_write_string(ws, 0, c, heading[c], nullptr);
    lxw_datetime d1 = {2014, 3, 28, 0, 0, 0}, t1 = {0, 0, 0, 10, 15, 30},
                 s1 = {2014, 3, 28, 17, 5, 0}, d2 = {2014, 3, 31, 0, 0, 0}, t2 = {0, 0, 0, 0, 0, 0};
    worksheet_write_string(ws, 1, 0, "Šolar d.o.o.", nullptr);
    worksheet_write_datetime(ws, 1, 1, &d1, date);
    worksheet_write_number(ws, 1, 2, 1234.5, nullptr);
    worksheet_write_datetime(ws, 1, 3, &t1, time);
    worksheet_write_string(ws, 1, 4, "prva", nullptr);
    worksheet_write_datetime(ws, 1, 5, &s1, stamp);
    worksheet_write_string(ws, 2, 0, "DEF", nullptr);
    worksheet_write_datetime(ws, 2, 1, &d2, date);
    worksheet_write_number(ws, 2, 2, 7, nullptr);
    worksheet_write_datetime(ws, 2, 3, &t2, time);
    worksheet_write_string(ws, 3, 1, "za prazno celico A", nullptr);
    worksheet_write_string(ws, 4, 0, "GHI", nullptr);
    workbook_add_worksheet(book, "Drugi");
    workbook_close(book);
}
