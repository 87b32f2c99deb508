#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

class DataSet;
class Query;
class Session;
struct FieldDef;

// The disputes of an EMIR report: party, counterparty, when the dispute began and ended, the
// amount of the contract in dispute and a remark. The checks and the saving serve the dialog
// and every other way of entering disputes alike.
class EmirDisputes {
public:
    struct Dispute {
        qint64 id = 0; // EMIRPoselId; 0 for a dispute not saved yet
        QString stranka;
        QString nasStranka;
        QDate datZacetka;
        QDate datZakljucka; // invalid while the dispute is open
        double vrednost = 0;
        QString opombe;
        qint64 reportId = 0; // EMIRPorociloId
    };

    // The fields of the dispute dialog, in the order they are checked.
    enum class Field { Stranka, NasStranka, DatZacetka, DatZakljucka };
    struct Failure {
        Field field;
        QString message;
    };

    static std::vector<FieldDef> listFields();
    // Opens the list of the report's disputes.
    static void load(Query &qEMIRPsl, qint64 reportId);
    static Dispute rowOf(const DataSet &row);

    // Throws unless the report identifier is a real one.
    static void requireReport(qint64 reportId);
    // Throws when there is no such dispute.
    static Dispute read(Session &session, qint64 id);
    // The first failing check, in the dialog's order.
    static std::optional<Failure> check(const Dispute &dispute);
    // Checks (throwing the first failure's message), then inserts a new dispute or updates an
    // existing one. Texts are kept as typed. Gives the dispute's identifier.
    static qint64 save(Session &session, const Dispute &dispute);
    // Asks first; true when the dispute was deleted.
    static bool remove(Session &session, qint64 id);
};
