#pragma once

#include <QString>

class Session;

// Adds the disputes listed in a workbook to an EMIR report: a heading row, then one dispute per
// row in columns A to F (party, counterparty, start, end, amount, remark) until the first row
// without a party. Every row is checked and saved as the dispute dialog saves it; one bad row
// keeps every dispute of the file out.
class EmirDisputeImport {
public:
    // Throws the reading error (nothing written) or "Prišlo je do napake pri uvozu vrstice N: "
    // with the row's failure (every row of the file rolled back). Gives the number of disputes
    // added.
    static int run(Session &session, qint64 reportId, const QString &fileName);

    // "Uvoz podatkov iz datoteke "FILE" je končan."
    static QString completion(const QString &fileName);
};
