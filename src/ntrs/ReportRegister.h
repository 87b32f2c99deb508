#pragma once

#include "RapoError.h"
#include <QDate>
#include <QDateTime>
#include <QString>
#include <vector>

class Query;
class Session;
struct FieldDef;

// The register of report files with the regulator's answers: the list of a range of reporting
// days, which actions a row allows, confirmation, rejection and the deletion of an unsent
// report with what belongs to it.
class ReportRegister {
public:
    // The values of a list row that the actions need.
    struct Row {
        qint64 id = 0; // DPATVPID
        qint64 zapSt = 0;
        int status = 0;
        QDateTime sent; // DAN; invalid while not sent
        QString xmlFile;
        QDate reportingDay; // DANPOROCANJA
        QDate firstDay;     // DANOD; invalid when not recorded
    };
    struct Actions {
        bool regenerate = false;
        bool confirm = false;
        bool reject = false;
        bool remove = false;
    };

    enum class Action { Confirm, Reject, Delete, Regenerate };

    // "Generirano" (0), "Potrjeno" (1), "Zavrnjeno" (2), "Ponovno generirano" (3 and more);
    // nothing for a negative or missing status.
    static QString statusText(const QVariant &status);
    static std::vector<FieldDef> listFields();
    // Opens the list `qDPATVP` for the reporting days from..to, both included, the newest
    // reporting day first.
    static void load(Query &qDPATVP, const QDate &from, const QDate &to);
    static Row rowOf(const Query &qDPATVP);
    static Actions actionsFor(Session &session, const Row &row);
    // Why the row as it is now does not allow the action; empty when it does.
    static QString refusal(Session &session, Action action, const Row &row);
    // The row as the register holds it now; throws RegisterRefusal when it is gone or its
    // status or sending time is no longer what `row` says.
    static Row reread(Session &session, const Row &row);
    // The rows of a report file, named with or without its folder.
    static std::vector<Row> findByFile(Session &session, const QString &file);

    // Each action re-reads its row in its transaction and refuses a row that changed since it
    // was read, or whose status does not allow the action.
    static void confirm(Session &session, const Row &row);
    // The confirmation's write of the instrument entries: `entries` of them, each found by
    // :I<n>, :P<n> and :V<n> and taking the change time :D<n>, in one statement.
    static QString confirmedEntriesSql(int entries, bool isDb2);
    static void reject(Session &session, const Row &row);
    // Asks first unless `ask` is false; true when the report was deleted. Removes the report's
    // file; the trades and imports go free only when no sent report shares the collection.
    static bool remove(Session &session, const Row &row, bool ask = true);
    // Removes an unregistered report's file from the program directory; a file that stays
    // is an error.
    static void removeReportFile(Session &session, const QString &xmlFile);
};

// An action refused because of the register row's state; its text is the whole message.
class RegisterRefusal : public RapoError {
public:
    using RapoError::RapoError;
};
