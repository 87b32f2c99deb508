#include "EmirDisputeImport.h"

#include "DataImport.h"
#include "DisplayFormat.h"
#include "EmirDisputes.h"
#include "RapoError.h"
#include "Session.h"
#include "Transaction.h"

namespace {
const QString Stranka = QStringLiteral("Stranka");
const QString NasprotnaStranka = QStringLiteral("NasprotnaStranka");
const QString DatZacetkaSpora = QStringLiteral("DatZacetkaSpora");
const QString DatZakljuckaSpora = QStringLiteral("DatZakljuckaSpora");
const QString Vrednost = QStringLiteral("Vrednost");
const QString Opombe = QStringLiteral("Opombe");

// A date in the program's short format; an empty or unreadable text is no date.
QDate dateOf(const QString &text) {
    return QDate::fromString(text.trimmed(), QStringLiteral("d.M.yyyy"));
}

// An amount with the decimal comma; an empty or unreadable text is 0.
double amountOf(const QString &text) {
    bool ok = false;
    const double value = DisplayFormat::userLocale().toDouble(text.trimmed(), &ok);
    return ok ? value : 0;
}
} // namespace

int EmirDisputeImport::run(Session &session, qint64 reportId, const QString &fileName) {
    DataImport import(session.prompter);
    import.dataSource = DataImportDataSource::didsExcel;
    import.firstRow = 1;
    import.fileName = fileName;
    DataImportStructure &structure = import.structure();
    structure.clear();
    using T = DataImportDataType;
    structure.add(Stranka, 0, T::didtString, false);
    structure.add(NasprotnaStranka, 1, T::didtString, false);
    structure.add(DatZacetkaSpora, 2, T::didtDate, true);
    structure.add(DatZakljuckaSpora, 3, T::didtDate, false);
    structure.add(Vrednost, 4, T::didtFloat, true);
    structure.add(Opombe, 5, T::didtString, false);
    import.load();

    Transaction transaction(session.db);
    for (int i = 0; i < import.count(); ++i) {
        const DataImportItem &row = import.item(i);
        EmirDisputes::Dispute dispute;
        dispute.reportId = reportId;
        dispute.stranka = row.value(Stranka);
        dispute.nasStranka = row.value(NasprotnaStranka);
        dispute.datZacetka = dateOf(row.value(DatZacetkaSpora));
        dispute.datZakljucka = dateOf(row.value(DatZakljuckaSpora));
        dispute.vrednost = amountOf(row.value(Vrednost));
        dispute.opombe = row.value(Opombe);
        try {
            EmirDisputes::save(session, dispute);
        } catch (const RapoError &e) {
            throw RapoError(QStringLiteral("Prišlo je do napake pri uvozu vrstice %1: %2")
                                .arg(i + 1)
                                .arg(e.message()));
        }
    }
    transaction.commit();
    return import.count();
}

QString EmirDisputeImport::completion(const QString &fileName) {
    return QStringLiteral("Uvoz podatkov iz datoteke \"%1\" je končan.").arg(fileName);
}
