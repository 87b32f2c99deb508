#include "ReportFileLists.h"

#include "FileDelivery.h"
#include "ProgramDirectory.h"
#include "Query.h"
#include "ReportRegister.h"
#include "Session.h"
#include "ShortDateFormat.h"

#include <QDir>
#include <QFileInfo>

QStringList ReportFileLists::filesMatching(const QString &directory, const QString &mask) {
    const QDir dir(directory);
    if (directory.isEmpty() || !dir.exists())
        return {};
    // Without QDir::CaseSensitive the pattern ignores letter case.
    return dir.entryList({mask},
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDir::Unsorted);
}

QStringList ReportFileLists::unsent(const Session &session) {
    return filesMatching(session.programDirectory, QStringLiteral("*.xml"));
}

QString ReportFileLists::signedDirectory(const Session &session) {
    const QString &configured = session.configuration.sigPathServer;
    // Without its separator the setting would name files beside the folder, not in it.
    return configured.isEmpty() ? session.programDirectory
                                : ProgramDirectory::withSeparator(configured);
}

QStringList ReportFileLists::signedFiles(const Session &session) {
    return filesMatching(signedDirectory(session), QStringLiteral("*.sig"));
}

QList<bool> ReportFileLists::sentMarks(Session &session, const QStringList &entries) {
    QList<bool> marks(entries.size(), false);
    Query qDPATVP(session.db, QStringLiteral("qDPATVPPoslana"));
    qDPATVP.addLine(QStringLiteral(" select * from DPATVP "));
    qDPATVP.addLine(
        QStringLiteral(" order by TO_NUMBER(TO_CHAR(DanPorocanja, 'YYYY')) desc, ZapSt desc "));
    qDPATVP.open();
    for (; !qDPATVP.eof(); qDPATVP.next()) {
        const QString file = qDPATVP.asString(QStringLiteral("XML_FILE"));
        if (qDPATVP.isNull(QStringLiteral("DAN")) || file.isEmpty())
            continue;
        const QString signature = signatureName(file);
        for (qsizetype i = 0; i < entries.size(); ++i)
            if (entries[i].compare(signature, Qt::CaseInsensitive) == 0)
                marks[i] = true;
    }
    qDPATVP.close();
    return marks;
}

QStringList ReportFileLists::undelivered(Session &session) {
    const Configuration &c = session.configuration;
    const auto elsewhere = [&](const QString &folder) {
        return !folder.isEmpty() &&
               !FileDelivery::sameFolder(ProgramDirectory::withSeparator(folder),
                                         session.programDirectory);
    };
    // Only where the delivery folder lacks it: a report delivered and then put back is signed
    // again only when the user says so.
    QStringList candidates;
    if (elsewhere(c.xmlPathServer))
        for (const QString &report : unsent(session))
            if (!QFileInfo::exists(ProgramDirectory::withSeparator(c.xmlPathServer) + report))
                candidates << report;
    if (elsewhere(c.sigPathServer))
        for (const QString &signature :
             filesMatching(session.programDirectory, QStringLiteral("*.sig")))
            if (!QFileInfo::exists(ProgramDirectory::withSeparator(c.sigPathServer) + signature))
                candidates << withoutExtension(signature) + QStringLiteral(".xml");
    QStringList found;
    if (candidates.isEmpty())
        return found;
    Query q(session.db);
    q.setText(QStringLiteral("select count(*) as N from DPATVP where DAN is not null and "
                             "upper(XML_FILE) = :XmlFile"));
    for (const QString &file : candidates) {
        if (found.contains(file, Qt::CaseInsensitive))
            continue;
        q.setString(QStringLiteral("XmlFile"), file.toUpper());
        q.open();
        if (q.asInteger(QStringLiteral("N")) > 0)
            found << file;
        q.close();
    }
    return found;
}

QString ReportFileLists::withoutExtension(const QString &fileName) {
    const qsizetype point = fileName.lastIndexOf(u'.');
    return point >= 0 ? fileName.left(point) : fileName;
}

QString ReportFileLists::signatureName(const QString &fileName) {
    return withoutExtension(fileName) + QStringLiteral(".sig");
}

QStringList ReportFileLists::registerNotes(Session &session, const QStringList &files) {
    QStringList notes(files.size());
    Query q(session.db);
    q.setText(QStringLiteral("select XML_FILE, STATUS, DANPOROCANJA, DAN from DPATVP order by "
                             "ZAPST"));
    q.open();
    // The latest report of a file speaks for it.
    for (; !q.eof(); q.next()) {
        const QString file = q.asString(QStringLiteral("XML_FILE"));
        for (qsizetype i = 0; i < files.size(); ++i) {
            if (files[i].compare(file, Qt::CaseInsensitive) != 0)
                continue;
            QString note =
                ReportRegister::statusText(q.asInteger(QStringLiteral("STATUS"))) +
                QStringLiteral(", dan poročanja ") +
                ShortDateFormat::toText(q.asDateTime(QStringLiteral("DANPOROCANJA")).date());
            if (!q.isNull(QStringLiteral("DAN")))
                note += QStringLiteral(", poslano ") +
                        q.asDateTime(QStringLiteral("DAN"))
                            .toString(QStringLiteral("dd.MM.yyyy hh:mm"));
            notes[i] = note;
        }
    }
    for (qsizetype i = 0; i < files.size(); ++i)
        if (notes[i].isEmpty() && !files[i].startsWith(QStringLiteral("EMIR"), Qt::CaseInsensitive))
            notes[i] = QStringLiteral("ni v registru");
    return notes;
}
