#pragma once

#include "SheetCell.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>

class Query;
class Session;

// The working set written to a workbook, one trade per row under a heading row, in the columns
// of the trade import (A to S) with the values the report would carry, so the workbook can be
// corrected and imported again.
class CollectionExport {
public:
    static const QStringList &heading();
    // The workbook row of the working set's current trade. Throws FieldError when a value does
    // not fit its format.
    static QList<SheetCell> row(const Query &workingSet);
    // Writes the heading and every trade of the working set, first to last, to one worksheet.
    // The workbook appears under its name only when every row was formed and it was saved: a
    // value that does not fit throws before anything is left on disk; a failed save gives false
    // (and its reason, when asked).
    static bool write(Query &workingSet, const QString &sheetName, const QString &fileName,
                      QString *reason = nullptr);

    // "Izvoz nabora": refuses an empty working set, asks for the file ("RAPOExport<date>.xlsx"
    // in the program directory), writes it and hands the saved file to `open` (the desktop's
    // application for it).
    static void run(Session &session, Query *workingSet,
                    const std::function<void(const QString &fileName)> &open);
    static QString proposedName(const QDate &today);
};
