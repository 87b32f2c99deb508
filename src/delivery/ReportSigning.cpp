#include "ReportSigning.h"

#include "ActivityLog.h"
#include "Clock.h"
#include "EditableTable.h"
#include "FileDelivery.h"
#include "ProcessRunner.h"
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
const QString signingFailed = QStringLiteral("Napaka pri podpisovanju poročila!");

QString folderSetting(const QString &configured) {
    return configured.isEmpty() ? QString() : ProgramDirectory::withSeparator(configured);
}

// What the clerk needs to tell a wrong pass phrase from an unknown key.
QString whatGnupgSaid(const ProcessResult &result) {
    QStringList parts;
    switch (result.ending) {
    case ProcessResult::Ending::NotStarted:
    case ProcessResult::Ending::Crashed:
        parts << result.errorText;
        break;
    case ProcessResult::Ending::TimedOut:
        parts << QStringLiteral("GnuPG se ni končal v %1 ms.").arg(GnupgCommand::timeoutMs);
        break;
    case ProcessResult::Ending::Finished:
        break;
    }
    parts << result.output;
    parts.removeAll(QString());
    return parts.isEmpty() ? QString() : u'\r' + parts.join(u'\r');
}
} // namespace

ReportSigning::ReportSigning(Session &session, ProcessRunner &runner)
    : session_(session), runner_(runner),
      gnupg_(session.configuration.gnupgPath, session.programDirectory),
      xmlPathServer_(folderSetting(session.configuration.xmlPathServer)),
      sigPathServer_(folderSetting(session.configuration.sigPathServer)) {}

bool ReportSigning::deliveryFlag(const QString &fileName) {
    return fileName.left(4).toUpper() != QLatin1String("EMIR");
}

void ReportSigning::signAndDeliver(const std::optional<Credentials> &credentials,
                                   const QStringList &files) {
    if (!credentials)
        return;
    if (credentials->user.isEmpty())
        session_.prompter.warning(QStringLiteral("Manjka Uporabnik!"));
    if (credentials->passPhrase.isEmpty())
        session_.prompter.warning(QStringLiteral("Manjka Geslo!"));
    if (credentials->user.isEmpty() || credentials->passPhrase.isEmpty())
        return;
    for (const QString &file : files)
        signAndSend(file, credentials->user, credentials->passPhrase,
                    session_.configuration.atvpUporabnik, deliveryFlag(file));
}

void ReportSigning::signAndSend(const QString &fileName, const QString &user,
                                const QString &passPhrase, const QString &recipient, bool deliver) {
    const QString program = gnupg_.executable();
    if (program.isEmpty()) {
        session_.prompter.error(
            QStringLiteral("Nastavitve za GnuPG niso Ok, preverite RAPO.ini!!"));
        return;
    }
    const QString input = session_.programDirectory + fileName;
    const QString output = session_.programDirectory + ReportFileLists::signatureName(fileName);
    if (!sign(program, input, output, user, passPhrase, recipient))
        return;
    if (!deliver)
        return;
    registerSent(fileName);
    deliverReport(fileName, input);
    deliverSigned(fileName, output);
}

bool ReportSigning::sign(const QString &program, const QString &input, const QString &output,
                         const QString &user, const QString &passPhrase, const QString &recipient) {
    // GnuPG must not leave an earlier output to be taken for its own.
    QFile old(output);
    if (old.exists() && !old.remove()) {
        session_.prompter.error(signingFailed + u'\r' + old.errorString());
        return false;
    }
    const QString log = gnupg_.logFile();
    if (!log.isEmpty() && QFile::exists(log))
        QFile::remove(log);

    const QStringList arguments = GnupgCommand::arguments(output, user, recipient, input);
    session_.debugLog.write(QStringLiteral("GnuPG: ") + program + u' ' + arguments.join(u' '));
    const ProcessResult result = runner_.run(
        program, arguments, GnupgCommand::passPhraseInput(passPhrase), GnupgCommand::timeoutMs);
    if (result.succeeded() && QFileInfo(output).isFile())
        return true;
    // A run that was ended or failed may have left part of a message.
    QFile::remove(output);
    session_.prompter.error(signingFailed + whatGnupgSaid(result));
    return false;
}

void ReportSigning::registerSent(const QString &fileName) {
    Database &db = session_.db;
    try {
        Transaction tx(db);
        Query qDPATVPPoslana(db, QStringLiteral("qDPATVPPoslana"));
        qDPATVPPoslana.addLine(QStringLiteral("SELECT DPATVPID, ZAPST FROM DPATVP"));
        qDPATVPPoslana.addLine(QStringLiteral("WHERE XML_FILE = :XML_FILE"));
        qDPATVPPoslana.setString(QStringLiteral("XML_FILE"), fileName);
        qDPATVPPoslana.open();
        QList<QVariantList> keys;
        for (; !qDPATVPPoslana.eof(); qDPATVPPoslana.next())
            keys.append({qDPATVPPoslana.value(QStringLiteral("DPATVPID")),
                         qDPATVPPoslana.value(QStringLiteral("ZAPST"))});
        qDPATVPPoslana.close();

        EditableTable tDPATVP(db, QStringLiteral("DPATVP"));
        session_.activityLog.attach(tDPATVP);
        const QDateTime sent = session_.clock.now();
        for (const QVariantList &key : keys) {
            if (!tDPATVP.restrictToKey(key))
                continue;
            tDPATVP.edit();
            tDPATVP.setValue(QStringLiteral("DAN"), sent);
            tDPATVP.post();
        }
        tx.commit();
    } catch (const RapoError &e) {
        session_.debugLog.write(e.message());
        throw RapoError(QStringLiteral("Napaka pri popravku v DPATVP!"));
    }
}

void ReportSigning::deliverReport(const QString &fileName, const QString &input) {
    // A delivery folder that is the program directory itself already holds the file.
    if (xmlPathServer_.isEmpty() ||
        FileDelivery::sameFolder(xmlPathServer_, session_.programDirectory))
        return;
    const QString target = xmlPathServer_ + fileName;
    const QString error = FileDelivery::copyOverwriting(input, target);
    if (!error.isEmpty()) {
        session_.prompter.error(QStringLiteral("Napaka pri kopiranju ") + fileName +
                                QStringLiteral(" file-a na ") + target + QStringLiteral(" !\r") +
                                error);
        return;
    }
    if (QFile::exists(input))
        removeDelivered(input);
}

void ReportSigning::deliverSigned(const QString &fileName, const QString &output) {
    if (sigPathServer_.isEmpty() ||
        FileDelivery::sameFolder(sigPathServer_, session_.programDirectory))
        return;
    const QString signature = ReportFileLists::signatureName(fileName);
    const QString target = sigPathServer_ + signature;
    const QString error = FileDelivery::copyOverwriting(output, target);
    if (!error.isEmpty()) {
        session_.prompter.error(
            QStringLiteral("Napaka pri kopiranju ") + session_.programDirectory +
            ReportFileLists::withoutExtension(fileName) + QStringLiteral(".sig file-a na ") +
            target + QStringLiteral(" !\r") + error);
        return;
    }
    if (QFile::exists(output))
        removeDelivered(output);
}

void ReportSigning::removeDelivered(const QString &path) {
    QFile file(path);
    if (!file.remove())
        session_.prompter.error(QStringLiteral("Napaka pri brisanju ") + path +
                                QStringLiteral(" !\r") + file.errorString());
}
