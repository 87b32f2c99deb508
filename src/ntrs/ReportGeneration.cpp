#include "ReportGeneration.h"

#include "Clock.h"
#include "EditableTable.h"
#include "FieldFormat.h"
#include "NtrsDocument.h"
#include "Query.h"
#include "RapoError.h"
#include "RecordContent.h"
#include "ReportNumbering.h"
#include "RunState.h"
#include "SchemaValidator.h"
#include "Session.h"
#include "TimeZone.h"
#include "Transaction.h"
#include "WorkingSetCheck.h"

#include <QFile>
#include <QSet>

namespace {
QString creationOffset(Session &session, const QDateTime &now) {
    const Configuration &c = session.configuration;
    Query q(session.db);
    q.addLine(QStringLiteral("SELECT TIMEZONE FROM TRG"));
    q.addLine(QStringLiteral("where sftrg=:SfTrg"));
    q.setString(QStringLiteral("SfTrg"), c.sfTrgaPorocevalca);
    q.open();
    const QString zone = q.asString(QStringLiteral("TIMEZONE"));
    q.close();
    if (!zone.isEmpty())
        return TimeZone::venueOffset(zone, c.sfTrgaPorocevalca, now, c.fiksniTimeZoneTrgi);
    return TimeZone::venueOffset(QStringLiteral("+01"), QStringLiteral("8"), now,
                                 c.fiksniTimeZoneTrgi);
}

// A report still waiting to be signed has the number and file name the new one would take;
// writing would replace its file under its register row.
void refuseWaitingReport(Session &session, const QString &fileName) {
    Query q(session.db);
    q.setText(QStringLiteral("select count(*) as N from DPATVP where DAN is null and XML_FILE = "
                             ":XmlFile"));
    q.setString(QStringLiteral("XmlFile"), fileName);
    q.open();
    if (q.asInteger(QStringLiteral("N")) > 0)
        throw RapoError(QStringLiteral("Poročilo ") + fileName +
                        QStringLiteral(" še čaka na podpis in pošiljanje, novo poročilo bi ga "
                                       "nadomestilo. Najprej ga podpišite in pošljite ali ga "
                                       "zbrišite, nato ponovno generirajte."));
}

// A trade crossed inside the firm with an own-account trade is reported once, through the
// own-account side.
bool leftOut(const Query &row) {
    return RecordContent::isLeftOut(row);
}
} // namespace

ReportGeneration::Result ReportGeneration::generate(Session &session, Query &rows,
                                                    Query &instruments, RunState &state,
                                                    const QDate &from, const QDate &to) {
    const Configuration &c = session.configuration;
    session.debugLog.write(QStringLiteral("Generiranje xml-ja!"));
    if (!rows.active() || rows.recordCount() == 0)
        throw RapoError(QStringLiteral("Nabor je prazen! Generiranje XML ni možno!"));
    // Nothing is numbered, written or registered while any row of the working set is wrong.
    WorkingSetCheck(session, rows, instruments, state.collectionId, from, to).refuseFailures();

    session.progress(QStringLiteral("Številčenje"));
    const QDate today = session.clock.today();
    const qint64 sequence = ReportNumbering::nextSequence(session, today);
    const RunState::Regeneration regeneration = state.regeneration;

    session.progress(QStringLiteral("Generiranje"));
    session.debugLog.write(QStringLiteral("pre TXMLDocument.Create!"));
    NtrsDocument document;
    session.debugLog.write(QStringLiteral("pre xmlRAPO.GetDocBinding(!"));
    NtrsRoot root = document.root();
    rows.first();
    const QString firm = rows.asString(QStringLiteral("MTS_BPHCalc"));
    root.setAttribute(QStringLiteral("xmlns:xsi"),
                      QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"));
    root.setAttribute(QStringLiteral("xsi:noNamespaceSchemaLocation"), QStringLiteral("NTRS.xsd"));
    root.setMaticnaStevilkaZavezanca(FieldFormat::padRegistrationNumber(firm));
    root.setCreationDate(session.clock.now().toString(QStringLiteral("yyyy-MM-dd")));
    const QDateTime now = session.clock.now();
    root.setCreationTime(now.toString(QStringLiteral("HH:mm:ss")));
    session.debugLog.write(QStringLiteral("nafilal RAPO_Root!"));
    root.setCreationTimeOffset(creationOffset(session, now));
    root.setVersion(QStringLiteral("2.0"));
    session.debugLog.write(QStringLiteral("nafilal RAPO_Root 2.0!"));

    InstrumentList sifrant = root.Sifrant();
    QSet<QString> written;
    const RecordContent content(c, rows.asString(QStringLiteral("RefStTransaC")));
    instruments.recordCount();
    for (instruments.first(); !instruments.eof(); instruments.next()) {
        session.debugLog.write(QStringLiteral("qSifrantFinInstrISIN:") +
                               instruments.asString(QStringLiteral("ISIN")));
        const QString code = instruments.asString(QStringLiteral("IntIdent"));
        if (written.contains(code))
            continue;
        content.fillInstrument(sifrant.append(), instruments);
        written.insert(code);
    }

    qint64 collectionId = 0;
    for (rows.first(); !rows.eof(); rows.next()) {
        const QString reference = rows.asString(QStringLiteral("RefStTransaC"));
        session.debugLog.write(QStringLiteral("qDPATVPPSL_RefStTransaC:") + reference);
        collectionId = rows.asInteger(QStringLiteral("DPATVPID"));
        if (leftOut(rows))
            continue;
        const RecordContent record(c, reference);
        if (rows.asString(QStringLiteral("ISSTN")) == QLatin1String("D"))
            record.fillCancellation(root.CancelledTransactions().append(), rows);
        else
            record.fillTransaction(root.TransactionReporting().append(), rows, instruments);
    }

    session.debugLog.write(QStringLiteral("pre XML FileName"));
    const int year = regeneration.active ? regeneration.reportDate.year() : today.year();
    const qint64 number = regeneration.active ? regeneration.zapSt : sequence;
    Result result;
    const QString fileName = ReportNumbering::fileName(firm, number, year);
    result.path = session.programDirectory + fileName;
    session.debugLog.write(QStringLiteral("XML FileName:") + result.path);
    refuseWaitingReport(session, fileName);
    document.save(result.path);

    session.progress(QStringLiteral("Preverjanje"));
    const SchemaValidator::Result validation =
        SchemaValidator(session.programDirectory).validate(result.path);
    if (!validation.valid()) {
        result.errorLine = validation.firstError();
        const QString bad = result.path.left(result.path.size() - 4) + QStringLiteral(".bad");
        QFile::remove(bad);
        if (QFile::rename(result.path, bad))
            result.path = bad;
    } else {
        session.progress(QStringLiteral("Vpis v register"));
        try {
            Transaction tx(session.db);
            EditableTable tDPATVP(session.db, QStringLiteral("DPATVP"));
            session.activityLog.attach(tDPATVP);
            tDPATVP.open();
            tDPATVP.append();
            tDPATVP.setValue(QStringLiteral("DPATVPID"), collectionId);
            tDPATVP.setValue(QStringLiteral("DANPOROCANJA"), to);
            tDPATVP.setValue(QStringLiteral("DAN"), QVariant());
            tDPATVP.setValue(QStringLiteral("ZAPST"), number);
            tDPATVP.setValue(QStringLiteral("STATUS"),
                             regeneration.active ? regeneration.status + 1 : 0);
            tDPATVP.setValue(QStringLiteral("XML_FILE"),
                             result.path.mid(session.programDirectory.size()));
            tDPATVP.setValue(QStringLiteral("DANOD"), from);
            tDPATVP.post();
            tx.commit();
        } catch (const RapoError &) {
            throw RapoError(QStringLiteral("Napaka pri insertu v DPATVP!"));
        }
        result.valid = true;
    }
    state.endRegeneration();
    session.debugLog.write(QStringLiteral("Generiranje xml-ja končano!"));
    return result;
}
