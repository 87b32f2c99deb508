#pragma once

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

    static QString statusText(const QVariant &status);
    static std::vector<FieldDef> listFields();
    // Opens the list `qDPATVP` for the reporting days from..to, both included.
    static void load(Query &qDPATVP, const QDate &from, const QDate &to);
    static Row rowOf(const Query &qDPATVP);
    static Actions actionsFor(Session &session, const Row &row);

    static void confirm(Session &session, const Row &row);
    // Changes nothing when the row's status changed since it was read.
    static void reject(Session &session, const Row &row);
    // Asks first; true when the report was deleted.
    static bool remove(Session &session, const Row &row);
};
