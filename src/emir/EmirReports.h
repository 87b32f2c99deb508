#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

class DataSet;
class Query;
class Session;
struct FieldDef;

// EMIR reports: how many transactions are still unconfirmed in a period, with the disputes
// (EmirDisputes) open with counterparties. Reports are numbered across years, edited while
// active, cancelled by a cancellation report that points to them, and deleted with their
// disputes.
class EmirReports {
public:
    struct Report {
        qint64 id = 0;    // EMIRPorociloId; 0 for a report not saved yet
        qint64 zapSt = 0; // 0 until saved
        QDate danOd;
        QDate danDo;
        qint64 stNepotrjenih = 0;
        QDate danPorocila;
        QDateTime danCasKreiranja; // invalid until a file was written
        bool preklicano = false;
        QDateTime danCasPreklica;
        qint64 cancelsId = 0; // EMIRPorociloStnId: the report this one cancels; 0 for none
    };

    // The fields of the report dialog, in the order they are checked.
    enum class Field { DanPorocila, DanOd, DanDo, StNepotrjenih };
    struct Failure {
        Field field;
        QString message;
    };

    // The report list: columns, titles and formats.
    static std::vector<FieldDef> listFields();
    // Opens the list for reports whose period begins within from..to; an invalid date leaves
    // that side open.
    static void load(Query &qEMIRRpt, const QDate &from, const QDate &to);
    static Report rowOf(const DataSet &row);

    // A new report proposed on `today`: dated today, for the whole month.
    static Report proposal(const QDate &today);
    // Throws when there is no such report.
    static Report read(Session &session, qint64 id);
    // The first failing check, in the dialog's order.
    static std::optional<Failure> check(const Report &report);
    // Inserts a new report (numbered after the largest number) or updates an existing one;
    // an edited report is active again. Gives the report's identifier.
    static qint64 save(Session &session, const Report &report);
    // Asks first; true when the report and its disputes were deleted. Deleting a cancellation
    // report makes the report it cancelled active again.
    static bool remove(Session &session, const Report &report);
    // Asks first; cancels the report and creates its cancellation report, whose identifier
    // it gives (0 when the user declined).
    static qint64 cancel(Session &session, const Report &report);

    // A date as the number of days since 30.12.1899, the form the checks compare; 0 for none.
    static qint64 dayNumber(const QDate &date);

private:
    static qint64 nextZapSt(Session &session);
};
