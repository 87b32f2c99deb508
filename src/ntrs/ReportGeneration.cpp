#include "ReportGeneration.h"

#include "Clock.h"
#include "EditableTable.h"
#include "FieldFormat.h"
#include "NtrsDocument.h"
#include "Query.h"
#include "RapoError.h"
#include "ReportNumbering.h"
#include "ReportRegister.h"
#include "RunState.h"
#include "SchemaValidator.h"
#include "Session.h"
#include "TimeZone.h"
#include "Transaction.h"
#include "WorkingSetCheck.h"

#include <QFile>

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

// The collection is registered once: a second report of the same trades needs a new
// collection. A regeneration registers only while the rejected report is still the latest of its
// collection and as it was when the regeneration started.
void refuseRegisteredCollection(Session &session, qint64 collectionId,
                                const RunState::Regeneration &regeneration) {
    if (regeneration.active) {
        ReportRegister::Row rejected;
        rejected.id = collectionId;
        rejected.zapSt = regeneration.zapSt;
        rejected.status = regeneration.status;
        rejected.sent = regeneration.sent;
        rejected.xmlFile = regeneration.xmlFile;
        const QString refused = ReportRegister::refusal(session, ReportRegister::Action::Regenerate,
                                                        ReportRegister::reread(session, rejected));
        if (!refused.isEmpty())
            throw RegisterRefusal(refused);
        return;
    }
    Query q(session.db);
    q.setText(QStringLiteral("select XML_FILE from DPATVP where DPATVPID = :Id"));
    q.setInteger(QStringLiteral("Id"), collectionId);
    q.open();
    if (!q.eof())
        throw RapoError(QStringLiteral("Nabor ") + QString::number(collectionId) +
                        QStringLiteral(" je že vpisan v register kot poročilo ") +
                        q.asString(QStringLiteral("XML_FILE")) +
                        QStringLiteral(". Za novo poročilo teh poslov jih najprej ponovno "
                                       "naberite."));
}

// Writing the file must not replace the file of a report the register holds.
void refuseRegisteredFile(Session &session, qint64 collectionId, const QString &fileName) {
    Query q(session.db);
    q.setText(QStringLiteral("select DPATVPID, ZAPST, DAN from DPATVP where upper(XML_FILE) = "
                             "upper(:XmlFile)"));
    q.setString(QStringLiteral("XmlFile"), fileName);
    q.open();
    if (q.eof())
        return;
    const QString start = QStringLiteral("Poročila nabora ") + QString::number(collectionId) +
                          QStringLiteral(" ni mogoče zapisati v datoteko ") + fileName +
                          QStringLiteral(": to datoteko ima v registru poročilo ") +
                          q.asString(QStringLiteral("ZAPST")) + QStringLiteral(" nabora ") +
                          q.asString(QStringLiteral("DPATVPID"));
    if (q.isNull(QStringLiteral("DAN")))
        throw RapoError(start + QStringLiteral(", ki še čaka na podpis in pošiljanje. Najprej ga "
                                               "podpišite in pošljite ali ga zbrišite, nato "
                                               "znova generirajte."));
    throw RapoError(
        start + QStringLiteral(", ki je bilo poslano ") +
        q.asDateTime(QStringLiteral("DAN")).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")) +
        QStringLiteral(". Poslanega poročila ni mogoče nadomestiti; preverite register "
                       "poročil."));
}

// A file that is not registered must not look like a report to deliver.
QString renameToBad(const QString &path) {
    const QString bad = path.left(path.size() - 4) + QStringLiteral(".bad");
    QFile::remove(bad);
    return QFile::rename(path, bad) ? bad : path;
}

} // namespace

ReportGeneration::Result ReportGeneration::generate(Session &session, Query &rows,
                                                    Query &instruments, RunState &state,
                                                    const QDate &from, const QDate &to) {
    const Configuration &c = session.configuration;
    const DebugLog::FlushAtEnd flushed(session.debugLog);
    session.debugLog.write(QStringLiteral("Generiranje xml-ja!"));
    if (!rows.active() || rows.recordCount() == 0)
        throw RapoError(QStringLiteral("Nabor je prazen! Generiranje XML ni možno!"));
    c.requireForReporting();
    // Nothing is numbered, written or registered while any row of the working set is wrong.
    // The check fills the report's register entries and records as it goes.
    // The records are written out as they are filled, so a report of any size takes the memory of
    // one record; the file is put together once its name is known.
    NtrsDocument document(NtrsDocument::Items::Spooled, session.programDirectory);
    WorkingSetCheck(session, rows, instruments, state.collectionId, from, to)
        .refuseFailures(&document);

    const QDate today = session.clock.today();
    const RunState::Regeneration regeneration = state.regeneration;

    session.progress(QStringLiteral("Generiranje"));
    session.debugLog.write(QStringLiteral("pre TXMLDocument.Create!"));
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

    // The register entries and the records are in the document since the check; the element
    // of the register is there even when it is empty.
    root.Sifrant();
    if (session.debugLog.enabled()) {
        for (instruments.first(); !instruments.eof(); instruments.next())
            session.debugLog.write(QStringLiteral("qSifrantFinInstrISIN:") +
                                   instruments.asString(QStringLiteral("ISIN")));
    }
    qint64 collectionId = 0;
    for (rows.first(); !rows.eof(); rows.next()) {
        if (session.debugLog.enabled())
            session.debugLog.write(QStringLiteral("qDPATVPPSL_RefStTransaC:") +
                                   rows.asString(QStringLiteral("RefStTransaC")));
        collectionId = rows.asInteger(QStringLiteral("DPATVPID"));
    }

    // The number, the file and the register row are decided in one transaction, so that no
    // other report takes the number or the file in between.
    Transaction tx(session.db);
    refuseRegisteredCollection(session, collectionId, regeneration);
    session.progress(QStringLiteral("Številčenje"));
    const QDate numberedIn = regeneration.active ? regeneration.reportDate : today;
    const qint64 number = ReportNumbering::nextSequence(session, numberedIn);
    session.debugLog.write(QStringLiteral("pre XML FileName"));
    Result result;
    const QString fileName = ReportNumbering::fileName(firm, number, numberedIn.year());
    result.path = session.programDirectory + fileName;
    session.debugLog.write(QStringLiteral("XML FileName:") + result.path);
    refuseRegisteredFile(session, collectionId, fileName);
    document.save(result.path);

    session.progress(QStringLiteral("Preverjanje"));
    const SchemaValidator::Result validation =
        SchemaValidator(session.programDirectory).validate(result.path);
    if (!validation.valid()) {
        // Nothing is registered; a regeneration stays open for the corrected attempt.
        result.errorLine = validation.firstError();
        result.path = renameToBad(result.path);
        return result;
    }
    session.progress(QStringLiteral("Vpis v register"));
    try {
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
        tDPATVP.setValue(QStringLiteral("XML_FILE"), fileName);
        tDPATVP.setValue(QStringLiteral("DANOD"), from);
        tDPATVP.post();
        tx.commit();
    } catch (const RapoError &e) {
        renameToBad(result.path);
        throw stepError(QStringLiteral("Napaka pri insertu v DPATVP!"), e);
    }
    result.valid = true;
    state.endRegeneration();
    session.debugLog.write(QStringLiteral("Generiranje xml-ja končano!"));
    session.debugLog.flush();
    return result;
}
