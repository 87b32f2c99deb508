#pragma once

#include "EditableTable.h"
#include "Query.h"

#include <QDate>
#include <array>
#include <map>
#include <vector>

class Session;
struct FieldDef;

// The imported trades of one day (DPATVPIMP restricted to its Datum) with the five calculated
// instrument columns that a derivative without ISIN carries into the report.
class ImportView {
public:
    explicit ImportView(Session &session);

    // Reopens the view on the trades of the day.
    void show(const QDate &day);
    KeyFilteredTable &table() { return fDPATVPIMP_; }
    const QDate &day() const { return day_; }

    // The columns in the order of the workbook's columns: IDIMP, then A to S, the instrument,
    // the calculated columns and DPATVPID.
    static const QStringList &columnNames();
    static std::vector<FieldDef> fields();
    // Trg_MIC, IZVCEN, ZPDVP, CFI and KPN_GLV of an instrument on the day: filled only for an
    // instrument without ISIN (empty or "N") whose CFI code begins with "O" or "F". Read once
    // per instrument and day until the view is shown again.
    std::array<QVariant, 5> calculated(qint64 instrument, const QDate &day);
    // Reads those of many instruments at once (1000 a statement), for an import.
    void readCalculated(const QList<qint64> &instruments, const QDate &day);
    // The statement of readCalculated for `instruments` markers :V0, :V1, ... and :DatumDo.
    static QString calculatedSql(int instruments, bool isDb2);

private:
    static std::array<QVariant, 5> calculatedValues(const Query &q);

    Session &session_;
    KeyFilteredTable fDPATVPIMP_;
    Query qSFVPDodPodaci_;
    QDate day_;
    std::map<std::pair<qint64, QDate>, std::array<QVariant, 5>> calculated_;
};
