#include "ReportSigning.h"

#include "ActivityLog.h"
#include "Clock.h"
#include "EditableTable.h"
#include "FileDelivery.h"
#include "ProgramDirectory.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "ReportFileLists.h"
#include "Session.h"
#include "Transaction.h"

#include <QFile>
#include <QFileInfo>

namespace {
QString folderSetting(const QString &configured) {
    return configured.isEmpty() ? QString() : ProgramDirectory::withSeparator(configured);
}
} // namespace

ReportSigning::ReportSigning(Session &session, ProcessRunner &runner, Resigning resigning)
    : session_(session), resigning_(resigning), signer_(session, runner),
      xmlPathServer_(folderSetting(session.configuration.xmlPathServer)),
      sigPathServer_(folderSetting(session.configuration.sigPathServer)) {}

bool ReportSigning::deliveryFlag(const QString &fileName) {
    return fileName.left(4).toUpper() != QLatin1String("EMIR");
}

QStringList ReportSigning::signAndDeliver(const std::optional<Credentials> &credentials,
                                          const QStringList &files) {
    if (!credentials)
        return {};
    session_.configuration.requireForSigning();
    if (!GnupgSigner::complete(*credentials, session_.prompter))
        return {};
    QStringList delivered;
    // Reports marked sent by a signing that stopped before delivering them.
    for (const QString &file : ReportFileLists::undelivered(session_)) {
        Query q(session_.db);
        q.setText(QStringLiteral("select DPATVPID, ZAPST, DAN from DPATVP where DAN is not null "
                                 "and upper(XML_FILE) = :XmlFile"));
        q.setString(QStringLiteral("XmlFile"), file.toUpper());
        q.open();
        std::vector<Mark> marks;
        for (; !q.eof(); q.next())
            marks.push_back(
                {{q.value(QStringLiteral("DPATVPID")), q.value(QStringLiteral("ZAPST"))},
                 q.asDateTime(QStringLiteral("DAN"))});
        q.close();
        if (deliver(file, QStringLiteral("Poročilo ostaja neposlano; datoteki sta ostali v "
                                         "programski mapi.")))
            delivered << file;
        else
            unmark(file, marks);
    }
    for (const QString &file : files) {
        if (delivered.contains(file, Qt::CaseInsensitive))
            continue;
        if (signAndSend(file, credentials->user, credentials->passPhrase,
                        session_.configuration.atvpUporabnik, deliveryFlag(file)) &&
            deliveryFlag(file))
            delivered << file;
    }
    return delivered;
}

bool ReportSigning::signAndSend(const QString &fileName, const QString &user,
                                const QString &passPhrase, const QString &recipient,
                                bool deliverIt) {
    const QString program = signer_.program();
    if (program.isEmpty())
        return false;
    int unsent = 0;
    if (deliverIt && !maySign(fileName, unsent))
        return false;
    session_.progress(QStringLiteral("Podpisovanje ") + fileName);
    const QString input = session_.programDirectory + fileName;
    const QString output = session_.programDirectory + ReportFileLists::signatureName(fileName);
    if (!signer_.sign(program, input, output, user, passPhrase, recipient))
        return false;
    if (!deliverIt)
        return true;
    const std::vector<Mark> marks = registerSent(fileName);
    if (unsent > 0 && marks.empty()) {
        QFile::remove(output);
        session_.prompter.error(QStringLiteral("Poročilo ") + fileName +
                                QStringLiteral(" je medtem podpisal in poslal nekdo drug; "
                                               "podpisane datoteke ne dostavim."));
        return false;
    }
    const QString files = fileName + QStringLiteral(" in ") +
                          ReportFileLists::signatureName(fileName) +
                          QStringLiteral(" sta ostali v programski mapi.");
    if (deliver(fileName, marks.empty()
                              ? QStringLiteral("Datoteki ") + files
                              : QStringLiteral("Poročilo ostaja neposlano; datoteki ") + files))
        return true;
    unmark(fileName, marks);
    return false;
}

bool ReportSigning::maySign(const QString &fileName, int &unsent) {
    Query q(session_.db);
    q.setText(QStringLiteral("select DAN from DPATVP where XML_FILE = :XmlFile order by DAN"));
    q.setString(QStringLiteral("XmlFile"), fileName);
    q.open();
    if (q.eof())
        return session_.prompter.yesNo(QStringLiteral("Datoteke ") + fileName +
                                       QStringLiteral(" ni v registru poročil. Jo vseeno podpišem "
                                                      "in dostavim? V registru ne bo označena "
                                                      "kot poslana."));
    QDateTime sent;
    for (; !q.eof(); q.next()) {
        if (q.isNull(QStringLiteral("DAN")))
            ++unsent;
        else if (!sent.isValid())
            sent = q.asDateTime(QStringLiteral("DAN"));
    }
    if (unsent > 0 || !sent.isValid())
        return true;
    const QString when = sent.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    if (resigning_ == Resigning::Never) {
        session_.prompter.error(QStringLiteral("Poročilo ") + fileName +
                                QStringLiteral(" je bilo že poslano ") + when +
                                QStringLiteral("; brez okna ga ne podpišem znova."));
        return false;
    }
    return session_.prompter.yesNo(QStringLiteral("Poročilo ") + fileName +
                                   QStringLiteral(" je bilo poslano ") + when +
                                   QStringLiteral(". Ga res želite ponovno podpisati in poslati?"));
}

std::vector<ReportSigning::Mark> ReportSigning::registerSent(const QString &fileName) {
    Database &db = session_.db;
    std::vector<Mark> marks;
    try {
        Transaction tx(db);
        // Only rows not yet sent: a report signed again keeps its first sending time.
        Query qDPATVPPoslana(db, QStringLiteral("qDPATVPPoslana"));
        qDPATVPPoslana.addLine(QStringLiteral("SELECT DPATVPID, ZAPST FROM DPATVP"));
        qDPATVPPoslana.addLine(QStringLiteral("WHERE XML_FILE = :XML_FILE AND DAN IS NULL"));
        qDPATVPPoslana.setString(QStringLiteral("XML_FILE"), fileName);
        qDPATVPPoslana.open();
        const QDateTime sent = session_.clock.now();
        for (; !qDPATVPPoslana.eof(); qDPATVPPoslana.next())
            marks.push_back({{qDPATVPPoslana.value(QStringLiteral("DPATVPID")),
                              qDPATVPPoslana.value(QStringLiteral("ZAPST"))},
                             sent});
        qDPATVPPoslana.close();

        EditableTable tDPATVP(db, QStringLiteral("DPATVP"));
        session_.activityLog.attach(tDPATVP);
        for (const Mark &mark : marks) {
            tDPATVP.restrictToKey(mark.key);
            tDPATVP.edit();
            tDPATVP.setValue(QStringLiteral("DAN"), sent);
            tDPATVP.post();
        }
        tx.commit();
    } catch (const RapoError &e) {
        session_.debugLog.write(e.message());
        throw stepError(QStringLiteral("Napaka pri popravku v DPATVP!"), e);
    }
    return marks;
}

bool ReportSigning::unmark(const QString &fileName, const std::vector<Mark> &marks) {
    if (marks.empty())
        return true;
    Database &db = session_.db;
    try {
        Transaction tx(db);
        EditableTable tDPATVP(db, QStringLiteral("DPATVP"));
        session_.activityLog.attach(tDPATVP);
        for (const Mark &mark : marks) {
            if (!tDPATVP.restrictToKey(mark.key) ||
                qAbs(tDPATVP.asDateTime(QStringLiteral("DAN")).msecsTo(mark.sent)) >= 1000)
                continue;
            tDPATVP.edit();
            tDPATVP.setValue(QStringLiteral("DAN"), QVariant());
            tDPATVP.post();
        }
        tx.commit();
        return true;
    } catch (const RapoError &e) {
        session_.prompter.error(
            QStringLiteral("Poročilo ") + fileName +
            QStringLiteral(" ostaja označeno kot poslano, datoteki pa nista "
                           "dostavljeni; dostavi ju naslednje podpisovanje.\r\n") +
            e.message());
        return false;
    }
}

bool ReportSigning::deliver(const QString &fileName, const QString &tail) {
    const QString input = session_.programDirectory + fileName;
    const QString output = session_.programDirectory + ReportFileLists::signatureName(fileName);
    // A delivery folder that is the program directory itself already holds the file; a local
    // file that is gone was delivered by an earlier run.
    const bool reportGoes = !xmlPathServer_.isEmpty() &&
                            !FileDelivery::sameFolder(xmlPathServer_, session_.programDirectory);
    const bool signedGoes = !sigPathServer_.isEmpty() &&
                            !FileDelivery::sameFolder(sigPathServer_, session_.programDirectory);
    if (reportGoes && QFile::exists(input)) {
        const QString target = xmlPathServer_ + fileName;
        const QString error = FileDelivery::copyOverwriting(input, target);
        if (!error.isEmpty()) {
            session_.prompter.error(QStringLiteral("Napaka pri kopiranju ") + fileName +
                                    QStringLiteral(" file-a na ") + target +
                                    QStringLiteral(" !\r") + error + QStringLiteral("\r\n") + tail);
            return false;
        }
    }
    // The signed file is what reaches the regulator: it goes only after the report.
    if (signedGoes && QFile::exists(output)) {
        const QString target = sigPathServer_ + ReportFileLists::signatureName(fileName);
        const QString error = FileDelivery::copyOverwriting(output, target);
        if (!error.isEmpty()) {
            session_.prompter.error(
                QStringLiteral("Napaka pri kopiranju ") + session_.programDirectory +
                ReportFileLists::withoutExtension(fileName) + QStringLiteral(".sig file-a na ") +
                target + QStringLiteral(" !\r") + error + QStringLiteral("\r\n") + tail);
            return false;
        }
    }
    if (reportGoes && QFile::exists(input))
        removeDelivered(input);
    if (signedGoes && QFile::exists(output))
        removeDelivered(output);
    return true;
}

void ReportSigning::removeDelivered(const QString &path) {
    QFile file(path);
    if (!file.remove())
        session_.prompter.error(QStringLiteral("Napaka pri brisanju ") + path +
                                QStringLiteral(" !\r") + file.errorString());
}
