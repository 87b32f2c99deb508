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
#include <QTemporaryDir>

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

// The register row that holds a file name, whatever the letter case.
struct FileHolder {
    bool found = false;
    bool sent = false;
    QString text; // who holds it, for a message
    QDateTime sentAt;
};

FileHolder fileHolder(Session &session, const QString &fileName) {
    Query q(session.db);
    // The name is upper-cased here: DB2 cannot type a parameter marker inside upper().
    q.setText(QStringLiteral("select DPATVPID, ZAPST, DAN from DPATVP where upper(XML_FILE) = "
                             ":XmlFile"));
    q.setString(QStringLiteral("XmlFile"), fileName.toUpper());
    q.open();
    FileHolder holder;
    if (q.eof())
        return holder;
    holder.found = true;
    holder.sent = !q.isNull(QStringLiteral("DAN"));
    holder.sentAt = q.asDateTime(QStringLiteral("DAN"));
    holder.text = q.asString(QStringLiteral("ZAPST")) + QStringLiteral(" nabora ") +
                  q.asString(QStringLiteral("DPATVPID"));
    return holder;
}

// The report's number: the next one of its year, passing over the numbers whose files other
// reports, still waiting to be sent, hold (one generated earlier, or at the same moment on another
// workstation). A sent report's file is never replaced.
qint64 freeNumber(Session &session, qint64 collectionId, const QString &firm,
                  const QDate &numberedIn) {
    for (qint64 number = ReportNumbering::nextSequence(session, numberedIn);; ++number) {
        const QString fileName = ReportNumbering::fileName(firm, number, numberedIn.year());
        const FileHolder holder = fileHolder(session, fileName);
        if (!holder.found)
            return number;
        if (holder.sent)
            throw RapoError(
                QStringLiteral("Poročila nabora ") + QString::number(collectionId) +
                QStringLiteral(" ni mogoče zapisati v datoteko ") + fileName +
                QStringLiteral(": to datoteko ima v registru poročilo ") + holder.text +
                QStringLiteral(", ki je bilo poslano ") +
                holder.sentAt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")) +
                QStringLiteral(". Poslanega poročila ni mogoče nadomestiti; preverite register "
                               "poročil."));
    }
}

// A file that is not registered must not look like a report to deliver: the written file
// `from` is kept beside the others as the report's name with ".bad" instead of ".xml".
QString renameToBad(const QString &from, const QString &reportPath) {
    const QString bad = reportPath.left(reportPath.size() - 4) + QStringLiteral(".bad");
    QFile::remove(bad);
    return QFile::rename(from, bad) ? bad : from;
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

    refuseRegisteredCollection(session, collectionId, regeneration);
    session.progress(QStringLiteral("Številčenje"));
    const QDate numberedIn = regeneration.active ? regeneration.reportDate : today;
    qint64 number = freeNumber(session, collectionId, firm, numberedIn);
    session.debugLog.write(QStringLiteral("pre XML FileName"));
    Result result;
    QString fileName = ReportNumbering::fileName(firm, number, numberedIn.year());
    result.path = session.programDirectory + fileName;
    session.debugLog.write(QStringLiteral("XML FileName:") + result.path);

    // The file is written and checked in a working folder of its own and takes its place beside
    // the others only with its register row, so a report of another workstation numbered at the
    // same moment is never overwritten.
    QTemporaryDir working(session.programDirectory + QStringLiteral("rapo-porocilo-XXXXXX"));
    if (!working.isValid())
        throw RapoError(QStringLiteral("Napaka pri zapisu datoteke ") + result.path +
                        QStringLiteral("!\r") + working.errorString());
    QString written = working.filePath(fileName);
    document.save(written);

    session.progress(QStringLiteral("Preverjanje"));
    const SchemaValidator::Result validation =
        SchemaValidator(session.programDirectory).validate(written);
    if (!validation.valid()) {
        // Nothing is registered; a regeneration stays open for the corrected attempt.
        result.errorLine = validation.firstError();
        result.path = renameToBad(written, result.path);
        return result;
    }
    session.progress(QStringLiteral("Vpis v register"));
    Transaction tx(session.db);
    // Numbering and registering are one step for every workstation: the lock holds off the
    // register writes of the others until this one commits. What they registered meanwhile is
    // seen now.
    Query lock(session.db);
    lock.setText(ReportNumbering::registerLockSql());
    lock.exec();
    refuseRegisteredCollection(session, collectionId, regeneration);
    if (const qint64 free = freeNumber(session, collectionId, firm, numberedIn); free != number) {
        number = free;
        const QString renamed = ReportNumbering::fileName(firm, number, numberedIn.year());
        session.debugLog.write(QStringLiteral("XML FileName:") + session.programDirectory +
                               renamed + QStringLiteral(" (") + fileName +
                               QStringLiteral(" je medtem dobilo drugo poročilo)"));
        fileName = renamed;
        result.path = session.programDirectory + fileName;
        const QString moved = working.filePath(fileName);
        if (!QFile::rename(written, moved))
            throw RapoError(QStringLiteral("Napaka pri zapisu datoteke ") + result.path + u'!');
        written = moved;
    }
    try {
        EditableTable tDPATVP(session.db, QStringLiteral("DPATVP"));
        session.activityLog.attach(tDPATVP);
        tDPATVP.openToAppend();
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
        // A file of that name that no report holds (left by a failed attempt) is replaced.
        QFile::remove(result.path);
        if (!QFile::rename(written, result.path))
            throw RapoError(QStringLiteral("Datoteke ") + result.path +
                            QStringLiteral(" ni mogoče zapisati v mapo programa."));
        tx.commit();
    } catch (const RapoError &e) {
        renameToBad(QFile::exists(written) ? written : result.path, result.path);
        throw stepError(QStringLiteral("Napaka pri insertu v DPATVP!"), e);
    }
    result.valid = true;
    state.endRegeneration();
    session.debugLog.write(QStringLiteral("Generiranje xml-ja končano!"));
    session.debugLog.flush();
    return result;
}
